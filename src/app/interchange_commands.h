#pragma once

#include <string>

#include "app/delimited_file_settings.h"
#include "app/document_change.h"
#include "app/table_files.h"

namespace qv {

// CSV and TSV files in and out of the main table, and files given by the desktop (a
// command-line argument, a file dropped on the main window).
class InterchangeCommands : private CommandGroup {
public:
    InterchangeCommands(TableDocument& document, WindowSystem& windows, TableFiles& files)
        : CommandGroup(document, windows), files_(files) {}

    // The import command: asks about unsaved edits, then the open dialog, then the import
    // dialog. The table becomes the file's as a new, unsaved table titled with the file's base
    // name, with no file name (so saving asks for one); the undo history starts anew.
    void ImportDelimitedFile();
    // The export command: the export dialog, the save dialog, then the item names and data
    // cells written atomically. The table, its file and the title list stay as they were.
    void ExportDelimitedFile();
    // A file given on the command line or dropped on the window, after asking about unsaved
    // edits: a .csv, .tsv or .txt file that is not a table file goes through the import
    // dialog; any other opens as the open command opens it. A relative path is taken from the
    // current folder.
    void OpenFile(const std::string& path);

private:
    void ImportFileThroughDialog(const std::string& path);
    void WriteDelimitedFile(const std::string& path, const ExportSettings& settings);

    TableFiles& files_;
    // The CSV/TSV dialogs open as last confirmed in this run.
    std::string importDialogFileName_;
    std::string exportDialogFileName_;
    ExportSettings exportSettings_;
    bool exportShownOnly_ = false;  // the user chose the rows a filter shows
};

}  // namespace qv
