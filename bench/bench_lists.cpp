#define PCRE2_CODE_UNIT_WIDTH 8
#include "bench_lists.h"

#include <pcre2.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "app/main_form.h"
#include "edit/block_changes.h"
#include "edit/bulk_changes.h"
#include "edit/column_span_changes.h"
#include "edit/row_removal_change.h"
#include "edit/step_sequence.h"
#include "platform/cp932.h"
#include "tools/cell_pattern.h"
#include "tools/duplicate_rows.h"
#include "tools/fill_cells.h"
#include "tools/split_join.h"
#include "view/fit_widths.h"

namespace qv::bench {

namespace {

constexpr int32_t kColumns = 8;
constexpr int32_t kSplitColumn = 4;  // yen amounts: "\1,200" splits at its comma
constexpr const char* kPattern = "[0-9]{2}/[0-9]{2}$";

std::vector<std::string_view> Texts(const TableGrid& grid, int32_t colBegin, int32_t colEnd) {
    std::vector<std::string_view> texts;
    for (int32_t col = colBegin; col < colEnd; ++col) {
        grid.VisitColumn(col, 1, grid.RowCount(), [&](std::string_view t) { texts.push_back(t); });
    }
    return texts;
}

Figure Line(const std::string& what, const ListFigures& f, double ms, const char* floorName,
            double floorMs, std::optional<double> maxRatio, std::optional<double> maxMs) {
    Figure line;
    line.what = what;
    line.size = WithCommas(f.rows) + " x 8";
    line.value = Ms(ms);
    line.floorName = floorName;
    line.floorValue = Ms(floorMs);
    line.ratio = ms / floorMs;
    line.maxRatio = f.rows == 1'000'000 ? maxRatio : std::nullopt;
    line.ms = ms;
    line.maxMs = f.rows == 1'000'000 ? maxMs : std::nullopt;
    return line;
}

void MeasureFill(MainForm& form, const std::vector<int32_t>& rows, int runs, ListFigures& f) {
    TableGrid& grid = form.Document().UnrecordedTable();
    f.fillMs = f.fillUndoMs = 1e300;
    grid.SetCurrentCell(GridCell{2, f.rows});
    grid.SetCurrentCell(GridCell{1, 1}, TableGrid::Selection::Extend);
    for (int i = 0; i < runs; ++i) {
        f.fillMs = std::min(f.fillMs, BestOf(1, [&] { form.Lists().FillDown(); }));
        f.fillUndoMs = std::min(f.fillUndoMs, BestOf(1, [&] { form.Undo(); }));
    }
    std::vector<std::string> strings(rows.size() * 2);
    f.fillFloorMs = BestOf(runs, [&] {
        for (int32_t col = 1; col <= 2; ++col) {
            const std::string_view top = grid.Cell(col, 1);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                strings[(static_cast<std::size_t>(col) - 1) * rows.size() + i].assign(top);
            }
        }
    });
}

void MeasureDedupe(MainForm& form, const std::vector<int32_t>& rows, int runs, ListFigures& f) {
    const TableGrid& grid = form.Table();
    const std::vector<int32_t> keys{1, 2};
    f.dedupeMs = BestOf(
        runs, [&] { form.Undo(); },
        [&] {
            const std::vector<int32_t> removed =
                DuplicateRows(grid, keys, rows, KeyComparison::Exact);
            form.Document().Apply(std::make_unique<RowsRemovedChange>(
                OrderMovingRowsToEnd(grid.RowCount(), removed).sources,
                grid.RowCount() - static_cast<int32_t>(removed.size()), grid.ColCount(),
                grid.Current()));
        });
    form.Undo();
    const std::vector<std::string_view> first = Texts(grid, 1, 2), second = Texts(grid, 2, 3);
    f.dedupeFloorMs = BestOf(runs, [&] {
        std::unordered_set<std::string> seen;
        std::string key;
        for (std::size_t i = 0; i < first.size(); ++i) {
            key.assign(first[i]).append("\t").append(second[i]);
            seen.insert(key);
        }
    });
}

void MeasureSplit(MainForm& form, const std::vector<int32_t>& rows, int runs, ListFigures& f) {
    const TableGrid& grid = form.Table();
    f.splitMs = BestOf(
        runs, [&] { form.Undo(); },
        [&] {
            SplitColumns split =
                SplitColumn(grid, kSplitColumn, rows, ",", SplitAt::EverySeparator);
            std::vector<std::unique_ptr<TableChange>> steps;
            steps.push_back(
                std::make_unique<ColumnsInsertChange>(kSplitColumn + 1, split.count, 64));
            steps.push_back(
                std::make_unique<BlockWriteChange>(std::move(split.block), GridCursor::Of(grid)));
            form.Document().Apply(std::make_unique<StepSequence>(std::move(steps)));
        });
    form.Undo();
    const std::vector<std::string_view> texts = Texts(grid, kSplitColumn, kSplitColumn + 1);
    f.splitFloorMs = BestOf(runs, [&] {
        std::vector<std::string> pieces;
        for (const std::string_view text : texts) {
            const std::size_t comma = text.find(',');
            pieces.emplace_back(text.substr(0, comma));
            if (comma != std::string_view::npos) {
                pieces.emplace_back(text.substr(comma + 1));
            }
        }
    });
}

void MeasureFitAndRegex(MainForm& form, int runs, ListFigures& f) {
    const TableGrid& grid = form.Table();
    std::vector<int32_t> cols(kColumns);
    std::iota(cols.begin(), cols.end(), 1);
    f.fitMs = BestOf(runs, [&] { FittedWidths(grid, cols); });
    const std::vector<std::string_view> texts = Texts(grid, 1, kColumns + 1);
    f.fitFloorMs = BestOf(runs, [&] {
        std::size_t longest = 0;
        for (const std::string_view text : texts) {
            longest = std::max(longest, text.size());
        }
        std::fprintf(stderr, "%s", longest == 0 ? "warning: no text\n" : "");
    });
    const std::optional<CellPattern> pattern =
        CellPattern::FromUtf8(kPattern, {PatternSyntax::Regex});
    int64_t count = 0;
    f.regexMs =
        BestOf(runs, [&] { count = CountMatchingCellsIn(grid, *pattern, WholeTableArea(grid)); });
    std::vector<std::string> utf8;
    for (const std::string_view text : texts) {
        utf8.push_back(Cp932ToUtf8(text));
    }
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kPattern), PCRE2_ZERO_TERMINATED,
                                     PCRE2_UTF | PCRE2_UCP, &error, &offset, nullptr);
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    pcre2_match_data* match = pcre2_match_data_create_from_pattern(code, nullptr);
    int64_t bare = 0;
    f.regexFloorMs = BestOf(runs, [&] {
        bare = 0;
        for (const std::string& text : utf8) {
            bare += pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0,
                                match, nullptr) >= 0;
        }
    });
    pcre2_match_data_free(match);
    pcre2_code_free(code);
    if (bare != count) {
        std::fprintf(stderr, "warning: the regex count and PCRE2's disagree\n");
    }
}

}  // namespace

ListFigures MeasureLists(MainForm& form, int runs) {
    ListFigures f;
    f.rows = form.Table().RowCount() - 1;
    std::vector<int32_t> rows(static_cast<std::size_t>(f.rows));
    std::iota(rows.begin(), rows.end(), 1);
    MeasureFill(form, rows, runs, f);
    MeasureDedupe(form, rows, runs, f);
    MeasureSplit(form, rows, runs, f);
    MeasureFitAndRegex(form, runs, f);
    return f;
}

void ReportWholeColumnFill(MainForm& form, Report& report) {
    TableGrid& grid = form.Document().UnrecordedTable();
    const int32_t rows = grid.RowCount() - 1;
    grid.SetCurrentCell(GridCell{1, rows});
    grid.SetCurrentCell(GridCell{1, 1}, TableGrid::Selection::Extend);
    const double fillMs = BestOf(1, [&] { form.Lists().FillDown(); });
    const double undoMs = BestOf(1, [&] { form.Undo(); });
    const double redoMs = BestOf(1, [&] { form.Redo(); });
    form.Undo();
    double floorMs = 0;
    {
        std::vector<std::string> strings(static_cast<std::size_t>(rows));
        const std::string_view top = grid.Cell(1, 1);
        floorMs = BestOf(1, [&] {
            for (std::string& text : strings) {
                text.assign(top);
            }
        });
    }
    const std::string size = WithCommas(rows) + " cells";
    Figure line;
    line.what = "fill down one whole column";
    line.size = size;
    line.value = Ms(fillMs);
    line.floorName = "the top text assigned to strings";
    line.floorValue = Ms(floorMs);
    line.ratio = fillMs / floorMs;
    report.Add(line);
    line.what = "undo / redo of that fill";
    line.value = Ms(undoMs) + " / " + Ms(redoMs);
    line.ratio.reset();
    line.ms = std::max(undoMs, redoMs);
    line.maxMs = 10.0;
    report.Add(line);
}

void ReportLists(const ListFigures& f, Report& report) {
    report.Add(Line("fill down (2 columns)", f, f.fillMs, "the top texts assigned to strings",
                    f.fillFloorMs, std::nullopt, 200.0));
    report.Add(Line("undo fill down", f, f.fillUndoMs, "the top texts assigned to strings",
                    f.fillFloorMs, std::nullopt, 10.0));
    report.Add(Line("remove duplicates (2 key columns)", f, f.dedupeMs,
                    "unordered_set of the key bytes", f.dedupeFloorMs, 3.0, 1000.0));
    report.Add(Line("split a column in two", f, f.splitMs, "the texts split into strings",
                    f.splitFloorMs, 3.0, 1000.0));
    report.Add(Line("fit widths (8 columns)", f, f.fitMs, "the longest text of each column",
                    f.fitFloorMs, std::nullopt, 300.0));
    report.Add(Line("regex count, every cell", f, f.regexMs, "PCRE2's loop over UTF-8 texts",
                    f.regexFloorMs, 3.0, std::nullopt));
}

}  // namespace qv::bench
