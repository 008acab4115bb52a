// bench_print --pages | --floor TABLE OUT.pdf: prints the milliseconds that writing the PDF took
// and the process's peak memory in bytes. --pages makes the table's printed pages as
// "quorvane-cli pdf" does (layout, headings, grid lines, page numbers); --floor has QPdfWriter
// draw the same texts, one drawText each, 38 rows to an A4 page as the pages hold them, with no
// layout, lines or clipping: the least any program writing those texts into a PDF must pay.
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>
#include <string_view>

#include "bench_harness.h"
#include "platform/cp932.h"
#include "print/table_pages.h"
#include "table/main_table_shape.h"
#include "table/table_file_reader.h"

namespace {

constexpr int kRowsPerPage = 38;

void WriteFloor(const qv::TableGrid& grid, const std::string& out) {
    QPdfWriter writer(QString::fromStdString(out));
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    const double scale = writer.logicalDpiX() / 96.0;
    painter.scale(scale, scale);
    QFont font;
    font.setFamilies({QStringLiteral("IPAMincho")});
    font.setPixelSize(15);
    painter.setFont(font);
    for (int32_t row = 1; row < grid.RowCount(); ++row) {
        if (row > 1 && (row - 1) % kRowsPerPage == 0) {
            writer.newPage();
        }
        const int y = 80 + ((row - 1) % kRowsPerPage) * 24;
        for (int32_t col = 0; col < grid.ColCount(); ++col) {
            painter.drawText(40 + col * 80, y,
                             QString::fromStdString(qv::Cp932ToUtf8(grid.Cell(col, row))));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_print --pages|--floor TABLE OUT.pdf\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    qv::TableGrid grid(qv::kMainTableShape);
    std::string title;
    qv::ApplyTableFile(std::move(*qv::ReadTableFile(argv[2])), grid, title);
    grid.WriteRowLabels(1, grid.RowCount());
    const double start = qv::bench::NowMs();
    if (std::string_view(argv[1]) == "--floor") {
        WriteFloor(grid, argv[3]);
    } else {
        qv::PrintJob job;
        job.grid = &grid;
        job.title = title;
        const qv::TablePages pages(job, qv::PrintDateToday());
        qv::WritePdfFile(pages, argv[3], nullptr);
    }
    std::printf("%.3f %llu\n", qv::bench::NowMs() - start,
                static_cast<unsigned long long>(qv::bench::PeakResidentBytes()));
    return 0;
}
