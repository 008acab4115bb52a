// Painting the grid view costs in the cells shown, never in the rows of the table: a full-screen
// view of a ten-million-row table paints as fast as one of a table that just fills the screen
// (61 rows of 18 pixels in 1080), and hardly slower than a ten-row table, which paints fewer
// cells. bench_table runs this and prints the figures beside each other.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <string>
#include <vector>

#include "app/table_input.h"
#include "edit/table_document.h"
#include "gui/grid_view.h"
#include "platform/cp932.h"
#include "view/grid_geometry.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

std::string Cp932(const std::string& utf8) {
    return qv::Utf8ToCp932(utf8).value();
}

// Japanese texts in every cell the view shows, row labels in the label column.
void FillShownCells(qv::TableGrid& grid, qv::GridCell topLeft) {
    const qv::GridGeometry geometry(grid, topLeft, kWidth, kHeight);
    const std::string texts[] = {Cp932("東京都千代田区"), Cp932("ｶﾀｶﾅ ﾃﾞｰﾀ"),
                                 Cp932("表計算の値 12345"), Cp932("あいうえお")};
    for (const qv::AxisSpan& row : geometry.Rows().Spans()) {
        grid.WriteRowLabels(std::max(row.index, 1), row.index + 1);
        for (const qv::AxisSpan& col : geometry.Columns().Spans()) {
            if (col.index > 0) {
                grid.SetCell(col.index, row.index, texts[(col.index + row.index) % 4]);
            }
        }
    }
}

// A table of `rows` rows shown at 1920 x 1080: a big one scrolled to its middle, a small one
// from its top (61 rows of 18 pixels just fill the view).
void BM_PaintFullScreen(benchmark::State& state) {
    const auto rows = static_cast<int32_t>(state.range(0));
    qv::TableDocument document(qv::GridShape{40, rows, 1, 1, 64, 18}, qv::GridShape{});
    qv::TableGrid& grid = document.UnrecordedTable();
    grid.SetColWidth(0, 32);
    qv::TableInput input(document);
    qv::GridView view(input);
    view.resize(kWidth, kHeight);
    view.show();
    view.scrollTo(qv::GridCell{1, rows > 1000 ? rows / 2 : 1});
    QApplication::processEvents();
    FillShownCells(grid, view.topLeft());
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintFullScreen)
    ->ArgName("rows")
    ->Arg(10)
    ->Arg(61)
    ->Arg(500'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);

// A table of `filtered_rows` rows of which a filter shows every second one, scrolled to its
// middle: the view maps its rows through the list of shown rows, so it paints as fast as a table
// of the shown rows alone.
void BM_PaintFiltered(benchmark::State& state) {
    const auto rows = static_cast<int32_t>(state.range(0));
    qv::TableDocument document(qv::GridShape{40, rows, 1, 1, 64, 18}, qv::GridShape{});
    qv::TableGrid& grid = document.UnrecordedTable();
    grid.SetColWidth(0, 32);
    std::vector<int32_t> shown;
    for (int32_t row = 1; row < rows; row += 2) {
        shown.push_back(row);
    }
    document.Shown().Show(std::move(shown));
    const std::string texts[] = {Cp932("東京都千代田区"), Cp932("ｶﾀｶﾅ ﾃﾞｰﾀ"),
                                 Cp932("表計算の値 12345"), Cp932("あいうえお")};
    const int32_t middle = rows / 2 | 1;  // a shown row
    for (int32_t row = middle - 200; row < middle + 200; ++row) {
        grid.WriteRowLabels(row, row + 1);
        for (int32_t col = 1; col < 40; ++col) {
            grid.SetCell(col, row, texts[(col + row) % 4]);
        }
    }
    qv::TableInput input(document);
    qv::GridView view(input);
    view.resize(kWidth, kHeight);
    view.show();
    view.scrollTo(qv::GridCell{1, middle});
    QApplication::processEvents();
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintFiltered)
    ->ArgName("filtered_rows")
    ->Arg(1'000'001)
    ->Unit(benchmark::kMillisecond);

// The ten-row table again with a cell of `cell_mb` megabytes of kana in view: only what the
// cell's width shows is decoded and laid out, so it paints as fast as the plain ten-row table.
void BM_PaintHugeCell(benchmark::State& state) {
    qv::TableDocument document(qv::GridShape{40, 10, 1, 1, 64, 18}, qv::GridShape{});
    qv::TableGrid& grid = document.UnrecordedTable();
    grid.SetColWidth(0, 32);
    qv::TableInput input(document);
    qv::GridView view(input);
    view.resize(kWidth, kHeight);
    view.show();
    QApplication::processEvents();
    FillShownCells(grid, view.topLeft());
    std::string huge;
    const std::string kana = Cp932("あ");
    while (huge.size() < static_cast<std::size_t>(state.range(0)) * 1'000'000) {
        huge += kana;
    }
    grid.SetCell(1, 1, huge);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintHugeCell)->ArgName("cell_mb")->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR")) {
        qputenv("QT_QPA_FONTDIR", "/usr/share/fonts");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
