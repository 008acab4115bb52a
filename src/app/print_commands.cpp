// The print commands: the preview with its page setup, then the printer or a PDF file.
#include <algorithm>
#include <filesystem>

#include "app/print_choices_file.h"
#include "app/print_commands.h"
#include "platform/failure.h"
#include "platform/files.h"

namespace qv {

namespace {

PrintJob MakePrintJob(const TableGrid& grid, const std::string& title, const ShownRows& shown) {
    PrintJob job;
    job.grid = &grid;
    job.title = title;
    const int32_t lastRow = std::max(grid.FixedRows(), grid.RowCount() - 1);
    job.selectionFirstRow = std::clamp(std::min(grid.Anchor().row, grid.Row()), 1, lastRow);
    job.selectionEndRow = std::clamp(std::max(grid.Anchor().row, grid.Row()), 1, lastRow) + 1;
    job.choices = ReadPrintChoices(PrintChoicesPath());
    if (shown.Filtered()) {
        const std::span<const int32_t> rows = shown.RowsIn(1, grid.RowCount());
        job.shownRows.emplace(rows.begin(), rows.end());
    }
    if (job.choices.rows == PrintedRows::Shown && !job.shownRows) {
        job.choices.rows = PrintedRows::All;  // no filter now: every row
    }
    return job;
}

// What the user chose is remembered even when the preview was only closed; a configuration
// folder that takes no file costs the memory of the choices, not the printing.
void RememberChoices(WindowSystem& windows, const PrintChoices& choices) {
    try {
        WritePrintChoices(PrintChoicesPath(), choices);
    } catch (const Failure&) {
        windows.ShowStatusNote("印刷の設定を保存できませんでした");
    }
}

FileDialogRequest PdfSaveRequest(const std::string& fileName) {
    FileDialogRequest request;
    request.title = "PDFへの書き出し";
    request.filters = {{"PDFファイル(*.pdf)", "*.pdf"}, {"すべてのファイル(*.*)", "*.*"}};
    request.fileName = fileName;
    request.confirmOverwrite = true;
    return request;
}

}  // namespace

void PrintCommands::PrintTable() {
    PrintJob job = MakePrintJob(Grid(), document_.Title(), document_.Shown());
    const PreviewAnswer answer = windows_.RunPrintPreview(job, PrintTarget::Printer);
    RememberChoices(windows_, answer.choices);
    if (answer.result == PreviewResult::Confirmed) {
        job.choices = answer.choices;
        windows_.PrintPages(job);
    }
}

void PrintCommands::ExportPdf() {
    PrintJob job = MakePrintJob(Grid(), document_.Title(), document_.Shown());
    const PreviewAnswer answer = windows_.RunPrintPreview(job, PrintTarget::PdfFile);
    RememberChoices(windows_, answer.choices);
    if (answer.result != PreviewResult::Confirmed) {
        return;
    }
    job.choices = answer.choices;
    std::string offered = pdfDialogFileName_;
    if (offered.empty() && !document_.FileName().empty()) {
        offered = std::filesystem::path(document_.FileName()).replace_extension(".pdf").string();
    }
    std::optional<std::string> chosen = windows_.RunSaveDialog(PdfSaveRequest(offered));
    if (!chosen) {
        return;
    }
    pdfDialogFileName_ = *chosen;
    std::string path = std::move(*chosen);
    if (!std::filesystem::path(path).has_extension()) {
        path += ".pdf";
        if (IsExistingFile(path) && !files_.ConfirmReplacing(path)) {
            return;
        }
    }
    if (windows_.WritePdf(job, path)) {
        windows_.ShowStatusNote("PDFを書き出しました");
    }
}

}  // namespace qv
