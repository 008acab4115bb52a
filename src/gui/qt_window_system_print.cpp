// The print commands' windows: the preview, the system's print dialog, the progress of a long
// run of pages.
#include <QPrintDialog>
#include <QPrinter>

#include "gui/print_preview_dialog.h"
#include "gui/qt_window_system.h"
#include "print/table_pages.h"

namespace qv {

namespace {

// Pages can be stopped between them, so the progress is shown as a load's, with its cancel.
PageProgress ProgressOf(ProgressMonitor* monitor, const std::function<void()>& onCancel = {}) {
    return [monitor, onCancel](int32_t done, int32_t total) {
        if (monitor == nullptr ||
            monitor->Advance(static_cast<uint64_t>(done), static_cast<uint64_t>(total))) {
            return true;
        }
        if (onCancel) {
            onCancel();
        }
        return false;
    };
}

}  // namespace

PreviewAnswer QtWindowSystem::RunPrintPreview(const PrintJob& job, PrintTarget target) {
    PrintPreviewDialog dialog(job, target, DialogOwner());
    const bool confirmed = RunModal(dialog) == QDialog::Accepted;
    return {dialog.Choices(), confirmed ? PreviewResult::Confirmed : PreviewResult::Closed};
}

void QtWindowSystem::PrintPages(const PrintJob& job) {
    const TablePages pages(job, PrintDateToday());
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);  // the pages keep margins of their own
    printer.setPageLayout(pages.PageLayout());
    printer.setDocName(QStringLiteral("Quorvane"));
    QPrintDialog dialog(&printer, DialogOwner());
    dialog.setWindowTitle(QStringLiteral("印刷"));
    if (RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    const std::unique_ptr<ProgressMonitor> progress =
        StartProgress("印刷しています", ProgressKind::Load);
    qv::PaintPages(pages, printer, ProgressOf(progress.get(), [&printer] { printer.abort(); }));
}

bool QtWindowSystem::WritePdf(const PrintJob& job, const std::string& path) {
    const TablePages pages(job, PrintDateToday());
    const std::unique_ptr<ProgressMonitor> progress =
        StartProgress("PDFを書き出しています", ProgressKind::Load);
    return WritePdfFile(pages, path, ProgressOf(progress.get()));
}

}  // namespace qv
