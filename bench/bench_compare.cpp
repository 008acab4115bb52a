#include "bench_compare.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "table/main_table_shape.h"
#include "table/table_file_reader.h"
#include "tools/table_compare.h"

namespace qv::bench {

namespace {

// The key column added to the benchmark table, which has no column of unique texts.
constexpr int32_t kKeyColumn = 9;

std::unique_ptr<TableGrid> Load(const std::string& path) {
    auto grid = std::make_unique<TableGrid>(kMainTableShape);
    std::string title;
    std::optional<TableFileContent> content = ReadTableFile(path);
    ApplyTableFile(std::move(*content), *grid, title);
    return grid;
}

// Numbers the rows in the key column, with `prefix` before each number.
void AddKeys(TableGrid& grid, const std::string& prefix) {
    grid.SetColCount(kKeyColumn + 1);
    for (int32_t row = 1; row < grid.RowCount(); ++row) {
        grid.SetCell(kKeyColumn, row, prefix + std::to_string(row));
    }
}

// One row in a hundred edited, spread over the table: a third changed in one cell, a third
// removed, a third new rows inserted.
void EditOnePercent(TableGrid& grid) {
    const int32_t cols = grid.ColCount();
    for (int32_t row = grid.RowCount() - 100, k = 0; row > 1; row -= 100, ++k) {
        switch (k % 3) {
            case 0:
                grid.SetCell(1 + k % 8, row, "changed");
                break;
            case 1:
                grid.RemoveRowShiftingUp(row, grid.RowCount(), 1, cols);
                grid.SetRowCount(grid.RowCount() - 1);
                break;
            default:
                grid.SetRowCount(grid.RowCount() + 1);
                grid.InsertEmptyRow(row, grid.RowCount(), 1, cols);
                grid.SetCell(1, row, "inserted");
                grid.SetCell(kKeyColumn, row, "new" + std::to_string(row));
                break;
        }
    }
}

// A table of `rows` equal rows.
std::unique_ptr<TableGrid> EqualRows(int32_t rows) {
    auto grid = std::make_unique<TableGrid>(kMainTableShape);
    grid->SetColCount(kKeyColumn + 1);
    grid->SetRowCount(rows);
    for (int32_t row = 1; row < rows; ++row) {
        grid->SetCell(1, row, "same");
    }
    return grid;
}

// The floor: a hash of every row of both tables over the compared columns, one column at a
// time, the least any comparison must read.
uint64_t HashBoth(const TableGrid& a, const TableGrid& b) {
    const int32_t cols = std::min(a.ColCount(), b.ColCount());
    uint64_t sum = 0;
    for (const TableGrid* grid : {&a, &b}) {
        std::vector<uint64_t> hashes(static_cast<std::size_t>(grid->RowCount()), 0);
        const std::hash<std::string_view> hash;
        for (int32_t col = 1; col < cols; ++col) {
            uint64_t* next = hashes.data();
            grid->VisitColumn(col, 1, grid->RowCount(), [&](std::string_view text) {
                *next = *next * 0x9E3779B97F4A7C15ull + hash(text);
                ++next;
            });
        }
        sum += hashes.front();
    }
    return sum;
}

struct Case {
    const char* what;
    const TableGrid* a;
    const TableGrid* b;
    std::vector<int32_t> keys;
    double maxRatio;
    std::optional<double> maxMs;
};

void Measure(const Case& c, int runs, Report& report) {
    TableComparison comparison;
    double ms = 1e300;
    double floorMs = 1e300;
    uint64_t sum = 0;
    // The figure and its floor take turns, so that a busy moment of the machine hits both.
    for (int i = 0; i < runs; ++i) {
        ms = std::min(
            ms, BestOf(1, [&] {
                comparison = CompareTables(
                    *c.a, *c.b,
                    PairColumns(*c.a, *c.b, ColumnMatching::ByPosition, ColumnExtent::Common),
                    c.keys);
            }));
        floorMs = std::min(floorMs, BestOf(1, [&] { sum += HashBoth(*c.a, *c.b); }));
    }
    if (sum == 1) {
        std::fprintf(stderr, "(an unlikely hash)\n");
    }
    Figure line;
    line.what = c.what;
    line.size = WithCommas(c.a->RowCount() - 1) + " / " + WithCommas(c.b->RowCount() - 1);
    line.value = Ms(ms) + "  " + DifferenceCountsText(comparison.counts);
    line.floorName = "hash every row of both tables";
    line.floorValue = Ms(floorMs);
    line.ratio = ms / floorMs;
    line.maxRatio = c.maxRatio;
    if (c.maxMs) {
        line.ms = ms;
        line.maxMs = c.maxMs;
    }
    report.Add(line);
}

// The memory the comparison takes beyond both tables, in bytes a row of either table, measured
// in a child process that holds nothing else.
void MeasureMemory(const std::string& path, bool byKey, Report& report) {
    const std::optional<std::string> output = RunChild(
        {ProgramFolder() + "/bench_table", "--compare-memory", path, byKey ? "key" : "position"});
    unsigned long long rows = 0, before = 0, peak = 0;
    Figure line;
    line.what = byKey ? "compare by key: memory beyond both tables"
                      : "compare by position: memory beyond both tables";
    if (!output || std::sscanf(output->c_str(), "%llu %llu %llu", &rows, &before, &peak) != 3 ||
        rows == 0) {
        line.note = "not measured: the child failed";
        report.Add(line);
        return;
    }
    const double perRow =
        static_cast<double>(peak - std::min(peak, before)) / static_cast<double>(rows);
    line.size = WithCommas(static_cast<int64_t>(rows)) + " rows";
    line.value = std::to_string(static_cast<int>(perRow + 0.5)) + " bytes a row";
    line.floorName = "32 bytes a row (both tables hold " + Megabytes(before) + ")";
    line.floorValue = "32";
    line.ratio = perRow / 32.0;
    line.maxRatio = 1.0;
    report.Add(line);
}

}  // namespace

int CompareMemoryChild(const std::string& path, bool byKey) {
    const std::unique_ptr<TableGrid> base = Load(path);
    AddKeys(*base, "");
    const std::unique_ptr<TableGrid> edited = Load(path);
    AddKeys(*edited, "");
    EditOnePercent(*edited);
    const uint64_t before = ResidentBytesResettingPeak();
    const TableComparison comparison =
        CompareTables(*base, *edited,
                      PairColumns(*base, *edited, ColumnMatching::ByPosition, ColumnExtent::Common),
                      byKey ? std::vector<int32_t>{kKeyColumn} : std::vector<int32_t>{});
    std::printf("%d %llu %llu\n", base->RowCount() + edited->RowCount() - 2,
                static_cast<unsigned long long>(before),
                static_cast<unsigned long long>(PeakResidentBytes()));
    return comparison.runs.empty() ? 1 : 0;
}

void ReportCompare(const std::string& path, Report& report) {
    MeasureMemory(path, false, report);
    MeasureMemory(path, true, report);
    const std::unique_ptr<TableGrid> base = Load(path);
    AddKeys(*base, "");
    const std::unique_ptr<TableGrid> edited = Load(path);
    AddKeys(*edited, "");
    EditOnePercent(*edited);
    const std::unique_ptr<TableGrid> rekeyed = Load(path);
    AddKeys(*rekeyed, "k");
    const int32_t rows = base->RowCount();
    const std::unique_ptr<TableGrid> equalA = EqualRows(rows);
    const std::unique_ptr<TableGrid> equalB = EqualRows(rows - rows / 100);
    const TableGrid empty(GridShape{kKeyColumn + 1, 1, 1, 1, 64, 24});
    const Case cases[] = {
        {"compare by position, 1% of rows edited", base.get(), edited.get(), {}, 3.0, 2000.0},
        {"compare by a key column, 1% of rows edited",
         base.get(),
         edited.get(),
         {kKeyColumn},
         3.0,
         1000.0},
        {"compare identical tables", base.get(), base.get(), {}, 1.5, std::nullopt},
        {"compare, every row changed", base.get(), rekeyed.get(), {}, 2.0, std::nullopt},
        {"compare, all rows equal", equalA.get(), equalB.get(), {}, 2.0, std::nullopt},
        {"compare with an empty table", base.get(), &empty, {}, 2.0, std::nullopt},
    };
    for (const Case& c : cases) {
        Measure(c, 5, report);
    }
}

}  // namespace qv::bench
