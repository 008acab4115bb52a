#include "bench_filter.h"

#include <string>
#include <string_view>
#include <vector>

#include "app/main_form.h"
#include "bench_floors.h"
#include "tools/statistics_number.h"

namespace qv::bench {

namespace {

constexpr int32_t kYenColumn = 4;  // `\1,200`-style amounts
constexpr std::string_view kYen = "\x5C";

std::vector<std::string_view> Cells(const TableGrid& grid, int32_t colBegin, int32_t colEnd) {
    std::vector<std::string_view> texts;
    for (int32_t col = colBegin; col < colEnd; ++col) {
        grid.VisitColumn(col, 1, grid.RowCount(),
                         [&texts](std::string_view t) { texts.push_back(t); });
    }
    return texts;
}

// Reading every cell of the column as the statistics read it, counting those above 1000.
int64_t BareNumberLoop(const std::vector<std::string_view>& texts) {
    std::string buffer;
    int64_t above = 0;
    for (const std::string_view text : texts) {
        double value = 0;
        above += ReadCellNumber(text, buffer, value) == NumberReading::Number && value > 1000;
    }
    return above;
}

double FilterMs(MainForm& form, int runs, const FilterBarCondition& condition) {
    return BestOf(
        runs, [&] { form.Filter().ClearFilter(); },
        [&] { form.Filter().ApplyFilter({condition}, FilterMatching::Exact); });
}

}  // namespace

FilterFigures MeasureFilter(MainForm& form, int runs) {
    FilterFigures f;
    const TableGrid& grid = form.Table();
    f.rows = grid.RowCount() - 1;
    const std::vector<std::string_view> column = Cells(grid, kYenColumn, kYenColumn + 1);
    const std::vector<std::string_view> all = Cells(grid, 1, grid.ColCount());
    int64_t sink = 0;
    f.oneColumnMs = FilterMs(form, runs, {kYenColumn, FilterTest::Contains, std::string(kYen)});
    f.oneColumnFloorMs = BestOf(runs, [&] { sink += BareMemmemLoop(column, kYen); });
    f.allColumnsMs = FilterMs(form, runs, {kAnyFilterColumn, FilterTest::Contains, "\\"});
    f.allColumnsFloorMs = BestOf(runs, [&] { sink += BareMemmemLoop(all, kYen); });
    f.numberMs = FilterMs(form, runs, {kYenColumn, FilterTest::Greater, "1000"});
    f.numberFloorMs = BestOf(runs, [&] { sink += BareNumberLoop(column); });
    f.shownRows = form.Document().Shown().Rows().size();
    f.shownBytes = form.Document().Shown().Rows().size_bytes();
    if (sink < 0 || static_cast<int64_t>(f.shownRows) != BareNumberLoop(column)) {
        std::fprintf(stderr, "warning: the number filter and the bare loop disagree\n");
    }
    form.Filter().ClearFilter();
    return f;
}

void ReportFilter(const FilterFigures& f, bool judged, Report& report) {
    const std::string size = WithCommas(f.rows) + " x 8";
    const auto line = [&](std::string what, double ms, std::string floorName, double floorMs) {
        Figure figure;
        figure.what = std::move(what);
        figure.size = size;
        figure.value = Ms(ms);
        figure.floorName = std::move(floorName);
        figure.floorValue = Ms(floorMs);
        figure.ratio = ms / floorMs;
        if (judged) {
            figure.maxRatio = 2.0;
        }
        return figure;
    };
    Figure one = line("filter 含む, one column", f.oneColumnMs, "memmem loop over the column",
                      f.oneColumnFloorMs);
    if (judged) {
        one.ms = f.oneColumnMs;
        one.maxMs = 200.0;
    }
    report.Add(one);
    report.Add(line("filter 含む, every column", f.allColumnsMs, "memmem loop over every cell",
                    f.allColumnsFloorMs));
    report.Add(
        line("filter > (numbers)", f.numberMs, "the statistics' number reading", f.numberFloorMs));
    Figure memory;
    memory.what = "filter memory";
    memory.size = size;
    memory.value = WithCommas(static_cast<int64_t>(f.shownBytes)) + " bytes";
    memory.floorName = "4 bytes per shown row";
    memory.floorValue = WithCommas(static_cast<int64_t>(4 * f.shownRows)) + " bytes";
    memory.ratio = f.shownRows == 0 ? 1.0 : static_cast<double>(f.shownBytes) / (4.0 * f.shownRows);
    memory.maxRatio = 1.0;
    report.Add(memory);
}

}  // namespace qv::bench
