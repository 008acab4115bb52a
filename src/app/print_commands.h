#pragma once

#include <string>

#include "app/document_change.h"
#include "app/table_files.h"

namespace qv {

// Printing the main table: the preview with its page setup, then the printer or a PDF file; the
// choices are remembered in a file of their own.
class PrintCommands : private CommandGroup {
public:
    PrintCommands(TableDocument& document, WindowSystem& windows, TableFiles& files)
        : CommandGroup(document, windows), files_(files) {}

    void PrintTable();
    void ExportPdf();

private:
    TableFiles& files_;
    // The PDF's save dialog opens as last confirmed in this run.
    std::string pdfDialogFileName_;
};

}  // namespace qv
