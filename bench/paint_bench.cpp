// Painting the grid view costs in the cells shown, never in the rows of the table: a full-screen
// view of a ten-million-row table paints as fast as one of a table that just fills the screen
// (61 rows of 18 pixels in 1080), and hardly slower than a ten-row table, which paints fewer
// cells. bench_table runs this and prints the figures beside each other.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
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

// A view at 1920 x 1080 of a table of `rows` rows, of which a filter shows every second one
// (Filtered) or none is hidden, scrolled to a shown row in its middle; the 400 rows around the
// middle hold texts.
class MiddleView {
public:
    enum class Rows { All, EverySecond };

    MiddleView(int32_t rows, Rows shownRows)
        : document_(qv::GridShape{40, rows, 1, 1, 64, 18}, qv::GridShape{}),
          input_(document_),
          view_(input_) {
        qv::TableGrid& grid = document_.UnrecordedTable();
        grid.SetColWidth(0, 32);
        if (shownRows == Rows::EverySecond) {
            std::vector<int32_t> shown;
            for (int32_t row = 1; row < rows; row += 2) {
                shown.push_back(row);
            }
            document_.Shown().Show(std::move(shown));
        }
        const std::string texts[] = {Cp932("東京都千代田区"), Cp932("ｶﾀｶﾅ ﾃﾞｰﾀ"),
                                     Cp932("表計算の値 12345"), Cp932("あいうえお")};
        middle_ = rows / 2 | 1;  // a shown row
        for (int32_t row = middle_ - 200; row < middle_ + 200; ++row) {
            grid.WriteRowLabels(row, row + 1);
            for (int32_t col = 1; col < 40; ++col) {
                grid.SetCell(col, row, texts[(col + row) % 4]);
            }
        }
        view_.resize(kWidth, kHeight);
        view_.show();
        Recenter();
    }

    void Recenter() {
        input_.Select(qv::GridCell{1, middle_});
        view_.scrollTo(qv::GridCell{1, middle_});
        QApplication::processEvents();
    }
    qv::GridView& View() { return view_; }
    const qv::TableGrid& Table() const { return document_.Table(); }
    int32_t Middle() const { return middle_; }

private:
    qv::TableDocument document_;
    qv::TableInput input_;
    qv::GridView view_;
    int32_t middle_ = 1;
};

// The view maps its rows through the list of shown rows, so a filtered view of 500,000 rows
// paints as fast as a table of the shown rows alone.
void BM_PaintFiltered(benchmark::State& state) {
    MiddleView table(static_cast<int32_t>(state.range(0)), MiddleView::Rows::EverySecond);
    QImage image(table.View().size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        table.View().render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintFiltered)
    ->ArgName("filtered_rows")
    ->Arg(1'000'001)
    ->Unit(benchmark::kMillisecond);

// Moving the cursor by a row and scrolling by a page with the keys, each followed by a paint:
// in a table of 500,000 rows (filtered 0) and in one of 1,000,000 of which a filter shows
// 500,000 (filtered 1).
void BM_MoveAndScroll(benchmark::State& state) {
    const bool filtered = state.range(0) == 1;
    MiddleView table(filtered ? 1'000'001 : 500'001,
                     filtered ? MiddleView::Rows::EverySecond : MiddleView::Rows::All);
    QImage image(table.View().size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(&table.View(), &press);
            table.View().render(&image);
        }
        if (table.Table().Row() > table.Middle() + 100'000) {
            state.PauseTiming();
            table.Recenter();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_MoveAndScroll)->ArgName("filtered")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
