#include "bench_clipboard.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_form.h"
#include "platform/cp932.h"

namespace qv::bench {

namespace {

constexpr int32_t kColumns = 8;
constexpr double kGoalMs = 1000.0;

// The least a copy must do: every cell's bytes into one text with its tabs and line ends, then
// one conversion to UTF-8.
std::string JoinFloor(const TableGrid& grid, int32_t rows) {
    std::string cp932;
    for (int32_t row = 1; row <= rows; ++row) {
        for (int32_t col = 1; col <= kColumns; ++col) {
            cp932 += grid.Cell(col, row);
            cp932 += col == kColumns ? "\r\n" : "\t";
        }
    }
    return Cp932ToUtf8(cp932);
}

// The least a paste must do: one conversion to CP932, then every field found with memchr and
// copied into a string of its own.
std::size_t SplitFloor(const std::string& utf8, std::vector<std::string>& fields) {
    const std::string cp932 = Utf8ToCp932(utf8).value_or(std::string());
    fields.clear();
    const char* at = cp932.data();
    const char* const end = at + cp932.size();
    while (at < end) {
        const char* tab =
            static_cast<const char*>(std::memchr(at, '\t', static_cast<std::size_t>(end - at)));
        const char* line =
            static_cast<const char*>(std::memchr(at, '\r', static_cast<std::size_t>(end - at)));
        const char* stop = std::min(tab != nullptr ? tab : end, line != nullptr ? line : end);
        fields.emplace_back(at, stop);
        at = stop + (stop == line ? 2 : 1);
    }
    return fields.size();
}

Figure Line(const char* what, const ClipboardFigures& f, double ms, const char* floorName,
            double floorMs) {
    Figure line;
    line.what = what;
    line.size = WithCommas(f.rows) + " x 8 selected";
    line.value = Ms(ms);
    line.floorName = floorName;
    line.floorValue = Ms(floorMs);
    line.ratio = ms / floorMs;
    line.ms = ms;
    line.maxMs = kGoalMs;
    return line;
}

}  // namespace

ClipboardFigures MeasureClipboard(MainForm& form, int32_t rows, int runs) {
    TableGrid& grid = form.Document().UnrecordedTable();
    ClipboardFigures f;
    f.rows = std::min(rows, grid.RowCount() - 1);
    grid.SetCurrentCell(GridCell{kColumns, f.rows});
    grid.SetCurrentCell(GridCell{1, 1}, TableGrid::Selection::Extend);
    f.copyMs = BestOf(runs, [&] { form.Clipboard().CopySelection(); });
    std::string copied;
    f.joinFloorMs = BestOf(runs, [&] { copied = JoinFloor(grid, f.rows); });
    f.pasteMs = f.undoPasteMs = 1e300;
    for (int i = 0; i < runs; ++i) {
        f.pasteMs = std::min(f.pasteMs, BestOf(1, [&] { form.Clipboard().PasteClipboard(); }));
        f.undoPasteMs = std::min(f.undoPasteMs, BestOf(1, [&] { form.Undo(); }));
    }
    std::vector<std::string> fields;
    std::size_t split = 0;
    f.splitFloorMs = BestOf(runs, [&] { split = SplitFloor(copied, fields); });
    if (split != static_cast<std::size_t>(f.rows) * kColumns) {
        std::fprintf(stderr, "warning: the paste's floor split %zu fields\n", split);
    }
    return f;
}

void ReportClipboard(const ClipboardFigures& f, Report& report) {
    report.Add(Line("copy (Ctrl+C)", f, f.copyMs, "join cells, convert to UTF-8", f.joinFloorMs));
    Figure paste = Line("paste (Ctrl+V) back", f, f.pasteMs,
                        "convert to CP932, split (memchr) into strings", f.splitFloorMs);
    paste.value += ", undo " + Ms(f.undoPasteMs);
    report.Add(paste);
}

}  // namespace qv::bench
