#ifndef TARVIK_TRANSFER_CSV_SECTIONS_H_
#define TARVIK_TRANSFER_CSV_SECTIONS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Backups of other vehicle-log programs put several tables in one CSV file:
// fill-ups, services, the vehicle, lists of categories. Each is found here
// with its own header, so that each reads as a CSV file of its own.
namespace tarvik {

// What a section holds: entries for the log, or what describes them (the
// vehicle, categories, settings, stations, trips), never an entry.
enum class section_kind { records, metadata };

struct csv_section {
  // As the file names it: "Log", "Fill-Up Records", "FUEL RECORDS"; empty
  // for a file that has no sections. Blocks without a title are named by
  // the start of their header; the block before the titles of a file that
  // opens with a header and one row of its own is "Metadata".
  std::string title;
  section_kind kind = section_kind::records;
  std::size_t first_line = 1;  // the file's line (from 1) the header row is on
  std::string_view text;       // header row first, a view into the file's text
};

// The sections of a CSV file, in file order. A file divides into sections
// where:
// - lines "## Name" (quoted or not) title the tables below them;
// - lines of a single cell without figures ("Vehicles", "FUEL RECORDS"),
//   each followed by a header, title two or more tables; before the first
//   may stand a program's opening line or a header and row of metadata;
// - without titles, blank lines part blocks that each have a header of
//   their own: a block whose first row has as many cells as the header
//   before it, or that reads as data, goes on the section before.
// A quoted cell's line breaks never divide. A file without sections gives
// one section: title empty, kind records, first_line 1, text the whole file.
std::vector<csv_section> find_sections(std::string_view text);

// What a file's metadata tells of the vehicle, for the log's settings.
struct vehicle_facts {
  std::string name;      // only where the file describes one vehicle
  std::string distance;  // "km" or "mi"
  std::string volume;    // as the file writes it

  bool empty() const { return name.empty() && distance.empty() && volume.empty(); }
};

// From the vehicle sections (their "Name", "DistUnit"/"Distance Unit"/
// "Units", "FuelUnit"/"Volume Unit"/"FuelUnits" columns), else the distance
// from an odometer header of a records section ("Odo (mi)").
vehicle_facts find_vehicle_facts(const std::vector<csv_section>& sections);

}  // namespace tarvik

#endif  // TARVIK_TRANSFER_CSV_SECTIONS_H_
