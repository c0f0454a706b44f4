// The printable service history, checked as the PDF a user would hand on.
#include <gtest/gtest.h>

#include <QString>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "data/record.h"
#include "support/test_support.h"
#include "ui/shown_number.h"
#include "ui/service_history.h"

namespace tarvik {
namespace {

using testing::command_output;
using testing::read_file;
using testing::write_file;

// A number as the PDF's text gives it: pdftotext writes the no-break
// spaces that group French numbers as plain spaces.
std::string in_pdf(double value, int decimals) {
  QString text = shown_number(value, decimals);
  text.replace(QChar(0x202F), QLatin1Char(' ')).replace(QChar(0x00A0), QLatin1Char(' '));
  return text.toStdString();
}

class ServiceHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    if (command_output("command -v pdftotext").empty()) GTEST_SKIP() << "pdftotext is not installed";
    for (int i = 0; i < 120; ++i) {
      records.push_back(std::make_unique<Record>(i));
      records.back()->setup(i, 1020211200L + i * 86400L * 30, 45000 + i * 1000.5,
                            i % 2 ? "Fuel" : "Oil change", i == 7 ? "filter <b>too</b>" : "",
                            24.5f);
    }
    for (const auto& record : records) history.records.push_back(record.get());
    history.log_name = QStringLiteral("golf.txt");
  }

  std::string pdf_text(const std::string& path) { return command_output("pdftotext -layout " + path + " -"); }
  int pages(const std::string& path) {
    const std::string info = command_output("pdfinfo " + path);
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
  }

  testing::temp_dir dir;
  std::vector<std::unique_ptr<Record>> records;
  service_history history;
};

TEST_F(ServiceHistory, IsATableOverPagesWithTheLogsNameDatesAndTotal) {
  const std::string path = dir.file("history.pdf");
  history.units = {distance_unit::mi, QStringLiteral("CHF")};
  ASSERT_TRUE(history.write_pdf(QString::fromStdString(path)));
  EXPECT_GT(pages(path), 2);
  const std::string text = pdf_text(path);
  EXPECT_NE(text.find("Mileage (mi)"), std::string::npos) << text.substr(0, 400);
  EXPECT_NE(text.find("Cost (CHF)"), std::string::npos) << text.substr(0, 400);
  EXPECT_NE(text.find("Service history: golf.txt"), std::string::npos) << text.substr(0, 400);
  EXPECT_NE(text.find("120 entries, 2002-05-01 to"), std::string::npos);
  EXPECT_NE(text.find("Total cost (CHF): " + in_pdf(2940, 2)), std::string::npos);
  EXPECT_NE(text.find("<b>too</b>"), std::string::npos) << "texts are not markup";
  EXPECT_NE(text.find(in_pdf(164059.5, 1)), std::string::npos)
      << "the last entry is on a page, its mileage in the locale's form";
}

TEST_F(ServiceHistory, IsTitledWithTheVehicleAndCountsItsPages) {
  const std::string path = dir.file("van.pdf");
  history.vehicle = QStringLiteral("Blue van <B-XY 123>");
  ASSERT_TRUE(history.write_pdf(QString::fromStdString(path)));
  const int count = pages(path);
  ASSERT_GT(count, 2);
  const std::string text = pdf_text(path);
  EXPECT_NE(text.find("Service history: Blue van <B-XY 123>"), std::string::npos) << text.substr(0, 400);
  EXPECT_EQ(text.find("golf.txt"), std::string::npos) << "the vehicle's name stands for the file's";
  for (int page = 1; page <= count; ++page) {
    EXPECT_NE(text.find("Page " + std::to_string(page) + " of " + std::to_string(count)),
              std::string::npos)
        << page;
  }
  // The table runs across the page: its Notes header stands right of the
  // page's middle (pdftotext -layout keeps the columns' places).
  const std::size_t header = text.find("Notes");
  ASSERT_NE(header, std::string::npos);
  const std::size_t line_start = text.rfind('\n', header) + 1;
  const std::size_t line_end = text.find('\n', header);
  EXPECT_GT(header - line_start, (line_end - line_start) / 2) << text.substr(line_start, line_end - line_start);
}

TEST_F(ServiceHistory, LeavesCostsOutForABuyer) {
  history.with_costs = false;
  const std::string path = dir.file("buyer.pdf");
  ASSERT_TRUE(history.write_pdf(QString::fromStdString(path)));
  const std::string text = pdf_text(path);
  EXPECT_EQ(text.find("Cost"), std::string::npos);
  EXPECT_EQ(text.find(in_pdf(24.5, 2)), std::string::npos);
  EXPECT_FALSE(history.write_pdf(QString::fromStdString(dir.file("missing/buyer.pdf"))));
}

TEST_F(ServiceHistory, CountsASingleEntryInTheSingular) {
  history.records.resize(1);
  const std::string path = dir.file("one.pdf");
  ASSERT_TRUE(history.write_pdf(QString::fromStdString(path)));
  const std::string text = pdf_text(path);
  EXPECT_NE(text.find("1 entry, 2002-05-01 to 2002-05-01"), std::string::npos) << text.substr(0, 300);
}

TEST_F(ServiceHistory, IsWrittenWholeOrNotAtAllAndNeverIntoAFifo) {
  const std::string path = dir.file("history.pdf");
  write_file(path, "an earlier history");
  ASSERT_TRUE(history.write_pdf(QString::fromStdString(path)));
  EXPECT_EQ(read_file(path).substr(0, 5), "%PDF-");
  // Opened for writing, a FIFO nobody reads would block for good.
  ASSERT_EQ(mkfifo(dir.file("fifo.pdf").c_str(), 0644), 0);
  QString error;
  EXPECT_FALSE(history.write_pdf(QString::fromStdString(dir.file("fifo.pdf")), &error));
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace tarvik
