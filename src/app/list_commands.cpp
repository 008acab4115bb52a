// The list tools of the data menu and the edit menu's fill. The rules live in src/tools (fill
// and duplicate rows); here the selection becomes a list of rows and the result one step.
#include "app/list_commands.h"

#include "app/command_progress.h"

#include <algorithm>
#include <memory>
#include <numeric>

#include "edit/block_changes.h"
#include "edit/bulk_changes.h"
#include "edit/column_span_changes.h"
#include "edit/column_widths_change.h"
#include "edit/row_removal_change.h"
#include "edit/step_sequence.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "tools/duplicate_rows.h"
#include "tools/fill_cells.h"
#include "view/fit_widths.h"

namespace qv {

namespace {

// The numbers [begin, end): rows or columns.
std::vector<int32_t> RowRange(int32_t begin, int32_t end) {
    std::vector<int32_t> rows(static_cast<std::size_t>(std::max(end - begin, 0)));
    std::iota(rows.begin(), rows.end(), begin);
    return rows;
}

}  // namespace

std::string RemovedRowsMessage(std::size_t rows) {
    if (rows == 0) {
        return "重複行はありませんでした。";
    }
    return std::to_string(rows) + " 行を削除しました。";
}

std::vector<int32_t> SelectedRows(const TableGrid& grid, const ShownRows& shown) {
    const GridCell a = grid.Current();
    const GridCell b = grid.Anchor();
    const int32_t begin = std::max(std::min(a.row, b.row), 1);
    const int32_t end = std::max(a.row, b.row) + 1;
    if (shown.Filtered()) {
        const std::span<const int32_t> rows = shown.RowsIn(begin, end);
        return {rows.begin(), rows.end()};
    }
    return RowRange(begin, end);
}

RowSpan SelectedCells(const TableGrid& grid, const std::vector<int32_t>& rows) {
    const GridCell a = grid.Current();
    const GridCell b = grid.Anchor();
    return RowSpan{std::min(a.col, b.col), std::max(a.col, b.col) + 1, rows};
}

std::unique_ptr<TableChange> FillChange(const TableGrid& grid, const RowSpan& cells,
                                        std::optional<std::string_view> text,
                                        const WorkProgress& progress) {
    const std::span<const int32_t> rows = cells.rows;
    const GridCursor cursor = GridCursor::Of(grid);
    if (rows.back() - rows.front() + 1 == static_cast<int32_t>(rows.size())) {
        return std::make_unique<BlockWriteChange>(
            text ? FillBlockWithText(cells.colBegin, cells.colEnd, rows.front(), rows.back() + 1,
                                     *text, progress)
                 : FillDownBlock(grid, cells.colBegin, cells.colEnd, rows.front(), rows.back() + 1,
                                 progress),
            cursor);
    }
    return std::make_unique<CellListChange>(
        text ? FillWithText(grid, cells, *text, progress) : FillDownTexts(grid, cells, progress),
        cursor);
}

std::vector<int32_t> ListCommands::DataRows(Rows rows) const {
    if (rows == Rows::ShownOnly && document_.Shown().Filtered()) {
        const std::span<const int32_t> shown = document_.Shown().RowsIn(1, Grid().RowCount());
        return {shown.begin(), shown.end()};
    }
    return RowRange(1, Grid().RowCount());
}

void ListCommands::FillDown() {
    const std::vector<int32_t> rows = SelectedRows(Grid(), document_.Shown());
    if (rows.size() < 2) {
        return;
    }
    std::optional<std::unique_ptr<TableChange>> fill = ComputeWithProgress(
        windows_, "下方向へコピーしています", [&](const WorkProgress& progress) {
            return FillChange(Grid(), SelectedCells(Grid(), rows), std::nullopt, progress);
        });
    if (fill) {
        Apply(std::move(*fill));
    }
}

void ListCommands::RemoveDuplicateRows() {
    std::vector<std::string> itemNames;
    for (int32_t col = 1; col < Grid().ColCount(); ++col) {
        itemNames.push_back(Cp932ToUtf8(Grid().Cell(col, 0)));
    }
    const std::optional<DuplicateRowsChoice> choice = windows_.RunDuplicateRowsDialog(itemNames);
    if (!choice) {
        return;
    }
    const std::vector<int32_t> rows = DataRows(Rows::ShownOnly);
    const std::optional<std::vector<int32_t>> found =
        ComputeWithProgress(windows_, "重複行を調べています", [&](const WorkProgress& progress) {
            return DuplicateRows(Grid(), choice->keyCols, rows, choice->comparison, progress);
        });
    if (!found) {
        return;
    }
    const std::vector<int32_t>& removed = *found;
    if (!removed.empty()) {
        const int32_t kept = Grid().RowCount() - static_cast<int32_t>(removed.size());
        Apply(std::make_unique<RowsRemovedChange>(
            OrderMovingRowsToEnd(Grid().RowCount(), removed).sources, kept, Grid().ColCount(),
            Grid().Current()));
    }
    windows_.ShowMessage(RemovedRowsMessage(removed.size()), MessageKind::Information,
                         Buttons(MessageButton::OK));
}

namespace {

std::string SeparatorBytes(const SeparatorChoice& choice) {
    std::optional<std::string> bytes = Utf8ToCp932(choice.separator);
    if (!bytes) {
        throw Failure("区切り文字に Shift-JIS で表せない文字があります");
    }
    return std::move(*bytes);
}

std::vector<std::vector<std::string>> PreviewRows(const TableGrid& grid, int32_t colBegin,
                                                  int32_t colEnd) {
    std::vector<std::vector<std::string>> rows;
    for (int32_t row = 1; row < std::min(grid.RowCount(), 1 + kSeparatorPreviewRows); ++row) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (int32_t col = colBegin; col < colEnd; ++col) {
            cells.emplace_back(grid.Cell(col, row));
        }
    }
    return rows;
}

}  // namespace

void ListCommands::SplitColumn() {
    const int32_t col = Grid().Col();
    if (col < 1) {
        return;
    }
    const std::optional<SeparatorChoice> choice =
        windows_.RunSeparatorDialog({SeparatorUse::Split, PreviewRows(Grid(), col, col + 1)});
    if (!choice) {
        return;
    }
    const std::vector<int32_t> rows = DataRows();
    const std::string separator = SeparatorBytes(*choice);
    std::optional<SplitColumns> pieces =
        ComputeWithProgress(windows_, "列を分割しています", [&](const WorkProgress& progress) {
            return qv::SplitColumn(Grid(), col, rows, separator, choice->at, progress);
        });
    if (!pieces) {
        return;
    }
    SplitColumns& split = *pieces;
    if (split.count == 0) {
        windows_.ShowMessage(
            "区切り文字「" + choice->separator + "」を含むセルはありませんでした。",
            MessageKind::Information, Buttons(MessageButton::OK));
        return;
    }
    if (split.count > kManySplitColumns &&
        windows_.ShowMessage(std::to_string(split.count) + " 列に分かれます。続けますか?",
                             MessageKind::Confirmation,
                             MessageButton::Yes | MessageButton::No) != MessageButton::Yes) {
        return;
    }
    if (int64_t{Grid().ColCount()} + split.count >= kGridCountLimit) {
        throw Failure(kGridTooLargeMessage);
    }
    std::vector<std::unique_ptr<TableChange>> steps;
    steps.push_back(
        std::make_unique<ColumnsInsertChange>(col + 1, split.count, Grid().ColWidth(col)));
    steps.push_back(
        std::make_unique<BlockWriteChange>(std::move(split.block), GridCursor::Of(Grid())));
    Apply(std::make_unique<StepSequence>(std::move(steps)));
}

void ListCommands::JoinColumns() {
    const GridCell a = Grid().Current();
    const GridCell b = Grid().Anchor();
    const int32_t first = std::max(std::min(a.col, b.col), 1);
    const int32_t last = std::max(a.col, b.col);
    if (last <= first) {
        windows_.ShowMessage("結合する列を 2 列以上選んでください。", MessageKind::Information,
                             Buttons(MessageButton::OK));
        return;
    }
    const std::optional<SeparatorChoice> choice =
        windows_.RunSeparatorDialog({SeparatorUse::Join, PreviewRows(Grid(), first, last + 1)});
    if (!choice) {
        return;
    }
    const GridCell where{first, Grid().Row()};
    const std::vector<int32_t> rows = DataRows();
    const std::string separator = SeparatorBytes(*choice);
    std::optional<CellTextList> joined =
        ComputeWithProgress(windows_, "列を結合しています", [&](const WorkProgress& progress) {
            return JoinedTexts(Grid(), first, last + 1, rows, separator, progress);
        });
    if (!joined) {
        return;
    }
    std::vector<std::unique_ptr<TableChange>> steps;
    steps.push_back(std::make_unique<CellListChange>(std::move(*joined), where));
    steps.push_back(std::make_unique<ColumnsRemoveChange>(first + 1, last - first));
    Apply(std::make_unique<StepSequence>(std::move(steps)));
}

void ListCommands::FitColumnWidths() {
    const GridCell a = Grid().Current();
    const GridCell b = Grid().Anchor();
    std::vector<int32_t> cols =
        a == b ? RowRange(1, Grid().ColCount())
               : RowRange(std::max(std::min(a.col, b.col), 1), std::max(a.col, b.col) + 1);
    Apply(std::make_unique<ColumnWidthsChange>(FittedWidths(Grid(), cols), Grid().Current()));
}

}  // namespace qv
