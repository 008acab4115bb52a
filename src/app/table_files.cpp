#include "app/table_files.h"

#include <memory>
#include <optional>
#include <utility>

#include "app/title_list_form.h"
#include "history/history_file.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "table/main_table_shape.h"
#include "table/table_file_format.h"
#include "table/table_file_reader.h"
#include "table/table_file_writer.h"

namespace qv {

namespace {

// Every save lists its file in the title list, whose file cannot hold such a name.
constexpr const char* kNameNotStorableMessage =
    "ファイル名に改行文字(CR)または Ctrl+Z の文字が含まれているため、この名前では保存できません";

// The titles of the open and save dialogs, which also name the progress of a long load or save.
constexpr const char* kLoadTitle = "データの読み込み";
constexpr const char* kSaveTitle = "データの保存";

FileDialogRequest OpenDialogRequest(const std::string& fileName) {
    FileDialogRequest request;
    request.title = kLoadTitle;
    request.filters = {{"Quorvaneの表データ(*.qvd)", "*.qvd"}, {"すべてのファイル(*.*)", "*.*"}};
    request.fileName = fileName;
    return request;
}

FileDialogRequest SaveDialogRequest(const std::string& fileName) {
    FileDialogRequest request;
    request.title = kSaveTitle;
    request.filters = {{"Quorvaneのデータ(*.qvd)", "*.qvd"}, {"すべてのファイル(*.*)", "*.*"}};
    request.fileName = fileName;
    request.confirmOverwrite = true;
    return request;
}

// Progress reported to the monitor, when the window system gave one.
FileProgress ProgressOf(ProgressMonitor* monitor) {
    if (monitor == nullptr) {
        return {};
    }
    return [monitor](uint64_t done, uint64_t total) { return monitor->Advance(done, total); };
}

// Reads the table file, showing the progress of a long read; the monitor ends with the read,
// before anything else is shown. Raises ReadCancelled when the user cancels.
std::optional<TableFileContent> ReadWithProgress(WindowSystem& windows, const std::string& path) {
    std::unique_ptr<ProgressMonitor> monitor =
        windows.StartProgress(kLoadTitle, ProgressKind::Load);
    return ReadTableFile(path, ProgressOf(monitor.get()));
}

// A path has an extension when a "." stands in its last part (after the last "/"); a name
// ending in "." has the extension ".".
bool HasExtension(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    const std::string::size_type dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

}  // namespace

TableFiles::TableFiles(TableDocument& document, WindowSystem& windows, StoreLocations stores)
    : CommandGroup(document, windows), stores_(std::move(stores)) {}

void TableFiles::Restart() {
    document_.SetFileName("");
    SetLoadRequest(false);
    firstActivate_ = true;
}

void TableFiles::SetLoadRequest(bool request) {
    loadRequest_ = request;
    if (!request) {
        pendingLoadPath_.reset();
    }
}

void TableFiles::RequestLoad(std::string path) {
    pendingLoadPath_ = std::move(path);
    loadRequest_ = true;
}

void TableFiles::ReopenTable(const std::string& path) {
    if (!AskBeforeReplacingTable()) {
        return;
    }
    RequestLoad(path);
    SetSaveDialogFileName(path);
    LoadTableFile();
}

// --- File commands ---

void TableFiles::LoadTableFile() {
    // Reopening from the title list asked before it made its request.
    if (!loadRequest_ && !AskBeforeReplacingTable()) {
        return;
    }
    if (!loadRequest_) {
        std::optional<std::string> chosen =
            windows_.RunOpenDialog(OpenDialogRequest(openDialogFileName_));
        if (chosen) {
            openDialogFileName_ = *chosen;
            RequestLoad(std::move(*chosen));
        }
    }
    if (loadRequest_) {
        // A load that fails in any way leaves the table, the window and CurFileName as they
        // were, and the request is spent whatever happens.
        const std::string path = pendingLoadPath_.value_or(document_.FileName());
        SetLoadRequest(false);
        std::optional<TableFileContent> content;
        try {
            content = ReadWithProgress(windows_, path);
        } catch (const ReadCancelled&) {
            // The user stopped it: as after a cancelled open dialog, nothing changes.
            document_.RenumberRows();
            return;
        }
        if (!content) {
            windows_.ShowMessage(kUnusableFileMessage, MessageKind::Error,
                                 Buttons(MessageButton::OK));
            return;
        }
        windows_.SetMainWindowGeometry(content->window);
        ReplaceTable(std::move(*content));
        document_.SetFileName(path);
        DropRecoveryCopy();
        windows_.EditStateChanged();
    }
    document_.RenumberRows();
}

void TableFiles::ReplaceTable(TableFileContent content) {
    document_.Replace([&content](TableGrid& grid, std::string& title) {
        ApplyTableFile(std::move(content), grid, title);
    });
    windows_.TitleChanged();
}

void TableFiles::SaveFile() {
    if (document_.FileName().empty()) {
        SaveFileAs();
        return;
    }
    WriteTableFile();
}

void TableFiles::SaveFileAs() {
    std::optional<std::string> chosen =
        windows_.RunSaveDialog(SaveDialogRequest(saveDialogFileName_));
    if (!chosen) {
        return;
    }
    saveDialogFileName_ = *chosen;
    std::string path = std::move(*chosen);
    RefuseNameTheHistoryCannotHold(path);
    if (!HasExtension(path)) {
        path += kTableExtension;
        // The dialog asked about the name as typed; the file actually replaced needs its own yes.
        if (IsExistingFile(path) && !ConfirmReplacing(path)) {
            return;
        }
    }
    document_.SetFileName(std::move(path));
    WriteTableFile();
}

void TableFiles::RefuseNameTheHistoryCannotHold(const std::string& path) {
    if (!FitsHistoryFile(path)) {
        throw Failure(kNameNotStorableMessage);
    }
}

bool TableFiles::ConfirmReplacing(const std::string& path) {
    const std::string question = path + " は既に存在します。\n上書きしますか？";
    return windows_.ShowMessage(question, MessageKind::Confirmation,
                                MessageButton::Yes | MessageButton::No) == MessageButton::Yes;
}

void TableFiles::WriteTableFile() {
    RefuseNameTheHistoryCannotHold(document_.FileName());
    MoveToTopOfTitleList();
    windows_.TitleListChanged();
    std::unique_ptr<ProgressMonitor> monitor =
        windows_.StartProgress(kSaveTitle, ProgressKind::Save);
    SaveTableFile(document_.FileName(), Grid(), document_.Title(), windows_.MainWindowGeometry(),
                  ProgressOf(monitor.get()));
    document_.MarkSaved();
    DropRecoveryCopy();
    windows_.EditStateChanged();
}

// --- Asking before changes are dropped ---

namespace {

std::string SaveQuestion(const std::string& title) {
    if (title.empty()) {
        return "表の変更を保存しますか？";
    }
    return "表「 " + Cp932ToUtf8(title) + " 」の変更を保存しますか？";
}

}  // namespace

bool TableFiles::AskToSave(AskReason reason) {
    if (!document_.IsModified() ||
        (reason == AskReason::Closing && dropConfirmedAt_ == document_.ChangeCount())) {
        return true;
    }
    switch (windows_.ShowMessage(SaveQuestion(document_.Title()), MessageKind::Confirmation,
                                 MessageButton::Yes | MessageButton::No | MessageButton::Cancel)) {
        case MessageButton::Yes:
            SaveFile();
            return !document_.IsModified();  // the save dialog may have been cancelled
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

bool TableFiles::AskBeforeReplacingTable() {
    return AskToSave(AskReason::Replacing);
}

bool TableFiles::AskBeforeClosing() {
    return AskToSave(AskReason::Closing);
}

// --- Recovery copies ---

namespace {

std::string RecoveryQuestion(const LeftCopy& copy) {
    const RecoveryInfo& info = copy.Info();
    std::string question = "保存されないまま終了した表「 " + Cp932ToUtf8(info.title) +
                           " 」の編集内容が残っています。\n";
    if (!copy.InfoWasRead()) {
        question += "元のファイル名は読み取れませんでした。\n";
    } else if (!info.originalPath.empty()) {
        question += "ファイル: " + info.originalPath + "\n";
    }
    return question + "復元しますか？「いいえ」を選ぶと、この編集内容は削除されます。";
}

}  // namespace

void TableFiles::StartRecovery(const std::string& folder) {
    if (folder.empty()) {
        return;
    }
    try {
        recovery_ = std::make_unique<RecoveryKeeper>(document_.UnrecordedTable(), folder);
    } catch (const Failure&) {
        // No state folder (a read-only home, say): the program runs without recovery copies.
    }
}

bool TableFiles::WriteRecoveryCopyIfDue() {
    return recovery_ && document_.IsModified() &&
           recovery_->WriteIfChanged(document_.Title(), document_.FileName(),
                                     windows_.MainWindowGeometry());
}

void TableFiles::DropRecoveryCopy() {
    if (recovery_) {
        recovery_->Drop();
    }
}

void TableFiles::EndRecovery() {
    if (recovery_) {
        recovery_->End();
    }
}

void TableFiles::WaitForRecoveryCopy() {
    if (recovery_) {
        recovery_->WaitUntilWritten();
    }
}

void TableFiles::OfferRecoveryCopies() {
    if (!recovery_) {
        return;
    }
    RecoveryScan scan = recovery_->FindLeftCopies();
    for (LeftCopy& copy : scan.copies) {
        if (!copy.Take()) {
            continue;  // another program took or removed it meanwhile
        }
        const MessageButton answer =
            windows_.ShowMessage(RecoveryQuestion(copy), MessageKind::Confirmation,
                                 MessageButton::Yes | MessageButton::No);
        if (answer == MessageButton::No) {
            copy.Discard();
            continue;
        }
        if (answer == MessageButton::Yes) {
            RestoreRecoveryCopy(copy);
        }
        break;  // the copies not offered stay for the next start
    }
    if (scan.leftAlone > 0) {
        windows_.ShowMessage("保存されないまま終了した表の編集内容のうち " +
                                 std::to_string(scan.leftAlone) +
                                 " 件は読み込めなかったため、削除せずに残してあります。\n場所: " +
                                 recovery_->Folder(),
                             MessageKind::Warning, Buttons(MessageButton::OK));
    }
}

void TableFiles::RestoreRecoveryCopy(LeftCopy& copy) {
    std::optional<TableFileContent> content;
    try {
        content = ReadWithProgress(windows_, copy.TakenTablePath());
    } catch (const ReadCancelled&) {
        return;  // the copy stays for the next start
    }
    if (!content) {
        windows_.ShowMessage(kUnusableFileMessage, MessageKind::Error, Buttons(MessageButton::OK));
        return;
    }
    windows_.SetMainWindowGeometry(content->window);
    ReplaceTable(std::move(*content));
    document_.SetFileName(copy.Info().originalPath);
    document_.MarkUnsaved();  // the restored edits are not saved
    document_.RenumberRows();
    recovery_->Adopt(copy, document_.Title(), document_.FileName());
}

// --- Title list ---

void TableFiles::MoveToTopOfTitleList() {
    titles_.Remove(titles_.FindPath(document_.FileName()));
    titles_.InsertAtTop(document_.FileName(), document_.Title());
}

void TableFiles::LoadTitleList() {
    LoadHistoryFile(stores_.historyFile, titles_);
    windows_.TitleListChanged();
}

void TableFiles::SaveTitleList() {
    const std::size_t before = titles_.Size();
    SaveHistoryFile(stores_.historyFile, titles_);
    if (titles_.Size() != before) {
        windows_.TitleListChanged();  // entries another copy of the program saved
    }
}

}  // namespace qv
