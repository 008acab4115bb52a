// The clipboard commands of the main window and the emptying of the selected cells: copying the
// selection as the spreadsheets' tab-separated text, pasting such text as a block, cutting.
//
// A paste, a cut or a clear is one step of the undo history however many cells it writes
// (edit/block_changes.h).
#include <algorithm>
#include <memory>

#include "app/clipboard_commands.h"
#include "edit/block_changes.h"
#include "platform/failure.h"
#include "table/clipboard_text.h"

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
    Apply(std::make_unique<PasteBlockChange>(at, static_cast<int32_t>(block.width),
                                             static_cast<int32_t>(block.height),
                                             std::move(block.columns)));
}

}  // namespace qv
