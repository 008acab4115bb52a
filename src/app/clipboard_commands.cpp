// The clipboard commands of the main window and the emptying of the selected cells: copying the
// selection as the spreadsheets' tab-separated text, pasting such text as a block, cutting.
//
// A paste, a cut or a clear is one step of the undo history however many cells it writes
// (edit/block_changes.h).
#include <algorithm>
#include <memory>

#include "app/clipboard_commands.h"
#include "edit/block_changes.h"
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

}  // namespace

void ClipboardCommands::CopySelection() {
    ClipboardCopy copy = BuildClipboardText(Grid(), SelectedCells(Grid()));
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
    if (at.col + block.width >= kGridCountLimit || at.row + block.height >= kGridCountLimit) {
        throw Failure(kGridTooLargeMessage);  // before anything changed
    }
    const auto colEnd = static_cast<int32_t>(at.col + block.width);
    std::vector<int32_t> widths = AddedColumnWidths(block, Grid().ColCount(), colEnd);
    Apply(std::make_unique<PasteBlockChange>(at, static_cast<int32_t>(block.width),
                                             static_cast<int32_t>(block.height),
                                             std::move(block.columns), std::move(widths)));
}

}  // namespace qv
