// Fields beyond the five: the items of a block no field takes, shown and
// changed as the record's own, and written so that the file keeps them.
#include <gtest/gtest.h>

#include "data/file_data_source.h"
#include "data/record.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::read_file;
using testing::stderr_capture;
using testing::temp_dir;
using testing::write_file;
using Fields = std::vector<std::pair<std::string, std::string>>;

Fields fields_of(const Record& record) {
  Fields fields;
  for (const hash_element& field : record.other_fields()) fields.emplace_back(field.key, field.value);
  return fields;
}

std::string block_of(const std::string& text, const std::string& open_tag) {
  const std::size_t begin = text.find(open_tag);
  const std::size_t end = text.find("</record>", begin);
  return text.substr(begin, end - begin);
}

TEST(OtherFields, AreTheItemsNoFieldTakesInBlockOrder) {
  const Record record({{"identifier", "4"},
                       {"cost", "61.2"},
                       {"  Fuel ", "40.5"},
                       {"shop", "Hans & Sohn"},
                       {"fueltype*", "Super%3B98"},
                       {"notes", "a"},
                       {"FULL", "yes"},
                       {" ", "blank key"}});
  EXPECT_EQ(fields_of(record), (Fields{{"Fuel", "40.5"},
                                       {"shop", "Hans & Sohn"},
                                       {"fueltype", "Super;98"},
                                       {"FULL", "yes"}}));
  // What an older reader sees of the block is unchanged.
  EXPECT_EQ(record.cost(), 61.2f);
  EXPECT_EQ(record.notes(), "a");
  // The known keys in any case; every other key only as written.
  ASSERT_NE(record.other_field("fuel"), nullptr);
  EXPECT_EQ(*record.other_field("fuel"), "40.5");
  EXPECT_EQ(*record.other_field("Full"), "yes");
  EXPECT_EQ(*record.other_field("FuelType"), "Super;98");
  EXPECT_EQ(*record.other_field("shop"), "Hans & Sohn");
  EXPECT_EQ(record.other_field("Shop"), nullptr);
  EXPECT_EQ(record.other_field("price"), nullptr);
  // A key that only begins or ends like a known one is another key.
  const Record near({{"identifier", "5"}, {"fue", "1"}, {"FUELS", "2"}, {"ull", "3"}});
  EXPECT_EQ(near.other_field("fuel"), nullptr);
  EXPECT_EQ(near.other_field("full"), nullptr);
}

TEST(OtherFields, ChangingOneKeepsItsKeyAndMarksTheRecordModified) {
  Record record({{"identifier", "4"}, {"Fuel", "40.5"}, {"shop", "Hans"}});
  record.other_field("FUEL", "41");
  EXPECT_EQ(fields_of(record), (Fields{{"Fuel", "41"}, {"shop", "Hans"}}));
  EXPECT_TRUE(record.modified());
  record.other_field("fuel", "40.5");
  EXPECT_FALSE(record.modified()) << "set back to the values read";
  record.other_field("Shop", "Ida");  // another key than "shop"
  record.remove_other_field("fuel");
  EXPECT_EQ(fields_of(record), (Fields{{"shop", "Hans"}, {"Shop", "Ida"}}));
  EXPECT_TRUE(record.modified());
}

TEST(OtherFields, KeysTheFormatCannotHoldAreRefused) {
  for (const char* key : {"shop", "fuel type", "Fuel", "x>y"}) {
    EXPECT_TRUE(usable_field_key(key)) << key;
  }
  for (const char* key : {"", " shop", "shop ", "a;b", "a=b", "<x", "x<y", "#x", "x*", "a\nb",
                          "notes", " Cost", "operation*", "identifier"}) {
    EXPECT_FALSE(usable_field_key(key)) << key;
  }
  EXPECT_FALSE(usable_field_key(std::string("a\0b", 3)));
}

const char* const kFuelLog =
    "<record=1>\n"
    "cost=61.2;\n"
    "operation=Fuel;\n"
    "date=1020211200;\n"
    "mileage=45210;\n"
    "notes=;\n"
    " fuel = 40.5;\n"
    "# receipt in the glovebox\n"
    "station=Aral;\n"
    "</record>\n"
    "<record=2>\n"
    "cost=80;\n"
    "operation=Inspection;\n"
    "date=1041379200;\n"
    "mileage=60000;\n"
    "notes=;\n"
    "</record>\n";

class StoredOtherFields : public ::testing::Test {
 protected:
  temp_dir dir;
  std::string log = dir.file("tarvik.txt");
};

TEST_F(StoredOtherFields, AnUnchangedRecordKeepsItsBlockByteForByte) {
  write_file(log, kFuelLog);
  FileDataSource store(log);
  EXPECT_EQ(fields_of(*store.record(1)), (Fields{{"fuel", " 40.5"}, {"station", "Aral"}}));
  store.record(2)->cost(85);
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(block_of(read_file(log), "<record=1>"), block_of(kFuelLog, "<record=1>"));
  // A change of the five alone keeps the items as they stood.
  store.record(1)->cost(62);
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(block_of(read_file(log), "<record=1>"),
            "<record=1>\ncost=62;\noperation=Fuel;\ndate=1020211200;\nmileage=45210;\nnotes=;\n"
            " fuel = 40.5;\nstation=Aral;\n# receipt in the glovebox\n");
}

TEST_F(StoredOtherFields, AChangedFieldIsWrittenInTheStandardBlockInItsOrder) {
  write_file(log, kFuelLog);
  FileDataSource store(log);
  store.record(1)->other_field("station", "Aral; Hauptstr. 5=A");
  store.record(1)->other_field("fueltype", "E10");
  ASSERT_TRUE(store.commit());
  const std::string saved = read_file(log);
  EXPECT_EQ(block_of(saved, "<record=1>"),
            "<record=1>\ncost=61.2;\noperation=Fuel;\ndate=1020211200;\nmileage=45210;\nnotes=;\n"
            "fuel= 40.5;\nstation*=Aral%3B Hauptstr. 5%3DA;\nfueltype=E10;\n"
            "# receipt in the glovebox\n");
  EXPECT_EQ(block_of(saved, "<record=2>"), block_of(kFuelLog, "<record=2>"));
  FileDataSource again(log);
  EXPECT_EQ(fields_of(*again.record(1)),
            (Fields{{"fuel", " 40.5"}, {"station", "Aral; Hauptstr. 5=A"}, {"fueltype", "E10"}}));
  EXPECT_TRUE(again.record(1)->same_fields(*store.record(1)));
}

TEST_F(StoredOtherFields, FieldsAddedToOrTakenFromABlockGoWithIt) {
  write_file(log, kFuelLog);
  {
    FileDataSource store(log);
    store.record(2)->other_field("#sticker", "2025");  // not to be read as a comment
    store.record(2)->other_field("identifier", "9");  // not to be read as the identifier
    store.record(1)->other_fields({});
    ASSERT_TRUE(store.commit());
  }
  FileDataSource again(log);
  EXPECT_EQ(again.identifiers(), (std::vector<int>{1, 2}));
  EXPECT_EQ(fields_of(*again.record(2)), (Fields{{"#sticker", "2025"}, {"identifier", "9"}}));
  EXPECT_TRUE(again.record(1)->other_fields().empty());
  EXPECT_NE(read_file(log).find("# receipt in the glovebox\n"), std::string::npos);
}

TEST_F(StoredOtherFields, ARenumberedRecordKeepsThem) {
  std::string twice = kFuelLog;
  twice += block_of(kFuelLog, "<record=1>") + "</record>\n";
  write_file(log, twice);
  stderr_capture quiet;
  FileDataSource store(log);
  ASSERT_EQ(store.identifiers().size(), 3u);
  const int renumbered = store.identifiers()[2];
  ASSERT_NE(renumbered, 1);
  EXPECT_EQ(fields_of(*store.record(renumbered)), fields_of(*store.record(1)));
  ASSERT_TRUE(store.commit());
  FileDataSource again(log);
  EXPECT_EQ(fields_of(*again.record(renumbered)), (Fields{{"fuel", " 40.5"}, {"station", "Aral"}}));
}

TEST_F(StoredOtherFields, ALogWithoutThemIsWrittenAsBefore) {
  const std::string plain = block_of(kFuelLog, "<record=2>") + "</record>\n";
  write_file(log, plain);
  FileDataSource store(log);
  store.record(2)->cost(85);
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(read_file(log),
            "<record=2>\ncost=85;\noperation=Inspection;\ndate=1041379200;\nmileage=60000;\n"
            "notes=;\n</record>\n");
}

}  // namespace
}  // namespace tarvik
