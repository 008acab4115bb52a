#pragma once

#include <optional>
#include <string>

#include "app/delimited_file_settings.h"
#include "app/document_change.h"
#include "app/table_files.h"
#include "interchange/delimited_import.h"
#include "table/table_file_reader.h"

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

    // Reads another table to look at, leaving the current one alone: a table file as it is, a
    // .csv, .tsv or .txt file that is not one through the import dialog. Nothing when the user
    // cancelled or the file is not a table file (after saying so).
    std::optional<TableFileContent> ReadTableForReading(const std::string& path);

private:
    void ImportFileThroughDialog(const std::string& path);
    // The file's cells through the import dialog; nothing when cancelled.
    std::optional<DelimitedImport> ImportThroughDialog(const std::string& path);
    void WriteDelimitedFile(const std::string& path, const ExportSettings& settings);

    TableFiles& files_;
    // The CSV/TSV dialogs open as last confirmed in this run.
    std::string importDialogFileName_;
    std::string exportDialogFileName_;
    ExportSettings exportSettings_;
    bool exportShownOnly_ = false;  // the user chose the rows a filter shows
};

}  // namespace qv
