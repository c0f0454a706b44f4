// Files of several tables, as other programs' backups write them, and the
// writers' conventions of backslashes and blanks after the separator.
#include <gtest/gtest.h>

#include <string>

#include "transfer/csv_import.h"
#include "transfer/csv_sections.h"

namespace tarvik {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using Lines = std::vector<std::size_t>;

struct seen {
  std::string title;
  section_kind kind;
  std::size_t first_line;
  bool operator==(const seen& other) const {
    return title == other.title && kind == other.kind && first_line == other.first_line;
  }
};

void PrintTo(const seen& s, std::ostream* out) {
  *out << '{' << s.title << ", " << (s.kind == section_kind::records ? "records" : "metadata")
       << ", line " << s.first_line << '}';
}

std::vector<seen> outline(const std::vector<csv_section>& sections) {
  std::vector<seen> out;
  for (const csv_section& section : sections) {
    out.push_back({section.title, section.kind, section.first_line});
  }
  return out;
}

constexpr auto records = section_kind::records;
constexpr auto metadata = section_kind::metadata;

TEST(CsvSections, ABackupOfHashTitledTables) {
  const std::string text =
      "\"## Vehicle\"\n"
      "\"Name\",\"Description\",\"DistUnit\",\"FuelUnit\"\n"
      "\"Golf\",\"Blue\",\"0\",\"0\"\n"
      "\"## Log\"\n"
      "\"Data\",\"Odo (mi)\",\"Fuel (litres)\",\"Full\",\"Price (optional)\",\"Notes (optional)\"\n"
      "\"2020-01-05 10:30\",\"45210\",\"40.5\",\"1\",\"61.2\",\"first, \n\nDate,Km\"\n"
      "\"2020-02-01 09:00\",\"45600\",\"38.0\",\"1\",\"58.1\",\"\"\n"
      "\"## CostCategories\"\n"
      "\"CostTypeID\",\"Name\",\"priority\",\"color\"\n"
      "\"1\",\"Service\",\"0\",\"-1\"\n"
      "\"## Costs\"\n"
      "\"CostTitle\",\"Date\",\"Odo\",\"CostTypeID\",\"Notes\",\"Cost\"\n"
      "\"Oil change\",\"2020-01-20\",\"45400\",\"1\",\"\",\"89.90\"\n";
  const std::vector<csv_section> sections = find_sections(text);
  EXPECT_EQ(outline(sections), (std::vector<seen>{{"Vehicle", metadata, 2},
                                                  {"Log", records, 5},
                                                  {"CostCategories", metadata, 11},
                                                  {"Costs", records, 14}}));
  ASSERT_EQ(sections.size(), 4u);
  const csv_table log = read_csv(sections[1].text);
  EXPECT_EQ(log.rows[1], (std::vector<std::string>{"2020-01-05 10:30", "45210", "40.5", "1",
                                                   "61.2", "first, \n\nDate,Km"}));
  EXPECT_EQ(log.line_of, (Lines{1, 2, 5})) << "lines within the section";
  EXPECT_EQ(read_csv(sections[3].text).rows,
            (Rows{{"CostTitle", "Date", "Odo", "CostTypeID", "Notes", "Cost"},
                  {"Oil change", "2020-01-20", "45400", "1", "", "89.90"}}));
  // The unit code of the vehicle says nothing sure; the odometer's header does.
  const vehicle_facts facts = find_vehicle_facts(sections);
  EXPECT_EQ(facts.name, "Golf");
  EXPECT_EQ(facts.distance, "mi");
}

TEST(CsvSections, AFullExportOfMetadataThenTitledTables) {
  const std::string text =
      "\"Android Version\",\"App Version\",\"Date Format\"\r\n"
      "\"13\",\"5.4.3\",\"M/d/yyyy\"\r\n"
      "\r\n"
      "Vehicles\r\n"
      "\"Name\",\"Type\",\"Year\",\"Make\",\"Distance Unit\",\"Volume Unit\",\"Notes\"\r\n"
      "\"Civic\",\"Car\",\"2012\",\"Honda\",\"Miles\",\"Gallons (US)\",\"\"\r\n"
      "\r\n"
      "Fill-Up Records\r\n"
      "\"Vehicle\",\"Date\",\"Odometer Reading\",\"Price per Unit\",\"Total Cost\",\"Notes\"\r\n"
      "\"Civic\",\"05/13/2020\",\"106,421\",\"$3.09\",\"$31.52\",\"Costco\"\r\n"
      "\"Civic\",\"06/02/2020\",\"106,731\",\"$3.19\",\"$31.26\",\"\"\r\n"
      "\r\n"
      "Event Records\r\n"
      "\"Vehicle\",\"Date\",\"Odometer Reading\",\"Type\",\"Total Cost\",\"Notes\"\r\n"
      "\"Civic\",\"05/20/2020\",\"106,500\",\"Oil Change\",\"$79.78\",\"\"\r\n"
      "\r\n";
  const std::vector<csv_section> sections = find_sections(text);
  EXPECT_EQ(outline(sections), (std::vector<seen>{{"Metadata", metadata, 1},
                                                  {"Vehicles", metadata, 5},
                                                  {"Fill-Up Records", records, 9},
                                                  {"Event Records", records, 14}}));
  ASSERT_EQ(sections.size(), 4u);
  EXPECT_EQ(read_csv(sections[2].text).rows.back(),
            (std::vector<std::string>{"Civic", "06/02/2020", "106,731", "$3.19", "$31.26", ""}));
  EXPECT_EQ(read_csv(sections[0].text).rows.size(), 2u) << "the metadata block is its own";
  EXPECT_EQ(read_csv(sections[3].text).rows.size(), 2u) << "no title or blank line is a row";
  const vehicle_facts facts = find_vehicle_facts(sections);
  EXPECT_EQ(facts.name, "Civic");
  EXPECT_EQ(facts.distance, "mi");
  EXPECT_EQ(facts.volume, "Gallons (US)");
}

TEST(CsvSections, AnExportOpenedByItsProgramsLineWithCapitalTitles) {
  const std::string text =
      "Road Trip Data File version 1500,en\n"
      "\n"
      "FUEL RECORDS\n"
      "Odometer (mi),Trip Distance,Date,Fill Amount,Price per Unit,Total Price,Note\n"
      "45210,312.5,2020-1-5 10:30,10.2,3.09,31.52,\"Full, tank\"\n"
      "\n"
      "MAINTENANCE RECORDS\n"
      "Description,Date,Odometer (mi.),Cost,Note\n"
      "Oil change,2020-1-20 9:00,45400,89.90,\n"
      "\n"
      "ROAD TRIPS\n"
      "Name,Start Date,Start Odometer (mi.),End Date,End Odometer,Note\n"
      "Coast,2020-2-1 8:00,45500,2020-2-3 18:00,46100,\n"
      "\n"
      "VEHICLE\n"
      "Name,Odometer,Units,Notes\n"
      "Mustang,46100,km,\n";
  const std::vector<csv_section> sections = find_sections(text);
  EXPECT_EQ(outline(sections), (std::vector<seen>{{"FUEL RECORDS", records, 4},
                                                  {"MAINTENANCE RECORDS", records, 8},
                                                  {"ROAD TRIPS", metadata, 12},
                                                  {"VEHICLE", metadata, 16}}));
  ASSERT_EQ(sections.size(), 4u);
  EXPECT_EQ(read_csv(sections[0].text).rows,
            (Rows{{"Odometer (mi)", "Trip Distance", "Date", "Fill Amount", "Price per Unit",
                   "Total Price", "Note"},
                  {"45210", "312.5", "2020-1-5 10:30", "10.2", "3.09", "31.52", "Full, tank"}}));
  const vehicle_facts facts = find_vehicle_facts(sections);
  EXPECT_EQ(facts.name, "Mustang");
  EXPECT_EQ(facts.distance, "km") << "the vehicle's own setting before a header's unit";
}

TEST(CsvSections, BlocksWithHeadersOfTheirOwn) {
  const std::string text =
      "Date;Km;Litres;Cost\n"
      "2020-01-05;45210;40,5;61,20\n"
      ";;;\n"
      "2020-02-01;45600;38,0;58,10\n"  // a stray empty line: the same table
      "\n"
      "Date,Km,Service,Cost,Workshop\n"
      "2020-01-20,45400,Oil,89.90,Meier\n"
      "\n"
      "Name,Plate\n"
      "Golf,B-XY 123\n";
  const std::vector<csv_section> sections = find_sections(text);
  EXPECT_EQ(outline(sections),
            (std::vector<seen>{{"Date, Km, Litres, Cost", records, 1},
                               {"Date, Km, Service, Cost, Workshop", records, 6},
                               {"Name, Plate", metadata, 9}}));
  ASSERT_EQ(sections.size(), 3u);
  const csv_table fuel = read_csv(sections[0].text);
  EXPECT_EQ(fuel.separator, ';');
  EXPECT_EQ(fuel.rows.back(), (std::vector<std::string>{"2020-02-01", "45600", "38,0", "58,10"}));
  EXPECT_EQ(read_csv(sections[1].text).rows.size(), 2u);
}

TEST(CsvSections, OrdinaryFilesStayWhole) {
  const auto whole = [](const std::string& text) {
    const std::vector<csv_section> sections = find_sections(text);
    return sections.size() == 1 && sections[0].title.empty() && sections[0].first_line == 1 &&
           sections[0].kind == records && sections[0].text == text;
  };
  // Blank lines at the end and between rows of the same width.
  EXPECT_TRUE(whole("Date,Km,Cost\n2020-01-01,5,3\n\n2020-01-02,6,4\n\n\n"));
  // A row short of a cell after a blank line is a row, not a header; so is
  // one of words as wide as the header, and one of another width that no
  // blank line sets apart.
  EXPECT_TRUE(whole("Date,Km,Cost\n2020-01-01,5,3\n\n2020-01-02,6\n"));
  EXPECT_TRUE(whole("Date,Service,Workshop\n2020-01-01,Oil,Meier\n\nundated,Tyres,Meier\n"));
  EXPECT_TRUE(whole("Date,Km,Cost\n2020-01-01,5,3\n\n2020-01-02,6,4\nAll,Cars\n"));
  // Blank lines inside a quoted note, above a line that looks like a header.
  EXPECT_TRUE(whole("Date,Km,Notes\n2020-01-01,5,\"a\n\nService,Cost\"\n2020-01-02,6,b\n"));
  // One column: nothing tells a header from a note.
  EXPECT_TRUE(whole("Notes\nOil\n\nService,Cost,Workshop\nTyres\n"));
  // A lone word over a line of words, within an ordinary table.
  EXPECT_TRUE(whole("Date,Km,Service\n2020-01-01,5,Oil\n2020-01-02,6,Tyres\n"
                    "Totals\nAll,Cars,Here\n"));
  EXPECT_TRUE(whole("Date,Note\n2020-01-01,x\nRemark\nA,B\n"));
  // Lone words below a table, not the opening of a backup.
  EXPECT_TRUE(whole("Date,Km,Service\n2020-01-01,5,Oil\n2020-01-02,6,Tyres\n"
                    "Totals\nAll,Cars,Here\nAverages\nPer,Month,Year\n"));
  EXPECT_TRUE(whole("Date,Km,Service\n2020-01-01,5\nFuel\nA,B\nCosts\nC,D\n"));
  // One lone word on top, nothing before it: a title of the file, no more.
  EXPECT_TRUE(whole("Fuel\nDate,Km\n2020-01-01,5\n"));
  EXPECT_TRUE(whole(""));
}

TEST(CsvConventions, BackslashesEscapeWhereTheRowsSaySo) {
  const std::string semicolons =
      "Date;Odometer;Note;Company\n"
      "13.05.2020;45210;Autobahn\\; A8;Aral\n"
      "14.05.2020;45600;;Shell\n";
  const csv_table escaped = read_csv(semicolons);
  EXPECT_TRUE(escaped.backslash_escapes);
  EXPECT_EQ(escaped.rows[1],
            (std::vector<std::string>{"13.05.2020", "45210", "Autobahn; A8", "Aral"}));
  csv_options plain;
  plain.backslash_escapes = false;
  const csv_table as_asked = read_csv(semicolons, plain);
  EXPECT_FALSE(as_asked.backslash_escapes);
  EXPECT_EQ(as_asked.rows[1].size(), 5u);
  EXPECT_EQ(as_asked.rows[1][2], "Autobahn\\");

  // Quotes too, inside quoted cells and out.
  const csv_table quotes = read_csv(
      "Date;Note\n01.01.2020;\"said \\\"hi\\\"; ok\"\n02.01.2020;Autobahn\\; A8 \\\"x\\\\\n");
  EXPECT_TRUE(quotes.backslash_escapes);
  EXPECT_EQ(quotes.rows, (Rows{{"Date", "Note"},
                               {"01.01.2020", "said \"hi\"; ok"},
                               {"02.01.2020", "Autobahn; A8 \"x\\"}}));

  // A backslash that ends a cell (a folder) is kept: reading it as an
  // escape would join two cells.
  const csv_table folders = read_csv("Date,Path,Km\n2020-01-01,C:\\temp\\,5\n2020-01-02,D:\\,6\n");
  EXPECT_FALSE(folders.backslash_escapes);
  EXPECT_EQ(folders.rows[1], (std::vector<std::string>{"2020-01-01", "C:\\temp\\", "5"}));
  const csv_table quoted_folder = read_csv("Date,Path\n2020-01-01,\"C:\\temp\\\"\n");
  EXPECT_FALSE(quoted_folder.backslash_escapes);
  EXPECT_EQ(quoted_folder.rows[1][1], "C:\\temp\\");
  EXPECT_EQ(read_csv("Date,Note\n2020-01-01,a\\b\n").rows[1][1], "a\\b");
  EXPECT_EQ(read_csv("Date,Share\n2020-01-01,\\\\nas\\car\n").rows[1][1], "\\\\nas\\car");
}

TEST(CsvConventions, ABlankAfterEverySeparatorIsNoPartOfTheCells) {
  const csv_table spaced = read_csv(
      "car_name, odometer, price, notes\nCivic, 45210, 3.09, \"cheap, good\"\nCivic, 45600, , \n");
  EXPECT_TRUE(spaced.blank_after_separator);
  EXPECT_EQ(spaced.rows, (Rows{{"car_name", "odometer", "price", "notes"},
                               {"Civic", "45210", "3.09", "cheap, good"},
                               {"Civic", "45600", "", ""}}));
  // One separator without its blank: the blanks are the cells'.
  const csv_table mixed = read_csv("a, b\nc,d\n");
  EXPECT_FALSE(mixed.blank_after_separator);
  EXPECT_EQ(mixed.rows, (Rows{{"a", " b"}, {"c", "d"}}));
  csv_options kept;
  kept.blank_after_separator = false;
  EXPECT_EQ(read_csv("a, b\n", kept).rows, (Rows{{"a", " b"}}));
}

}  // namespace
}  // namespace tarvik
