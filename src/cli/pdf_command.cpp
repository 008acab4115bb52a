// quorvane-cli pdf IN OUT.pdf: the table's printed pages as a PDF file, the same pages the
// window's "PDFへの書き出し" makes with the same choices. Qt paints them: a QGuiApplication on the
// offscreen platform is made for this command only, so the other commands need no display.
#include <QGuiApplication>
#include <cstdio>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "print/table_pages.h"

namespace qv::cli {

namespace {

// Qt's own notes (no runtime folder on a server, say) are no concern of the companion's user,
// whose stderr carries the command's messages only.
void DropQtNotes(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fputs(message.toLocal8Bit().append('\n').constData(), stderr);
    }
}

}  // namespace

int RunPdf(const PdfArguments& args, std::ostream& err) {
    try {
        if (IsExistingFile(args.out) && !args.force) {
            throw Failure(args.out + " は既にあります (上書きするには --force)");
        }
        const std::unique_ptr<LoadedTable> table = LoadTable(args.in, err);
        if (!table) {
            return kExitFailure;
        }
        table->grid.WriteRowLabels(1, table->grid.RowCount());  // numbered as the window shows them
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(DropQtNotes);
        int argc = 1;
        char name[] = "quorvane-cli";
        char* argv[] = {name, nullptr};
        const QGuiApplication application(argc, argv);
        PrintJob job;
        job.grid = &table->grid;
        job.title = table->title;
        job.choices = args.choices;
        const TablePages pages(job, PrintDateToday());
        WritePdfFile(pages, args.out, nullptr);
        return kExitOk;
    } catch (const std::exception& failure) {
        return ReportFailure(failure, err);
    }
}

}  // namespace qv::cli
