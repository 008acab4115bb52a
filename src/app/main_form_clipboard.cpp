// The clipboard commands of the main window and the emptying of the selected cells: copying the
// selection as the spreadsheets' tab-separated text, pasting such text as a block, cutting.
//
// A paste, a cut or a clear is one step of the undo history however many cells it writes: the
// cells go in and out of the grid as whole blocks of stored texts (TableGrid::ExchangeBlock), so
// that neither the command nor its undo copies a text per cell. Rows and columns a paste adds
// come up empty but for what was pasted: texts stored beyond the old counts (a deleted row's
// leftovers) are taken into the step rather than shown.
#include <algorithm>
#include <memory>

#include "app/main_form.h"
#include "app/main_form_change_scope.h"
#include "platform/failure.h"
#include "table/cell_handle.h"
#include "table/clipboard_text.h"
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

// Columns [oldCols, ColCount()) were added for `block`: they take the widths its texts need, set
// at once rather than one by one, which would lay the grid out anew for each column.
void WidenAddedColumns(TableGrid& grid, int32_t oldCols, const ClipboardColumns& block) {
    SizeList widths = grid.ColWidths();
    for (int32_t col = oldCols; col < grid.ColCount(); ++col) {
        widths.Set(col, kPastedColumnNarrowest);
    }
    for (const auto& [col, column] : block.columns) {
        if (col >= oldCols && col < grid.ColCount()) {
            widths.Set(col, PastedColumnWidth(column));
        }
    }
    grid.SetSizes(widths, grid.RowHeights());
}

}  // namespace

void MainForm::CopySelection() {
    ClipboardCopy copy = BuildClipboardText(grid_, SelectedCells(grid_));
    windows_.SetClipboardText(std::move(copy.utf8));
    if (copy.report.invalidCount > 0) {
        windows_.ShowStatusNote(CopyNotice(copy.report.invalidCount));
    }
}

void MainForm::CutSelection() {
    CopySelection();
    ClearSelection();
}

void MainForm::ClearSelection() {
    CellRange range = SelectedCells(grid_);
    range.colBegin = std::max(range.colBegin, 1);
    if (range.colBegin >= range.colEnd) {
        return;
    }
    ChangeScope scope(*this);
    auto change = std::make_unique<ShapeChange>(GridFrame::Of(Target()));
    TableGrid::CellBlock block{range.colBegin, range.colEnd, range.rowBegin, range.rowEnd, {}};
    grid_.ExchangeBlock(block);
    if (block.columns.empty()) {
        return;  // the cells were empty already: nothing to undo
    }
    change->AddBlock(std::move(block));
    change->SetAfter(GridFrame::Of(Target()));
    change->CountBytes();
    Record(std::move(change));
}

void MainForm::PasteClipboard() {
    const GridCell at{std::max(grid_.Col(), 1), grid_.Row()};
    ClipboardColumns block = ParseClipboardColumns(windows_.ClipboardText(), at.col);
    if (block.unencodableCount > 0) {
        windows_.ShowMessage(RefusedPasteMessage(block, at), MessageKind::Warning,
                             Buttons(MessageButton::OK));
        return;
    }
    if (block.height == 0 || block.width == 0) {
        return;
    }
    if (at.col + block.width >= kGridCountLimit || at.row + block.height >= kGridCountLimit) {
        throw Failure(kGridTooLargeMessage);  // before anything changed
    }
    const auto colEnd = static_cast<int32_t>(at.col + block.width);
    const auto rowEnd = static_cast<int32_t>(at.row + block.height);
    ChangeScope scope(*this);
    auto change = std::make_unique<ShapeChange>(GridFrame::Of(Target()));
    const int32_t oldCols = grid_.ColCount();
    const int32_t oldRows = grid_.RowCount();
    const int32_t newCols = std::max(oldCols, colEnd);
    const int32_t newRows = std::max(oldRows, rowEnd);
    const auto empty = [&](TableGrid::CellBlock fresh) {
        grid_.ExchangeBlock(fresh);
        change->AddBlock(std::move(fresh));
    };
    if (newCols > oldCols) {
        const int32_t lastWidth = grid_.ColWidth(oldCols - 1);
        grid_.SetColCount(newCols);
        // Growing gave the former last column the default width; it gets its own back.
        grid_.SetColWidth(oldCols - 1, lastWidth);
        WidenAddedColumns(grid_, oldCols, block);
        empty({oldCols, newCols, 0, newRows, {}});
    }
    if (newRows > oldRows) {
        grid_.SetRowCount(newRows);
        empty({1, oldCols, oldRows, newRows, {}});
        CellColumn labels = grid_.CopyColumn(0);
        RenumberRows();
        change->SetLabels(std::move(labels), grid_.CopyColumn(0));
    }
    TableGrid::CellBlock pasted{at.col, colEnd, at.row, rowEnd, std::move(block.columns)};
    grid_.ExchangeBlock(pasted);
    change->AddBlock(std::move(pasted));
    grid_.SetCurrentCell(GridCell{colEnd - 1, rowEnd - 1});
    grid_.SetCurrentCell(at, TableGrid::Selection::Extend);
    change->SetAfter(GridFrame::Of(Target()));
    change->CountBytes();
    Record(std::move(change));
}

}  // namespace qv
