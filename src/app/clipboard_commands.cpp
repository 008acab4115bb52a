// The clipboard commands of the main window and the emptying of the selected cells: copying the
// selection as the spreadsheets' tab-separated text, pasting such text as a block, cutting.
//
// A paste, a cut or a clear is one step of the undo history however many cells it writes
// (edit/block_changes.h).
#include <algorithm>
#include <memory>

#include "app/clipboard_commands.h"
#include "edit/block_changes.h"
#include "edit/bulk_changes.h"
#include "interchange/clipboard_text.h"
#include "platform/failure.h"
#include "table/cell_handle.h"
#include "table/main_table_shape.h"
#include "view/cell_text_extent.h"

namespace qv {

namespace {

// The selected range: the current cell and the anchor at any two corners.
CellRange SelectedCells(const TableGrid& grid) {
    const GridCell a = grid.Current();
    const GridCell b = grid.Anchor();
    return {std::min(a.col, b.col), std::max(a.col, b.col) + 1, std::min(a.row, b.row),
            std::max(a.row, b.row) + 1};
}

std::string CopyNotice(std::size_t invalidCells) {
    return "Shift-JIS として正しくないセル " + std::to_string(invalidCells) +
           " 個を「〓」としてコピーしました";
}

// Names the characters of a refused paste by the table's rows and columns they would reach.
std::string RefusedPasteMessage(const ClipboardColumns& block, GridCell at) {
    std::vector<UnencodableCharacter> listed = block.unencodable;
    for (UnencodableCharacter& character : listed) {
        character.record += at.row - 1;  // the message counts from 1
        character.field += at.col - 1;
    }
    return UnencodableMessage(listed, block.unencodableCount) + "。\n貼り付けは行いませんでした。";
}

// A column a paste adds is as wide as its pasted texts need, at least as wide as the table's
// narrower data column is designed and at most twice its wider one: the table's default width
// (32 pixels, the row labels') would cut nearly every text.
constexpr int32_t kPastedColumnNarrowest = kMainTableColWidths[2];
constexpr int32_t kPastedColumnWidest = 2 * kMainTableColWidths[1];

int32_t PastedColumnWidth(const CellColumn& pasted) {
    int32_t width = kPastedColumnNarrowest;
    pasted.VisitTexts(0, pasted.Length(), [&](int32_t /*row*/, CellHandle h) {
        width = std::max(width, FittingColumnWidth(cell_handle::Text(h), kPastedColumnWidest));
    });
    return width;
}

// The widths of the columns [oldCols, colEnd) that a paste of `block` adds.
std::vector<int32_t> AddedColumnWidths(const ClipboardColumns& block, int32_t oldCols,
                                       int32_t colEnd) {
    std::vector<int32_t> widths(static_cast<std::size_t>(std::max(colEnd - oldCols, 0)),
                                kPastedColumnNarrowest);
    for (const auto& [col, column] : block.columns) {
        if (col >= oldCols && col < colEnd) {
            widths[static_cast<std::size_t>(col - oldCols)] = PastedColumnWidth(column);
        }
    }
    return widths;
}

// The range's cells of the rows a filter shows, row by row as a range of one row each: the
// hidden rows of a selection are neither copied nor written.
ClipboardCopy ShownRowsText(const TableGrid& grid, const ShownRows& shown, CellRange range) {
    ClipboardCopy whole;
    for (const int32_t row : shown.RowsIn(range.rowBegin, range.rowEnd)) {
        ClipboardCopy line =
            BuildClipboardText(grid, CellRange{range.colBegin, range.colEnd, row, row + 1});
        whole.utf8 += line.utf8;
        whole.report.invalidCount += line.report.invalidCount;
    }
    return whole;
}

}  // namespace

void ClipboardCommands::CopySelection() {
    const bool filtered = document_.Shown().Filtered();
    ClipboardCopy copy = filtered ? ShownRowsText(Grid(), document_.Shown(), SelectedCells(Grid()))
                                  : BuildClipboardText(Grid(), SelectedCells(Grid()));
    windows_.SetClipboardText(std::move(copy.utf8));
    if (copy.report.invalidCount > 0) {
        windows_.ShowStatusNote(CopyNotice(copy.report.invalidCount));
    }
}

void ClipboardCommands::CutSelection() {
    CopySelection();
    ClearSelection();
}

void ClipboardCommands::ClearSelection() {
    const CellRange range = SelectedCells(Grid());
    const int32_t colBegin = std::max(range.colBegin, 1);
    if (document_.Shown().Filtered()) {
        CellTextList emptied;
        for (const int32_t row : document_.Shown().RowsIn(range.rowBegin, range.rowEnd)) {
            for (int32_t col = colBegin; col < range.colEnd; ++col) {
                if (!Grid().Cell(col, row).empty()) {
                    emptied.Add({col, row}, "");
                }
            }
        }
        const GridCell anchor = Grid().Anchor();
        const GridCell current = Grid().Current();
        Apply(std::make_unique<CellListChange>(std::move(emptied), current));
        document_.Select(anchor);  // the selection stays, as after a clear of the whole block
        document_.Select(current, TableGrid::Selection::Extend);
        return;
    }
    if (colBegin < range.colEnd) {
        Apply(std::make_unique<ClearBlockChange>(colBegin, range.colEnd, range.rowBegin,
                                                 range.rowEnd));
    }
}

void ClipboardCommands::PasteClipboard() {
    const GridCell at{std::max(Grid().Col(), 1), Grid().Row()};
    ClipboardColumns block = ParseClipboardColumns(windows_.ClipboardText(), at.col);
    if (block.unencodableCount > 0) {
        windows_.ShowMessage(RefusedPasteMessage(block, at), MessageKind::Warning,
                             Buttons(MessageButton::OK));
        return;
    }
    if (block.height == 0 || block.width == 0) {
        return;
    }
    if (document_.Shown().Filtered()) {
        PasteIntoShownRows(at, block);
        return;
    }
    if (at.col + block.width >= kGridCountLimit || at.row + block.height >= kGridCountLimit) {
        throw Failure(kGridTooLargeMessage);  // before anything changed
    }
    const auto colEnd = static_cast<int32_t>(at.col + block.width);
    std::vector<int32_t> widths = AddedColumnWidths(block, Grid().ColCount(), colEnd);
    Apply(std::make_unique<PasteBlockChange>(at, static_cast<int32_t>(block.width),
                                             static_cast<int32_t>(block.height),
                                             std::move(block.columns), std::move(widths)));
}

// Under a filter the block's rows go into the shown rows from the current one on, in order, and
// never into a hidden row; what reaches beyond the last shown row or column is left out (a
// notice says so) rather than added as rows the filter would have to place.
void ClipboardCommands::PasteIntoShownRows(GridCell at, const ClipboardColumns& block) {
    const std::span<const int32_t> rows = document_.Shown().RowsFrom(at.row);
    const auto height = static_cast<int32_t>(std::min<int64_t>(block.height, std::ssize(rows)));
    const auto colEnd =
        static_cast<int32_t>(std::min<int64_t>(at.col + block.width, Grid().ColCount()));
    CellTextList texts;
    for (const auto& [col, column] : block.columns) {
        if (col >= colEnd) {
            continue;
        }
        int32_t k = 0;
        column.Visit(0, height, [&](std::string_view text) {
            const int32_t row = rows[static_cast<std::size_t>(k++)];
            if (Grid().Cell(col, row) != text) {
                texts.Add({col, row}, text);
            }
        });
    }
    for (int32_t col = at.col; col < colEnd; ++col) {  // the block's empty columns empty cells
        const bool inBlock = std::any_of(block.columns.begin(), block.columns.end(),
                                         [col](const auto& c) { return c.first == col; });
        for (int32_t k = 0; k < height && !inBlock; ++k) {
            const int32_t row = rows[static_cast<std::size_t>(k)];
            if (!Grid().Cell(col, row).empty()) {
                texts.Add({col, row}, "");
            }
        }
    }
    Apply(std::make_unique<CellListChange>(std::move(texts), Grid().Current()));
    if (height > 0) {
        document_.Select(GridCell{colEnd - 1, rows[static_cast<std::size_t>(height - 1)]});
        document_.Select(at, TableGrid::Selection::Extend);
    }
    if (height < block.height || colEnd < at.col + block.width) {
        windows_.ShowStatusNote("表示中の行と列に収まらない部分は貼り付けませんでした");
    }
}

}  // namespace qv
