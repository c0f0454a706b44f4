#include "data/record.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <random>

#include "data/file_data_source.h"
#include "data/number_text.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

Record from_pairs(std::vector<hash_element> pairs) { return Record(std::move(pairs)); }

// The reader hands its list to taking_texts and reuses it; the record must
// come out as the constructor makes it, texts cut at a NUL byte, escaped
// keys decoded, the last item of a field winning.
TEST(RecordFromPairs, TakingTheTextsGivesWhatTheConstructorGives) {
  const std::vector<std::vector<hash_element>> lists = {
      {{"identifier", "4"}, {"date", "1"}, {"notes", std::string("kept\0cut", 8)}, {"operation", "Tyres"}},
      {{"identifier", "5"}, {"date", "1"}, {"operation*", "a%3Bb"}, {"notes*", "x%3Dy"}, {"cost", "2.5"}},
      {{"identifier", "6"}, {"notes", "first, long enough to be on the heap"}, {"notes", "last"},
       {"date", "1031097600"}, {"mileage", "51873.5"}},
      {{"identifier", "7"}, {"date", "1"}, {"Notes", std::string("\0", 1)}},
  };
  std::vector<hash_element> reused;
  for (const auto& pairs : lists) {
    reused = pairs;
    const Record made(pairs);
    const std::unique_ptr<Record> taken = Record::taking_texts(reused);
    EXPECT_EQ(taken->identifier(), made.identifier());
    EXPECT_TRUE(taken->same_fields(made)) << taken->operation() << " / " << taken->notes();
    EXPECT_FALSE(taken->modified());
  }
  EXPECT_EQ(Record::taking_texts(reused = lists[0])->notes(), "kept");
}

TEST(RecordDefaults, IdentifierConstructorGivesAFreshRecordDatedNow) {
  const long before = static_cast<long>(std::time(nullptr));
  const Record record(7);
  const long after = static_cast<long>(std::time(nullptr));
  EXPECT_EQ(record.identifier(), 7);
  EXPECT_GE(record.date(), before);
  EXPECT_LE(record.date(), after);
  EXPECT_EQ(record.value("Operation"), "not specified");
  EXPECT_EQ(record.value("Notes"), "");
  EXPECT_EQ(record.value("Mileage"), "0.0");
  EXPECT_EQ(record.value("Cost"), "0.00");
}

TEST(RecordDefaults, NoPairsGiveIdentifierMinusOne) {
  const Record record = from_pairs({});
  EXPECT_EQ(record.value("identifier"), "-1");
  EXPECT_EQ(record.operation(), "not specified");
  EXPECT_EQ(record.mileage(), 0.0);
  EXPECT_EQ(record.cost(), 0.0f);
  EXPECT_NEAR(static_cast<double>(record.date()), static_cast<double>(std::time(nullptr)), 2.0);
}

TEST(RecordFromPairs, KeysReadAsTheUserMeantThemAndTheLastPairWins) {
  // A hand-edited block: indented keys, a capital letter, an unknown key.
  const Record record = from_pairs({{"mileage", "100"},
                                    {"cost", "12.5"},
                                    {"operation", "Oil change"},
                                    {"Cost", "99"},
                                    {"  notes ", "indented"},
                                    {"colour", "red"},
                                    {"\tDATE", "86400"},
                                    {"cost", "1"},
                                    {"COST", "2"}});
  EXPECT_EQ(record.value("MILEAGE"), "100.0");
  EXPECT_EQ(record.value("cost"), "2.00");
  EXPECT_EQ(record.value("Operation"), "Oil change");
  EXPECT_EQ(record.notes(), "indented");
  EXPECT_EQ(record.date(), 86400);
  // The identifier is the open tag's, taken only under its own name.
  EXPECT_EQ(from_pairs({{" identifier", "5"}}).identifier(), -1);
  EXPECT_EQ(field_named("Notes*"), record_field::notes_escaped);
  EXPECT_EQ(field_named("note"), record_field::none);
  EXPECT_EQ(field_named(std::string("cost\0x", 6)), record_field::cost);
}

TEST(RecordFromPairs, IsModifiedWhileItsValuesDifferFromTheLastCleanOnes) {
  Record record = from_pairs({{"identifier", "1"}, {"mileage", "100"}, {"notes", "a"}});
  EXPECT_FALSE(record.modified());
  record.mileage(100.0);
  record.notes("a");
  EXPECT_FALSE(record.modified());
  record.cost(0.5f);
  record.notes("b");
  EXPECT_TRUE(record.modified());
  // Set back, field by field: as it was.
  record.notes("a");
  EXPECT_TRUE(record.modified());
  record.cost(0.0f);
  EXPECT_FALSE(record.modified());
  record.clear_modified();
  record.setup(1, record.date(), 100.0, "not specified", "a", 0.0f);
  EXPECT_FALSE(record.modified());
  record.notes("c");
  record.clear_modified();
  EXPECT_FALSE(record.modified());
}

TEST(RecordFromPairs, ASignedZeroIsAValueOfItsOwn) {
  Record fresh(1);
  fresh.clear_modified();
  fresh.mileage(-0.0);
  fresh.cost(-0.0f);
  EXPECT_TRUE(std::signbit(fresh.mileage()));
  EXPECT_TRUE(std::signbit(fresh.cost()));
  EXPECT_TRUE(fresh.modified());

  Record read = from_pairs({{"identifier", "1"}, {"mileage", "-0"}, {"cost", "-0"}});
  read.mileage(0.0);
  EXPECT_FALSE(std::signbit(read.mileage()));
  EXPECT_TRUE(read.modified());
  read.mileage(-0.0);
  EXPECT_FALSE(read.modified());
  read.cost(0.0f);
  EXPECT_TRUE(read.modified());
  EXPECT_FALSE(read.same_field(from_pairs({{"cost", "-0"}}), record_field::cost));
}

TEST(RecordFromPairs, NumbersTakeTheirLongestPrefix) {
  EXPECT_EQ(from_pairs({{"identifier", "12abc"}}).identifier(), 12);
  EXPECT_EQ(from_pairs({{"identifier", ""}}).identifier(), 0);
  EXPECT_EQ(from_pairs({{"identifier", " +42"}}).identifier(), 42);
  EXPECT_EQ(from_pairs({{"identifier", "99999999999"}}).identifier(), 2147483647);
  EXPECT_EQ(from_pairs({{"mileage", "abc"}}).mileage(), 0.0);
  EXPECT_EQ(from_pairs({{"mileage", "2.5e+02"}}).mileage(), 250.0);
  EXPECT_EQ(from_pairs({{"mileage", "  12.5 km"}}).mileage(), 12.5);
  EXPECT_EQ(from_pairs({{"date", "-86400x"}}).date(), -86400);
  EXPECT_EQ(from_pairs({{"date", "99999999999999999999999"}}).date(), LONG_MAX);
  EXPECT_EQ(from_pairs({{"cost", "0.1"}}).cost(), 0.1f);
  EXPECT_EQ(from_pairs({{"cost", "0.1"}}).value("cost"), "0.10");
  // The forms where a fast parser and strtod would part ways.
  for (const char* text : {"0x10", "-0x1p3", "+5.5", " \t7", "inf", "-nan", "1e400", "-1e400",
                           "4.9e-324", "1e-400", "1.e2", "-0", "00012.50x", "1e+", ".5"}) {
    EXPECT_EQ(format_general(from_pairs({{"mileage", text}}).mileage()),
              format_general(std::strtod(text, nullptr)))
        << text;
  }
  for (const char* text : {"+12", " 12", "-9223372036854775809", "0x1A", "-"}) {
    EXPECT_EQ(from_pairs({{"date", text}}).date(), std::strtol(text, nullptr, 10)) << text;
  }
}

TEST(RecordFromPairs, TextsEndAtANulByte) {
  const Record record = from_pairs({{std::string("notes\0x", 7), std::string("ab\0cd", 5)},
                                    {"operation", std::string("Oil\0", 4)}});
  EXPECT_EQ(record.notes(), "ab");
  EXPECT_EQ(record.operation(), "Oil");
}

TEST(RecordFromPairs, StarredKeysCarryEscapedText) {
  const Record record = from_pairs({{"operation*", "a%3Bb%3dc%25d%41"}, {"notes", "plain"},
                                    {"notes*", "x%3By"}});
  EXPECT_EQ(record.operation(), "a;b=c%d%41");
  EXPECT_EQ(record.notes(), "x;y");
  // As with any repeated key, the later pair wins.
  EXPECT_EQ(from_pairs({{"notes*", "x%3By"}, {"notes", "plain"}}).notes(), "plain");
}

TEST(RecordValue, DatesShowAsLocalCalendarDays) {
  // The tests run with TZ=UTC.
  EXPECT_EQ(from_pairs({{"date", "0"}}).value("date"), "1970-01-01");
  EXPECT_EQ(from_pairs({{"date", "86399"}}).value("Date"), "1970-01-01");
  EXPECT_EQ(from_pairs({{"date", "86400"}}).value("DATE"), "1970-01-02");
  EXPECT_EQ(from_pairs({{"date", "1025827200"}}).value("date"), "2002-07-05");
  EXPECT_EQ(from_pairs({{"date", "9223372036854775807"}}).value("date"), "(error)");
}

TEST(RecordValue, UnknownKeysAndNumberFormats) {
  Record record(3);
  EXPECT_EQ(record.value(""), "(unknown)");
  EXPECT_EQ(record.value("odometer"), "(unknown)");
  EXPECT_EQ(record.value("Identifier"), "3");
  record.mileage(1e300);
  EXPECT_EQ(record.value("mileage").size(), 254u);
  EXPECT_EQ(record.value("mileage").substr(0, 4), "1000");
  record.mileage(-0.05);
  EXPECT_EQ(record.value("mileage"), "-0.1");
  record.cost(1234.567f);
  EXPECT_EQ(record.value("cost"), "1234.57");
}

void expect_like_printf_g(double value) {
  char expected[64];
  std::snprintf(expected, sizeof expected, "%g", value);
  EXPECT_EQ(format_general(value), expected) << value;
}

TEST(NumberText, GeneralFormatMatchesPrintfG) {
  for (const double value :
       {12.5, 40.0, 0.1, 3.14159265, 0.00001, 0.0001, 0.00012, 1250000.0, 45210.0, 51873.5,
        123456.7, 1e300, -2.5, 0.0, -0.0, 999999.5, 999999.0, 1000000.0, 1e-320, 0.30000000000000004,
        std::nan(""), -std::numeric_limits<double>::infinity(), static_cast<double>(0.1f),
        static_cast<double>(312.25f), 2147483647.0}) {
    expect_like_printf_g(value);
  }
  // Values with few decimals are formatted on a shorter path; sweep them.
  std::mt19937 random(42);
  for (int i = 0; i < 200000; ++i) {
    const double whole = static_cast<double>(random() % 2000000) - 1000000.0;
    const double scale = std::pow(10.0, static_cast<double>(random() % 7));
    expect_like_printf_g(whole / scale);
    expect_like_printf_g(static_cast<double>(static_cast<float>(whole / scale)));
    // Any magnitude, halfway cases included.
    expect_like_printf_g(std::ldexp(static_cast<double>(random()), static_cast<int>(random() % 80) - 60));
    expect_like_printf_g((static_cast<double>(random() % 2000000) + 0.5) / scale);
    expect_like_printf_g(whole * scale * 1e4);  // exponent notation
    expect_like_printf_g((whole + 0.5) * scale * 1e3);
  }
}

TEST(NumberText, ExactFormatKeepsEveryValueAndTheSixDigitFormWhereItSuffices) {
  // Six digits where they read back as the same number...
  EXPECT_EQ(format_exact(45210.0), "45210");
  EXPECT_EQ(format_exact(51873.5), "51873.5");
  EXPECT_EQ(format_exact(2.5e6), "2.5e+06");
  EXPECT_EQ(format_exact(24.5f), "24.5");
  EXPECT_EQ(format_exact(0.1f), "0.1");
  // ...and the shortest exact text where they would not.
  EXPECT_EQ(format_exact(119873.5), "119873.5");
  EXPECT_EQ(format_exact(1234567.8), "1234567.8");
  EXPECT_EQ(format_exact(12345.67f), "12345.67");
  EXPECT_EQ(format_exact(3.14159265f), "3.1415927");
  std::mt19937 random(7);
  for (int i = 0; i < 100000; ++i) {
    const double mileage = static_cast<double>(random() % 100000000) / 100.0;
    EXPECT_EQ(parse_double(format_exact(mileage).c_str()), mileage);
    const auto cost = static_cast<float>(static_cast<double>(random() % 10000000) / 100.0);
    EXPECT_EQ(static_cast<float>(parse_double(format_exact(cost).c_str())), cost);
    const double any = std::bit_cast<double>((static_cast<std::uint64_t>(random()) << 32) | random());
    if (std::isfinite(any)) {
      EXPECT_EQ(parse_double(format_exact(any).c_str()), any) << any;
    }
  }
}

TEST(NumberText, AWholeNumberIsReadInOnePassAsStrtodReadsIt) {
  // Plain decimals, and the forms only strtod reads: blanks before, "+",
  // hexadecimal, out of range, "inf".
  for (const char* text : {"40", "40.5\r\n", "-0.001 ", "1e3", " 30.5", "+2", "0x10", "1e400",
                           "inf", "4.9e-324"}) {
    const std::optional<double> read = whole_double(text);
    ASSERT_TRUE(read) << text;
    EXPECT_EQ(*read, std::strtod(text, nullptr)) << text;
    EXPECT_TRUE(whole_double_text(text)) << text;
  }
  for (const char* text : {"", " ", "-", "40 l", "40,5", "1e", "0x", "12.5.1", "40\x01"}) {
    EXPECT_FALSE(whole_double(text)) << text;
    EXPECT_FALSE(whole_double_text(text)) << text;
  }
}

// The toolkit sets the process locale from the environment; a comma as
// decimal separator must not reach the file or the display.
class CommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
      GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5");
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(CommaLocale, NumbersAreReadAndShownWithAFullStop) {
  const Record record = from_pairs({{"mileage", "45210.5"}, {"cost", "24.5"}});
  EXPECT_EQ(record.mileage(), 45210.5);
  EXPECT_EQ(record.value("mileage"), "45210.5");
  EXPECT_EQ(record.value("cost"), "24.50");
  EXPECT_EQ(format_general(1.25e6), "1.25e+06");
  EXPECT_EQ(format_general(12.5), "12.5");
  EXPECT_EQ(parse_double("12,5"), 12.0);
}

TEST_F(CommaLocale, ALogIsReadAndRewrittenUnchanged) {
  testing::temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  testing::write_file(log, testing::kExampleLog);
  FileDataSource store(log);
  EXPECT_EQ(store.record(3)->mileage(), 51873.5);
  EXPECT_EQ(store.record(0)->value("cost"), "24.50");
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(testing::read_file(log), testing::kExampleLog);
}

}  // namespace
}  // namespace tarvik
