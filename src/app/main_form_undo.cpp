// Undo and redo of the main table, the modified mark, and the question before unsaved changes
// are dropped.
//
// Every change, whether a command, typing or a drag in the grid view (app/table_input.h), is a
// step applied to the document, which keeps it in its history.
#include <memory>

#include "app/main_form.h"
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

// --- Changes, undo and redo ---

void MainForm::Apply(std::unique_ptr<TableChange> change) {
    const std::string title = EditTitle();
    document_.Apply(std::move(change));
    if (EditTitle() != title) {
        windows_.TitleChanged();
    }
    EditStateChanged();
}

void MainForm::Undo() {
    const std::string title = EditTitle();
    document_.Undo();
    if (EditTitle() != title) {
        windows_.TitleChanged();
    }
    EditStateChanged();
}

void MainForm::Redo() {
    const std::string title = EditTitle();
    document_.Redo();
    if (EditTitle() != title) {
        windows_.TitleChanged();
    }
    EditStateChanged();
}

void MainForm::EditStateChanged() {
    windows_.EditStateChanged();
}

void MainForm::ReplaceTable(TableFileContent content) {
    document_.Replace([&content](TableGrid& grid, std::string& title) {
        ApplyTableFile(std::move(content), grid, title);
    });
    windows_.TitleChanged();
}

void MainForm::SetEditTitle(std::string title) {
    if (title == EditTitle()) {
        return;
    }
    document_.Apply(std::make_unique<TitleChange>(EditTitle(), std::move(title), Grid().Current()),
                    TableDocument::Joining::Typing);
    EditStateChanged();
}

// --- Asking before changes are dropped ---

bool MainForm::AskToSave(AskReason reason) {
    if (!IsModified() ||
        (reason == AskReason::Closing && dropConfirmedAt_ == document_.ChangeCount())) {
        return true;
    }
    switch (windows_.ShowMessage(SaveQuestion(EditTitle()), MessageKind::Confirmation,
                                 MessageButton::Yes | MessageButton::No | MessageButton::Cancel)) {
        case MessageButton::Yes:
            SaveFile();
            return !IsModified();  // the save dialog may have been cancelled
        case MessageButton::No:
            if (reason == AskReason::Closing) {
                dropConfirmedAt_ = document_.ChangeCount();
            } else {
                dropConfirmedAt_.reset();
            }
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
