#ifndef TARVIK_UI_IMPORT_COMMAND_H_
#define TARVIK_UI_IMPORT_COMMAND_H_

namespace tarvik {

class Tarvik;

// File > Import CSV…: a CSV file the user picks, read through the import
// dialog (csv_import_dialog.h), added to the window's log as one undoable
// step. The first imported row becomes current where the filter shows it,
// and the status bar says how many entries came in, and whether they could
// not be saved yet.
void import_csv(Tarvik& window);

}  // namespace tarvik

#endif  // TARVIK_UI_IMPORT_COMMAND_H_
