#include "data/log_format.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::stderr_capture;
using Pairs = std::vector<hash_element>;

struct reading_result {
  std::vector<Pairs> blocks;
  std::vector<std::string> messages;
};

reading_result read_text(const std::string& text, int read_error = 0) {
  reading_result result;
  stderr_capture capture;
  parse_log(text, read_error, [&](Pairs pairs) { result.blocks.push_back(std::move(pairs)); });
  result.messages = capture.lines();
  return result;
}

std::string pairs_text(const Pairs& pairs) {
  std::string text;
  for (const auto& pair : pairs) text += pair.key + "=" + pair.value + "|";
  return text;
}

TEST(LogReader, ReadsTheExampleIntoPairsInFileOrder) {
  const auto result = read_text(testing::kExampleLog);
  EXPECT_TRUE(result.messages.empty());
  ASSERT_EQ(result.blocks.size(), 2u);
  EXPECT_EQ(pairs_text(result.blocks[0]),
            "identifier=0|cost=24.5|operation=Oil change|date=1020211200|mileage=45210|"
            "notes=Filter replaced too|");
  EXPECT_EQ(pairs_text(result.blocks[1]),
            "identifier=3|cost=312|operation=Tyres|date=1031097600|mileage=51873.5|notes=|");
}

TEST(LogReader, WhiteSpaceCommentsAndLineEndsBetweenBlocks) {
  EXPECT_TRUE(read_text("").blocks.empty());
  const auto quiet = read_text(" \t\r\n# a comment\n#another\r\n\n");
  EXPECT_TRUE(quiet.blocks.empty());
  EXPECT_TRUE(quiet.messages.empty());

  std::string crlf;
  for (const char* p = testing::kExampleLog; *p; ++p) {
    if (*p == '\n') crlf += '\r';
    crlf += *p;
  }
  const auto windows = read_text(crlf);
  EXPECT_TRUE(windows.messages.empty());
  ASSERT_EQ(windows.blocks.size(), 2u);
  EXPECT_EQ(pairs_text(windows.blocks[1]), pairs_text(read_text(testing::kExampleLog).blocks[1]));
}

TEST(LogReader, OpenTagVariants) {
  EXPECT_EQ(pairs_text(read_text("<rec=5>\n</record>").blocks.at(0)), "identifier=5|");
  EXPECT_EQ(pairs_text(read_text("<record=>\n</record>").blocks.at(0)), "identifier=|");
  EXPECT_EQ(pairs_text(read_text("<record=-1>\n</record>").blocks.at(0)), "identifier=-1|");

  // The rest of a broken open tag is passed over; the next block is read.
  const auto blank = read_text("<record=5 >\n</record>\n<record=6>\n</record>\n");
  ASSERT_EQ(blank.blocks.size(), 2u);
  EXPECT_TRUE(blank.blocks[0].empty());
  EXPECT_EQ(pairs_text(blank.blocks[1]), "identifier=6|");
  EXPECT_EQ(blank.messages, (std::vector<std::string>{
                                "Unexpected character \" \" found when expecting >",
                                "Unexpected character \">\" in FileDataSource::parse"}));
}

TEST(LogReader, BodyItemsCommentsAndMultiLineTexts) {
  const auto result = read_text(
      "<record=1>#x=1;\n"
      "cost=1;operation=Oil;\n"
      "# hidden=line;\n"
      " notes=indented;\n"
      "notes=two\nlines;\n"
      "mileage==7;\n"
      "notes=a=b;\n"
      "</record>");
  EXPECT_TRUE(result.messages.empty());
  EXPECT_EQ(pairs_text(result.blocks.at(0)),
            "identifier=1|#x=1|cost=1|operation=Oil| notes=indented|notes=two\nlines|"
            "mileage=7|notes=a|");
}

TEST(LogReader, StrayTextIsPassedOverAndOnlyAFailedReadStops) {
  const auto comment = read_text(std::string(testing::kExampleLog) + "# no line end");
  EXPECT_EQ(comment.blocks.size(), 2u);
  EXPECT_EQ(comment.messages,
            std::vector<std::string>{"Unexpected EOF in FileDataSource::parse"});

  const auto stray = read_text("x<record=1>\n</record>\nab\n</record>\n<y=2>\n</record>z");
  ASSERT_EQ(stray.blocks.size(), 2u);
  EXPECT_EQ(pairs_text(stray.blocks[1]), "identifier=2|");
  EXPECT_EQ(stray.messages,
            (std::vector<std::string>{"Unexpected character \"x\" in FileDataSource::parse",
                                      "Unexpected character \"a\" in FileDataSource::parse",
                                      "Unexpected character \"z\" in FileDataSource::parse"}));
  const log_reading counted = parse_log("x\n<record=1>\n</record>\n# c\n  y\n", 0,
                                        [](block_reading&) {}, false);
  EXPECT_EQ(counted.diagnostics, 2);
  EXPECT_EQ(counted.passed_over, 2);
  ASSERT_EQ(counted.problems.size(), 2u);
  EXPECT_EQ(counted.problems[0].line, 1u);
  EXPECT_EQ(counted.problems[1].line, 5u);
  EXPECT_EQ(counted.problems[1].message,
            "the text \"y\" stands outside any entry; it is not read and stays in the file as it is");

  const auto failed = read_text("# comment", EIO);
  EXPECT_EQ(failed.messages, std::vector<std::string>{"Read error while searching for EOL: " +
                                                      std::string(strerror(EIO))});
  // A failed read between blocks ends the reading without a word.
  EXPECT_TRUE(read_text("\n", EIO).messages.empty());
}

TEST(LogReader, ErrorsInsideABlockKeepWhatWasRead) {
  const std::string eio = strerror(EIO);
  struct expectation {
    std::string text;
    int read_error;
    std::string pairs;
    std::vector<std::string> messages;
  };
  const std::vector<expectation> cases = {
      {"<record", 0, "", {"Unexpected EOF while searching for \"=\" in FileDataSource::parse_record"}},
      {"<record", EIO, "", {"Read error while searching for \"=\": " + eio}},
      {"<record=12", 0, "", {"Unexpected EOF while getting record id in FileDataSource::parse_record"}},
      {"<record=12", EIO, "", {"Read error while getting record id: " + eio}},
      {"<record=1>\ncost=1;\n;\nnotes=x;\n</record>", 0, "identifier=1|cost=1|",
       {"Error splitting  returned wrong number of elements.",
        "Unexpected character \"n\" in FileDataSource::parse"}},
      {"<record=1>\ncost=1;\n", 0, "identifier=1|cost=1|",
       {"Unexpected EOF while getting record id in FileDataSource::parse_record"}},
      {"<record=1>\ncost=1;\n", EIO, "identifier=1|cost=1|",
       {"Read error while getting record id " + eio}},
      {"<record=1>\nnotes=ab", 0, "identifier=1|notes=ab|",
       {"Unexpected EOF while getting record id in FileDataSource::parse_record"}},
      {"<record=1>\n# comment", 0, "identifier=1|",
       {"Unexpected EOF while getting record id in FileDataSource::parse_record"}},
      {"<record=1>\ncost=1;\n</rec", 0, "identifier=1|cost=1|",
       {"Unexpected EOF while getting record id in FileDataSource::parse_record"}},
      {"<record=1>\ncost=1;\n</rec", EIO, "identifier=1|cost=1|",
       {"Read error while getting record id: " + eio}},
      {"<record=1>\ncost=1;\n</RECORD>\n", 0, "identifier=1|cost=1|",
       {"malformed close tag for record: </RECORD>"}},
  };
  for (const auto& c : cases) {
    const auto result = read_text(c.text, c.read_error);
    ASSERT_EQ(result.blocks.size(), 1u) << c.text;
    EXPECT_EQ(pairs_text(result.blocks[0]), c.pairs) << c.text;
    EXPECT_EQ(result.messages, c.messages) << c.text;
  }
}

TEST(LogReader, AMissingCloseTagSwallowsTheNextOpenTag) {
  const auto result = read_text("<record=1>\ncost=1;\n<record=2>\ncost=2;\n</record>\n<record=3>\n</record>\n");
  ASSERT_EQ(result.blocks.size(), 2u);
  EXPECT_EQ(pairs_text(result.blocks[0]), "identifier=1|cost=1|");
  EXPECT_EQ(pairs_text(result.blocks[1]), "identifier=3|");
  EXPECT_EQ(result.messages,
            (std::vector<std::string>{"malformed close tag for record: <record=2>",
                                      "Unexpected character \"c\" in FileDataSource::parse"}));
}

TEST(LogReader, TellsTheUserInWordsWhatStderrTellsInItsOwn) {
  const auto said = [](const std::string& text) {
    std::vector<std::string> messages;
    const log_reading reading = parse_log(text, 0, [](block_reading&) {}, false);
    for (const log_problem& problem : reading.problems) messages.push_back(problem.message);
    return messages;
  };
  EXPECT_EQ(said("<record"),
            std::vector<std::string>{"the file ends inside the opening tag of an entry"});
  EXPECT_EQ(said("<record=1>\ncost=1;\n"),
            std::vector<std::string>{"the file ends inside an entry, before its closing tag"});
  EXPECT_EQ(said("<record=1x>\n</record>\n"),
            (std::vector<std::string>{
                "the opening tag of an entry has \"x\" where its number should end with \">\"; "
                "the entry is not read",
                "the text \">…\" stands outside any entry; it is not read and stays in the file as it "
                "is"}));
  EXPECT_EQ(said("<record=1>\n;\n</record>\n").at(0),
            "an empty item (\";\" alone) ends the reading of this entry; what follows it is not read");
  EXPECT_EQ(said("<record=1>\n==;\n</record>\n").at(0),
            "the item \"==\", which has no name, ends the reading of this entry; what follows it is "
            "not read");
  EXPECT_EQ(said("<record=1>\n</RECORD>\n"),
            std::vector<std::string>{"the entry ends with \"</RECORD>\" instead of \"</record>\""});
  EXPECT_EQ(said("# no line end"),
            std::vector<std::string>{"the last line, a comment, has no line end (it is kept as it is)"});
  const log_reading failed = parse_log("# comment", EIO, [](block_reading&) {}, false);
  EXPECT_EQ(failed.problems.at(0).message,
            std::string("the file could not be read to its end: ") + strerror(EIO));
}

TEST(LogReader, OnlyTheLastItemOfAFieldCountsAsReadInPartOrNot) {
  std::vector<std::string> items;
  const std::string text =
      "<record=1>\ncost=1,5;\ncost=2;\nmileage=3;\nmileage=4 km;\nnotes=a=b;\n"
      "notes*=c;\noperation=x;\noperation*=y=z;\ndate=5;\nfuel=1,5;\n</record>\n";
  parse_log(text, 0,
            [&](block_reading& block) {
              for (const partial_item& item : block.partial) {
                items.push_back(text.substr(item.span.begin, item.span.end - item.span.begin));
              }
            },
            false);
  EXPECT_EQ(items, (std::vector<std::string>{"mileage=4 km", "operation*=y=z"}));
}

TEST(LogReader, OtherBlockFilesNameTheirOwnCloseTagAndTheLogKeepsItsOwn) {
  const std::string text = "<interval=0>\noperation=Oil;\n</interval>\n<interval=1>\n</record>\n";
  std::vector<std::string> pairs;
  const log_reading other = parse_blocks(
      text, 0, "</interval>",
      [&](block_reading& block) { pairs.push_back(pairs_text(block.pairs)); }, false);
  EXPECT_EQ(pairs, (std::vector<std::string>{"identifier=0|operation=Oil|", "identifier=1|"}));
  ASSERT_EQ(other.problems.size(), 1u);
  EXPECT_EQ(other.problems[0].message, "the entry ends with \"</record>\" instead of \"</interval>\"");
  EXPECT_EQ(other.problems[0].line, 5u);

  const log_reading log = parse_log(text, 0, [](block_reading&) {}, false);
  ASSERT_EQ(log.problems.size(), 1u);
  EXPECT_EQ(log.problems[0].message, "the entry ends with \"</interval>\" instead of \"</record>\"");
}

TEST(LogReader, StreamReaderAgreesWithTheMemoryReader) {
  const std::string text = std::string(testing::kExampleLog) + "<record=9>\nnotes=x";
  std::istringstream in(text);
  std::vector<Pairs> blocks;
  stderr_capture capture;
  parse_log(in, [&](Pairs pairs) { blocks.push_back(std::move(pairs)); });
  const auto messages = capture.lines();
  const auto memory = read_text(text);
  ASSERT_EQ(blocks.size(), memory.blocks.size());
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    EXPECT_EQ(pairs_text(blocks[i]), pairs_text(memory.blocks[i]));
  }
  EXPECT_EQ(messages, memory.messages);

  std::istringstream block("record=4>\ncost=2;\n</record>rest");
  EXPECT_EQ(pairs_text(parse_record(block)), "identifier=4|cost=2|");
  std::string rest;
  block >> rest;
  EXPECT_EQ(rest, "rest");
}

TEST(Split, CutsLikeStrtok) {
  using Tokens = std::vector<std::string>;
  EXPECT_EQ(split("=", "cost=24.5", 2), (Tokens{"cost", "24.5"}));
  EXPECT_EQ(split("=", "notes=", 2), (Tokens{"notes"}));
  EXPECT_EQ(split("=", "operation==x", 2), (Tokens{"operation", "x"}));
  EXPECT_EQ(split("=", "notes=a=b", 2), (Tokens{"notes", "a"}));
  EXPECT_EQ(split("=", "=5", 2), (Tokens{"5"}));
  EXPECT_EQ(split("=", "", 2), Tokens{});
  EXPECT_EQ(split("=", "==", 2), Tokens{});
  EXPECT_EQ(split("=;", "a=b;c==d", 0), (Tokens{"a", "b", "c", "d"}));
  EXPECT_EQ(split("=", std::string("a\0=b", 4), 2), (Tokens{"a"}));
}

TEST(LogWriter, WritesTheBlockByteForByte) {
  Record record(3);
  record.setup(3, 0, 2.5e6, "Tyres", "", 3.14159265f);
  std::string out;
  append_block(out, 3, record);
  EXPECT_EQ(out,
            "<record=3>\ncost=3.1415927;\noperation=Tyres;\ndate=0;\nmileage=2.5e+06;\nnotes=;\n"
            "</record>\n");
  record.setup(-1, -5, 0.00001, "", "multi\nline <#>", 40.0f);
  out.clear();
  append_block(out, -1, record);
  EXPECT_EQ(out,
            "<record=-1>\ncost=40;\noperation=;\ndate=-5;\nmileage=1e-05;\n"
            "notes=multi\nline <#>;\n</record>\n");
}

TEST(LogWriter, TextsWithSemicolonsOrEqualSignsComeBackWhole) {
  Record record(1);
  record.setup(1, 10, 1.0, "a=b;c", "100% sure; x=y", 2.0f);
  std::string out;
  append_block(out, 1, record);
  EXPECT_NE(out.find("operation*=a%3Db%3Bc;\n"), std::string::npos);
  EXPECT_NE(out.find("notes*=100%25 sure%3B x%3Dy;\n"), std::string::npos);
  const auto result = read_text(out);
  ASSERT_EQ(result.blocks.size(), 1u);
  const Record back(result.blocks[0]);
  EXPECT_EQ(back.operation(), "a=b;c");
  EXPECT_EQ(back.notes(), "100% sure; x=y");
  EXPECT_TRUE(result.messages.empty());
}

TEST(LogWriter, WrittenBlocksReadBackToTheSameRecord) {
  Record record(12);
  record.setup(12, 1031097600, 51873.5, "Tyres & balancing", "<b>#1</b>\r\n", 312.25f);
  std::string out;
  append_block(out, 12, record);
  const auto result = read_text(out);
  ASSERT_EQ(result.blocks.size(), 1u);
  const Record back(result.blocks[0]);
  EXPECT_EQ(back.identifier(), 12);
  EXPECT_EQ(back.date(), 1031097600);
  EXPECT_EQ(back.mileage(), 51873.5);
  EXPECT_EQ(back.cost(), 312.25f);
  EXPECT_EQ(back.operation(), "Tyres & balancing");
  EXPECT_EQ(back.notes(), "<b>#1</b>\r\n");
  std::string again;
  append_block(again, back.identifier(), back);
  EXPECT_EQ(again, out);
}

}  // namespace
}  // namespace tarvik
