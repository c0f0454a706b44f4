// A log the user edits by hand: what they wrote is read as they meant it,
// pointed out where it cannot be, and never lost by a save.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "data/file_data_source.h"
#include "support/failing_calls.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::read_file;
using testing::stderr_capture;
using testing::temp_dir;
using testing::write_file;
using Ids = std::vector<int>;
using Lines = std::vector<std::string>;

// A log as people write it: comments, an indented block with CR LF line
// ends and a capital key, unknown keys, a notes text cut by a ";", numbers
// in forms of their own.
const char* const kHandLog =
    "# Golf, bought 2001\n"
    "\n"
    "<record=0>\n"
    "cost=24.50;\n"
    "operation=Oil change;\n"
    "date=1020211200;\n"
    "mileage=45210.0;\n"
    "notes=5W30 oil; filter too;\n"
    "fuel=42.1;\n"
    "</record>\n"
    "# the tyres came with a warranty\n"
    "<record=3>\r\n"
    "  cost=312;\r\n"
    "  operation=Tyres;\r\n"
    "# kept in the garage\r\n"
    "  date=1031097600;\r\n"
    "  mileage=51873.5;\r\n"
    "  Notes=winter set;\r\n"
    "</record>\r\n"
    "<record=5>\n"
    "cost=80;\n"
    "operation=Inspection;\n"
    "date=1041379200;\n"
    "mileage=60000;\n"
    "notes=;\n"
    "</record>\n"
    "\n"
    "# end of 2002\n";

std::string block_of(const std::string& text, const std::string& open_tag) {
  const std::size_t begin = text.find(open_tag);
  const std::size_t end = text.find("</record>", begin);
  return text.substr(begin, end - begin);
}

class HandEdits : public ::testing::Test {
 protected:
  std::unique_ptr<FileDataSource> open_quietly() {
    stderr_capture quiet;
    return std::make_unique<FileDataSource>(log);
  }

  temp_dir dir;
  std::string log = dir.file("tarvik.txt");
};

TEST_F(HandEdits, AreReadAsTheUserMeantThem) {
  write_file(log, kHandLog);
  stderr_capture capture;
  FileDataSource store(log);
  EXPECT_TRUE(capture.lines().empty());
  EXPECT_EQ(store.identifiers(), (Ids{0, 3, 5}));
  EXPECT_EQ(store.record(3)->notes(), "winter set");
  EXPECT_EQ(store.record(3)->cost(), 312.0f);
  EXPECT_EQ(store.record(3)->date(), 1031097600);
  EXPECT_EQ(store.record(0)->notes(), "5W30 oil");
  // What could not be shown is pointed out, with its line.
  ASSERT_EQ(store.problems().size(), 1u);
  EXPECT_EQ(store.problems()[0].line, 8u);
  EXPECT_EQ(store.problems()[0].message,
            "\"filter too\" is no key=value item; it stays in the file but is not shown");
}

TEST_F(HandEdits, SurviveSavesOfOtherRecordsByteForByte) {
  write_file(log, kHandLog);
  FileDataSource store(log);
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(read_file(log), kHandLog) << "a save without changes rewrote the log";

  store.record(5)->cost(85);
  ASSERT_TRUE(store.commit());
  const std::string saved = read_file(log);
  EXPECT_EQ(block_of(saved, "<record=0>"), block_of(kHandLog, "<record=0>"));
  EXPECT_EQ(block_of(saved, "<record=3>"), block_of(kHandLog, "<record=3>"));
  EXPECT_NE(saved.find("# Golf, bought 2001\n\n<record=0>"), std::string::npos);
  EXPECT_NE(saved.find("</record>\n# the tyres came with a warranty\n<record=3>\r\n"),
            std::string::npos);
  EXPECT_NE(saved.find("<record=5>\ncost=85;\n"), std::string::npos);
  EXPECT_EQ(saved.substr(saved.size() - 15), "\n# end of 2002\n");
}

TEST_F(HandEdits, OfAChangedRecordKeepItsUnknownItemsAndComments) {
  write_file(log, kHandLog);
  FileDataSource store(log);
  store.record(0)->mileage(45211);
  store.record(3)->operation("Winter tyres");
  ASSERT_TRUE(store.commit());
  const std::string saved = read_file(log);
  EXPECT_EQ(block_of(saved, "<record=0>"),
            "<record=0>\ncost=24.5;\noperation=Oil change;\ndate=1020211200;\nmileage=45211;\n"
            "notes=5W30 oil;\n filter too;\nfuel=42.1;\n");
  // A block written with CR LF keeps them, its comment line too.
  EXPECT_EQ(block_of(saved, "<record=3>"),
            "<record=3>\r\ncost=312;\r\noperation=Winter tyres;\r\ndate=1031097600;\r\n"
            "mileage=51873.5;\r\nnotes=winter set;\r\n# kept in the garage\r\n");
  EXPECT_NE(saved.find("</record>\r\n<record=5>"), std::string::npos);
  // Its comment lines before it stay before it.
  EXPECT_NE(saved.find("# the tyres came with a warranty\n<record=3>"), std::string::npos);
  // And it reads back as it was written.
  FileDataSource again(log);
  EXPECT_EQ(again.record(0)->mileage(), 45211);
  EXPECT_EQ(again.record(0)->notes(), "5W30 oil");
}

TEST_F(HandEdits, OfADeletedRecordGoWithItButNoOthers) {
  write_file(log, kHandLog);
  FileDataSource store(log);
  delete store.remove(3);
  delete store.remove(0);
  auto* added = new Record(store.next_id());
  added->setup(added->identifier(), 1072915200, 70000, "Brakes", "", 120);
  store.record(added);
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(read_file(log),
            "# Golf, bought 2001\n"
            "\n"
            "<record=5>\ncost=80;\noperation=Inspection;\ndate=1041379200;\nmileage=60000;\n"
            "notes=;\n</record>\n"
            "<record=6>\ncost=120;\noperation=Brakes;\ndate=1072915200;\nmileage=70000;\n"
            "notes=;\n</record>\n"
            "\n"
            "# end of 2002\n");
}

TEST_F(HandEdits, UnreadableValuesArePointedOutWithTheirLines) {
  write_file(log,
             "<record=0>\n"
             "mileage=45,210;\n"
             "date=2003-01-17;\n"
             "cost=12 EUR;\n"
             "notes=a=b;\n"
             "operation= Oil ;\n"
             "</record>\n"
             "<record=1>\nmileage=1.5e3;\ncost=  7 ;\ndate=-86400;\n</record>\n"
             "<record=2>\nnotes=when?;\n</record>\n"
             "oops\n");
  Lines messages;
  std::unique_ptr<FileDataSource> store;
  {
    stderr_capture capture;
    store = std::make_unique<FileDataSource>(log);
    messages = capture.lines();
  }
  // Only the reader's own diagnostics go to stderr, as ever.
  EXPECT_EQ(messages, Lines{"Unexpected character \"o\" in FileDataSource::parse"});
  std::vector<std::pair<std::size_t, std::string>> problems;
  for (const log_problem& problem : store->problems()) problems.emplace_back(problem.line, problem.message);
  EXPECT_EQ(problems,
            (std::vector<std::pair<std::size_t, std::string>>{
                {2, "mileage \"45,210\" is not one number; read as 45"},
                {3, "date \"2003-01-17\" is not a whole number of seconds; read as 2003"},
                {4, "cost \"12 EUR\" is not one number; read as 12"},
                {5, "the text after \"=\" in \"notes=a=b\" is not read; read as \"a\""},
                {13, "the entry has no date; it shows the day the log is read"},
                {16, "the text \"oops\" stands outside any entry; it is not read and stays in "
                     "the file as it is"}}));
}

// Six entries as the writer makes them, with `between` after the second.
std::string six_entries(const std::string& between) {
  std::string text;
  for (int id = 0; id < 6; ++id) {
    if (id == 2) text += between;
    text += "<record=" + std::to_string(id) + ">\ncost=1;\noperation=Op " + std::to_string(id) +
            ";\ndate=" + std::to_string(1000000000 + id) + ";\nmileage=" + std::to_string(1000 * id) +
            ";\nnotes=;\n</record>\n";
  }
  return text;
}

TEST_F(HandEdits, AStrayLineCostsNoEntryAndStaysWhereItStood) {
  const std::string text = six_entries("x\n");
  write_file(log, text);
  Lines messages;
  std::unique_ptr<FileDataSource> store;
  {
    stderr_capture capture;
    store = std::make_unique<FileDataSource>(log);
    messages = capture.lines();
  }
  EXPECT_EQ(messages, Lines{"Unexpected character \"x\" in FileDataSource::parse"});
  EXPECT_EQ(store->identifiers(), (Ids{0, 1, 2, 3, 4, 5}));
  ASSERT_EQ(store->problems().size(), 1u);
  EXPECT_EQ(store->problems()[0].line, 15u);
  EXPECT_EQ(store->problems()[0].message,
            "the text \"x\" stands outside any entry; it is not read and stays in the file as it is");
  // Nothing is rewritten that was not read, so no copy is needed.
  EXPECT_FALSE(store->copy_due());

  auto* added = new Record(store->next_id());
  EXPECT_EQ(added->identifier(), 6);
  added->setup(6, 1100000000, 9000, "New", "", 2);
  store->record(added);
  ASSERT_TRUE(store->commit());
  std::string expected = text;
  expected += "<record=6>\ncost=2;\noperation=New;\ndate=1100000000;\nmileage=9000;\nnotes=;\n</record>\n";
  EXPECT_EQ(read_file(log), expected);
  EXPECT_EQ(dir.entries(), Lines{"tarvik.txt"});

  // Changed or removed neighbours leave it in its place.
  store->record(2)->cost(5);
  delete store->remove(1);
  ASSERT_TRUE(store->commit());
  const std::string saved = read_file(log);
  EXPECT_NE(saved.find("</record>\nx\n<record=2>\ncost=5;"), std::string::npos) << saved;
  EXPECT_EQ(open_quietly()->identifiers(), (Ids{0, 2, 3, 4, 5, 6}));
}

TEST_F(HandEdits, StrayTextAnywhereBetweenBlocksIsPassedOver) {
  struct stray_case {
    std::string between;
    std::string shown;
  };
  const std::vector<stray_case> cases = {
      {"x", "x"},                                   // on the line of the next open tag
      {"</record>\n", "</record>"},                 // a close tag twice
      {"cost=5;\nnotes=a/b;\n", "cost=5;…"},      // items outside a block
      {"\t; junk # not a comment\n", "; junk # not a comment"},
      {std::string("nul\0byte\n", 9), "nul<NUL>byte"},
      {std::string(60, 'y') + "\n", std::string(40, 'y') + "…"},
  };
  for (const stray_case& c : cases) {
    const std::string text = six_entries(c.between);
    write_file(log, text);
    const auto store = open_quietly();
    EXPECT_EQ(store->identifiers(), (Ids{0, 1, 2, 3, 4, 5})) << c.between;
    ASSERT_EQ(store->problems().size(), 1u) << c.between;
    EXPECT_EQ(store->problems()[0].message,
              "the text \"" + c.shown + "\" stands outside any entry; it is not read and stays in "
              "the file as it is");
    store->record(2)->notes("changed");
    ASSERT_TRUE(store->commit());
    const std::string saved = read_file(log);
    EXPECT_NE(saved.find(c.between + "<record=2>\n"), std::string::npos) << saved;
  }
}

TEST_F(HandEdits, WhatFollowsTheLastBlockStaysAfterAProblemElsewhere) {
  // A misspelt close tag earlier, and a last comment line without a line end.
  const std::string text = std::string(testing::kExampleLog) +
                           "<record=4>\ncost=1;\n</Record>\n# after the last\n# no line end";
  write_file(log, text);
  const auto store = open_quietly();
  EXPECT_EQ(store->identifiers(), (Ids{0, 3, 4}));
  store->record(0)->cost(9);
  stderr_capture quiet;
  ASSERT_TRUE(store->commit());
  const std::string saved = read_file(log);
  EXPECT_EQ(saved.substr(saved.size() - 31), "\n# after the last\n# no line end");
  // The misspelt block was written anew; the copy keeps it as it was.
  EXPECT_NE(saved.find("<record=4>\ncost=1;\n"), std::string::npos);
  EXPECT_EQ(read_file(log + ".bak"), text);
}

// A block whose values the reader took only in part.
const char* const kMisreadLog =
    "<record=0>\n"
    "cost=1.234,50;\n"
    "operation=Service;\n"
    "date=2003-05-17;\n"
    "mileage=45,210;\n"
    "notes=a=b;\n"
    "</record>\n";

TEST_F(HandEdits, AValueNotReadInFullKeepsItsTextUntilTheUserChangesIt) {
  write_file(log, kMisreadLog);
  const auto store = open_quietly();
  Record* record = store->record(0);
  EXPECT_EQ(record->cost(), 1.234f);
  EXPECT_EQ(record->mileage(), 45);
  EXPECT_EQ(record->date(), 2003);
  std::vector<std::pair<record_field, std::string>> unread;
  for (const unread_value& value : store->unread_values(0)) unread.emplace_back(value.field, value.text);
  EXPECT_EQ(unread, (std::vector<std::pair<record_field, std::string>>{
                        {record_field::cost, "1.234,50"},
                        {record_field::date, "2003-05-17"},
                        {record_field::mileage, "45,210"},
                        {record_field::notes, "a=b"}}));

  record->operation("Big service");
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log),
            "<record=0>\ncost=1.234,50;\noperation=Big service;\ndate=2003-05-17;\n"
            "mileage=45,210;\nnotes=a=b;\n</record>\n");

  // A value the user gives is written as the log writes it.
  record->cost(1234.5f);
  record->notes("a");  // the value read, given again: not a change
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log),
            "<record=0>\ncost=1234.5;\noperation=Big service;\ndate=2003-05-17;\n"
            "mileage=45,210;\nnotes=a=b;\n</record>\n");
  record->mileage(45210);
  record->date(1053129600);
  record->notes("a=b");
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log),
            "<record=0>\ncost=1234.5;\noperation=Big service;\ndate=1053129600;\n"
            "mileage=45210;\nnotes*=a%3Db;\n</record>\n");
  EXPECT_TRUE(FileDataSource(log).unread_values(0).empty());
}

TEST_F(HandEdits, ANulByteIsReportedAndKeptWhole) {
  const std::string text = std::string("<record=0>\ncost=5;\noperation=Oil;\ndate=0;\nmileage=7;\n") +
                           std::string("notes=first half\0second half;\n", 30) + "</record>\n";
  write_file(log, text);
  const auto store = open_quietly();
  EXPECT_EQ(store->record(0)->notes(), "first half");
  ASSERT_EQ(store->problems().size(), 1u);
  EXPECT_EQ(store->problems()[0].line, 6u);
  EXPECT_EQ(store->problems()[0].message,
            "a NUL byte in \"notes=first half<NUL>second half\" ends what is read; read as "
            "\"first half\", the file keeps all of it");
  ASSERT_EQ(store->unread_values(0).size(), 1u);
  EXPECT_EQ(store->unread_values(0)[0].text, std::string("first half\0second half", 22));
  store->record(0)->cost(6);
  ASSERT_TRUE(store->commit());
  EXPECT_NE(read_file(log).find(std::string("\nnotes=first half\0second half;\n", 31)), std::string::npos);
}

TEST_F(HandEdits, ALogReadOnlyInPartIsMergedWholeByTheNextSaveHoweverOld) {
  write_file(log, testing::kExampleLog);
  // An hour old: its time stamp alone would say nothing changed since.
  const timespec hour_ago[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, log.c_str(), hour_ago, 0), 0);
  std::unique_ptr<FileDataSource> store;
  {
    testing::failing_calls unreadable(testing::call::read, EIO);
    store = open_quietly();
  }
  EXPECT_EQ(store->read_failure(), strerror(EIO));
  EXPECT_TRUE(store->identifiers().empty());
  auto* added = new Record(store->next_id());
  added->setup(added->identifier(), 1100000000, 9000, "New", "", 2);
  store->record(added);
  {
    stderr_capture quiet;
    ASSERT_TRUE(store->commit());
  }
  EXPECT_TRUE(store->last_commit().merged);
  FileDataSource again(log);
  EXPECT_EQ(again.identifiers().size(), 3u);
  EXPECT_EQ(read_file(log + ".bak"), testing::kExampleLog);
}

TEST_F(HandEdits, AByteOrderMarkIsSkippedAndKept) {
  const std::string marked = "\xEF\xBB\xBF" + std::string(testing::kExampleLog);
  write_file(log, marked);
  stderr_capture capture;
  FileDataSource store(log);
  EXPECT_TRUE(capture.lines().empty());
  EXPECT_EQ(store.identifiers(), (Ids{0, 3}));
  delete store.remove(0);
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(read_file(log).substr(0, 13), "\xEF\xBB\xBF<record=3>");
}

TEST_F(HandEdits, NumbersKeepTheirValueThroughManySaves) {
  write_file(log, "");
  {
    FileDataSource store(log);
    auto* record = new Record(store.next_id());
    record->setup(record->identifier(), 0, 1234567.8, "Service", "", 12345.67f);
    store.record(record);
    auto* other = new Record(store.next_id());
    other->setup(other->identifier(), 0, 119873.5, "Tyres", "", 1234.567f);
    store.record(other);
    ASSERT_TRUE(store.commit());
  }
  for (int save = 0; save < 10; ++save) {
    FileDataSource store(log);
    // Each save writes both blocks anew.
    store.record(0)->notes(std::to_string(save));
    store.record(1)->notes(std::to_string(save));
    ASSERT_TRUE(store.commit());
  }
  FileDataSource store(log);
  EXPECT_EQ(store.record(0)->mileage(), 1234567.8);
  EXPECT_EQ(store.record(0)->cost(), 12345.67f);
  EXPECT_EQ(store.record(1)->mileage(), 119873.5);
  EXPECT_EQ(store.record(1)->cost(), 1234.567f);
  EXPECT_NE(read_file(log).find("mileage=1234567.8;"), std::string::npos);
}

TEST_F(HandEdits, ARecordSetBackToItsOldValuesIsNotRewritten) {
  write_file(log, kHandLog);
  FileDataSource store(log);
  store.record(3)->cost(1);
  store.record(3)->cost(312);
  EXPECT_FALSE(store.record(3)->modified());
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(read_file(log), kHandLog);
}

TEST(StreamReading, AFailedReadIsReportedNeverThrown) {
  temp_dir dir;
  // A directory opens as a file stream but fails the first read, which the
  // stream buffer reports by throwing.
  std::ifstream in(dir.path());
  ASSERT_TRUE(in.is_open());
  stderr_capture capture;
  EXPECT_TRUE(FileDataSource::parse_record(in).empty());
  EXPECT_EQ(capture.lines(),
            Lines{std::string("Read error while searching for \"=\": ") + strerror(EISDIR)});

  std::ifstream again(dir.path());
  FileDataSource store(dir.file("absent.txt"));
  store.record(new Record(7));
  store.parse(again);
  // The highest identifier was taken again all the same.
  EXPECT_EQ(store.next_id(), 8);
}

// A stream buffer whose read fails, as a file's does, once `text` is used up.
class failing_buffer : public std::streambuf {
 public:
  explicit failing_buffer(std::string text) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 protected:
  int_type underflow() override {
    errno = EIO;
    throw std::ios_base::failure("read failed");
  }

 private:
  std::string text_;
};

TEST(StreamReading, AFailedReadIsNamedForWhatFailedNotForTheValueBeforeIt) {
  // An out-of-range number just before the failure leaves ERANGE behind.
  failing_buffer buffer("record=1>\nmileage=1e999");
  std::istream in(&buffer);
  stderr_capture capture;
  FileDataSource::parse_record(in);
  EXPECT_EQ(capture.lines(), Lines{std::string("Read error while getting record id ") + strerror(EIO)});

  failing_buffer whole("<record=1>\ncost=1e999");
  std::istream log_in(&whole);
  FileDataSource store("/nonexistent/tarvik.txt");
  stderr_capture again;
  store.parse(log_in);
  EXPECT_EQ(again.lines(), Lines{std::string("Read error while getting record id ") + strerror(EIO)});
}

TEST(Split, ANegativeMaximumGivesNoTokens) {
  EXPECT_TRUE(FileDataSource::split("=", "a=b", -1).empty());
  EXPECT_EQ(FileDataSource::split("=", "a=b", 0).size(), 2u);
}

}  // namespace
}  // namespace tarvik
