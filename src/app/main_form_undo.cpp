// Undo and redo of the main table, the modified mark, and the question before unsaved changes
// are dropped.
//
// Commands record what they change as they run (main_form_editing.cpp); the user's changes made
// in the grid view reach the history through the grid's notifications: typing in a cell between
// the editor's opening and closing, dragging rows and columns, and resizing them.
#include <memory>

#include "app/main_form.h"
#include "app/main_form_change_scope.h"
#include "platform/cp932.h"

namespace qv {

namespace {

std::string SaveQuestion(const std::string& title) {
    if (title.empty()) {
        return "表の変更を保存しますか？";
    }
    return "表「 " + Cp932ToUtf8(title) + " 」の変更を保存しますか？";
}

}  // namespace

// --- Undo and redo ---

bool MainForm::HasTyped() const {
    return cellEdit_ && cellEdit_->before != cellEdit_->after;
}

void MainForm::Undo() {
    ChangeScope scope(*this);
    const std::string title = title_;
    EditTarget target = Target();
    history_.Undo(target);
    titleTyping_ = false;
    dropConfirmed_ = false;
    if (title_ != title) {
        windows_.TitleChanged();
    }
}

void MainForm::Redo() {
    ChangeScope scope(*this);
    const std::string title = title_;
    EditTarget target = Target();
    history_.Redo(target);
    titleTyping_ = false;
    dropConfirmed_ = false;
    if (title_ != title) {
        windows_.TitleChanged();
    }
}

bool MainForm::CanUndo() const {
    return history_.CanUndo() || HasTyped();
}

bool MainForm::CanRedo() const {
    return history_.CanRedo() && !HasTyped();  // typing on drops what could be redone
}

bool MainForm::IsModified() const {
    return !history_.AtSavedState() || HasTyped();
}

void MainForm::Record(std::unique_ptr<TableChange> change) {
    history_.Push(std::move(change));
    titleTyping_ = false;
    dropConfirmed_ = false;
}

void MainForm::EditStateChanged() {
    windows_.EditStateChanged();
}

// --- Typing ---

void MainForm::BeginCellEdit() {
    FlushCellEdit();
    const std::string text = grid_.CellText(grid_.Col(), grid_.Row());
    cellEdit_ = CellEdit{grid_.Current(), text, text};
}

void MainForm::EndCellEdit() {
    if (!changing_) {
        FlushCellEdit();
        EditStateChanged();
    }
    cellEdit_.reset();
}

void MainForm::FlushCellEdit() {
    if (!HasTyped()) {
        return;
    }
    CellEdit& edit = *cellEdit_;
    std::vector<CellTextsChange::Cell> cells{
        {edit.cell.col, edit.cell.row, edit.before, edit.after}};
    Record(std::make_unique<CellTextsChange>(std::move(cells), edit.cell));
    edit.before = edit.after;
}

// The editor, still open after a change, goes on from what the current cell holds now.
void MainForm::ReopenCellEdit() {
    if (cellEdit_) {
        cellEdit_->cell = grid_.Current();
        cellEdit_->before = cellEdit_->after = grid_.CellText(grid_.Col(), grid_.Row());
    }
}

void MainForm::SetEditTitle(std::string title) {
    ChangeScope scope(*this);
    if (title == title_) {
        return;
    }
    auto* typing = titleTyping_ ? dynamic_cast<TitleChange*>(history_.Extendable()) : nullptr;
    if (typing != nullptr) {
        typing->Extend(title);
        history_.Extended();
        dropConfirmed_ = false;
    } else {
        Record(std::make_unique<TitleChange>(title_, title, grid_.Current()));
        titleTyping_ = true;
    }
    title_ = std::move(title);
}

// --- Changes made in the grid view ---

void MainForm::CellChanged(int32_t col, int32_t row) {
    if (changing_ || !cellEdit_ || GridCell{col, row} != cellEdit_->cell) {
        return;
    }
    cellEdit_->after = grid_.CellText(col, row);
    titleTyping_ = false;
    dropConfirmed_ = false;
    EditStateChanged();
}

void MainForm::RowMoved(int32_t from, int32_t to) {
    if (changing_) {
        return;  // undone or made again: the step puts the labels back itself
    }
    ChangeScope scope(*this);
    CellColumn labelsBefore = grid_.CopyColumn(0);
    labelsBefore.Move(to, from);
    StringGridRowMoved(from, to);
    Record(std::make_unique<RowMoveChange>(from, to, grid_.Current(), std::move(labelsBefore),
                                           grid_.CopyColumn(0)));
}

void MainForm::ColumnMoved(int32_t from, int32_t to) {
    if (!changing_) {
        ChangeScope scope(*this);
        Record(std::make_unique<ColumnMoveChange>(from, to, grid_.Current()));
    }
}

void MainForm::SizeChanged(Axis axis, int32_t index, int32_t previous) {
    if (!changing_) {
        ChangeScope scope(*this);
        const int32_t size = axis == Axis::Columns ? grid_.ColWidth(index) : grid_.RowHeight(index);
        Record(std::make_unique<SizeChange>(axis, index, previous, size, grid_.Current()));
    }
}

// --- Asking before changes are dropped ---

bool MainForm::AskToSave(AskReason reason) {
    if (!IsModified() || (reason == AskReason::Closing && dropConfirmed_)) {
        return true;
    }
    switch (windows_.ShowMessage(SaveQuestion(title_), MessageKind::Confirmation,
                                 MessageButton::Yes | MessageButton::No | MessageButton::Cancel)) {
        case MessageButton::Yes:
            SaveFile();
            return !IsModified();  // the save dialog may have been cancelled
        case MessageButton::No:
            dropConfirmed_ = reason == AskReason::Closing;
            DropRecoveryCopy();  // the user gave the edits up
            return true;
        default:
            return false;
    }
}

bool MainForm::AskBeforeReplacingTable() {
    return AskToSave(AskReason::Replacing);
}

bool MainForm::AskBeforeClosing() {
    return AskToSave(AskReason::Closing);
}

}  // namespace qv
