#include "app/main_form.h"

#include <memory>
#include <optional>
#include <utility>

#include "app/main_form_change_scope.h"
#include "app/title_list_form.h"
#include "app/window_geometry.h"
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

// The hidden one-row grid that keeps a deleted row.
constexpr GridShape kBufferGridShape{2, 1, 0, 0, 48, 10};

constexpr WindowGeometry kMainDesignGeometry{294, 211, 276, 247};
constexpr const char* kSettingsSection = "Main";

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

MainForm::MainForm(WindowSystem& windows, StoreLocations stores, std::string decimalSeparator)
    : windows_(windows),
      stores_(std::move(stores)),
      decimalSeparator_(std::move(decimalSeparator)),
      grid_(kMainTableShape),
      buffer_(kBufferGridShape) {
    SetMainTableColWidths(grid_);
    grid_.AddObserver(this);
}

MainForm::~MainForm() {
    grid_.RemoveObserver(this);
}

// --- Start-up, activation, close ---

void MainForm::FormCreate() {
    curFileName_.clear();
    SetLoadRequest(false);
    firstActivate_ = true;
    WindowGeometry geometry = kMainDesignGeometry;
    RestoreGeometry(stores_.settingsFile, kSettingsSection, geometry);
    windows_.SetMainWindowGeometry(geometry);
}

void MainForm::FormActivate() {
    RenumberRows();
    if (titles_.Empty()) {
        LoadHistory();
    }
    if (firstActivate_) {
        windows_.ShowTitleListWindow();
        firstActivate_ = false;
    }
}

void MainForm::FormClose() {
    SaveHistory();
    StoreGeometry(stores_.settingsFile, kSettingsSection, windows_.MainWindowGeometry());
    if (recovery_) {
        recovery_->End();  // a normal end leaves nothing to recover
    }
}

// --- File commands ---

void MainForm::LoadTableFile() {
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
        const std::string path = pendingLoadPath_.value_or(curFileName_);
        SetLoadRequest(false);
        std::optional<TableFileContent> content;
        try {
            content = ReadWithProgress(windows_, path);
        } catch (const ReadCancelled&) {
            // The user stopped it: as after a cancelled open dialog, nothing changes.
            RenumberRows();
            return;
        }
        if (!content) {
            windows_.ShowMessage(kUnusableFileMessage, MessageKind::Error,
                                 Buttons(MessageButton::OK));
            return;
        }
        ChangeScope scope(*this);
        windows_.SetMainWindowGeometry(content->window);
        history_.Clear();  // before the steps' texts lose the loaded buffers they point into
        ApplyTableFile(std::move(*content), grid_, title_);
        windows_.TitleChanged();
        curFileName_ = path;
        DropRecoveryCopy();
    }
    RenumberRows();
}

void MainForm::SaveFile() {
    if (curFileName_.empty()) {
        SaveFileAs();
        return;
    }
    WriteTableFile();
}

void MainForm::SaveFileAs() {
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
    curFileName_ = std::move(path);
    WriteTableFile();
}

void MainForm::RefuseNameTheHistoryCannotHold(const std::string& path) {
    if (!FitsHistoryFile(path)) {
        throw Failure(kNameNotStorableMessage);
    }
}

bool MainForm::ConfirmReplacing(const std::string& path) {
    const std::string question = path + " は既に存在します。\n上書きしますか？";
    return windows_.ShowMessage(question, MessageKind::Confirmation,
                                MessageButton::Yes | MessageButton::No) == MessageButton::Yes;
}

void MainForm::WriteTableFile() {
    RefuseNameTheHistoryCannotHold(curFileName_);
    ChangeScope scope(*this);  // what was typed so far is saved, and counts as saved
    UpdateHistory();
    windows_.TitleListChanged();
    std::unique_ptr<ProgressMonitor> monitor =
        windows_.StartProgress(kSaveTitle, ProgressKind::Save);
    SaveTableFile(curFileName_, grid_, title_, windows_.MainWindowGeometry(),
                  ProgressOf(monitor.get()));
    history_.MarkSaved();
    DropRecoveryCopy();
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

void MainForm::StartRecovery(const std::string& folder) {
    if (folder.empty()) {
        return;
    }
    try {
        recovery_ = std::make_unique<RecoveryKeeper>(grid_, folder);
    } catch (const Failure&) {
        // No state folder (a read-only home, say): the program runs without recovery copies.
    }
}

bool MainForm::WriteRecoveryCopyIfDue() {
    return recovery_ && IsModified() &&
           recovery_->WriteIfChanged(title_, curFileName_, windows_.MainWindowGeometry());
}

void MainForm::DropRecoveryCopy() {
    if (recovery_) {
        recovery_->Drop();
    }
}

void MainForm::WaitForRecoveryCopy() {
    if (recovery_) {
        recovery_->WaitUntilWritten();
    }
}

void MainForm::OfferRecoveryCopies() {
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

void MainForm::RestoreRecoveryCopy(LeftCopy& copy) {
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
    ApplyTableFile(std::move(*content), grid_, title_);
    windows_.TitleChanged();
    curFileName_ = copy.Info().originalPath;
    history_.Clear();
    history_.MarkUnsaved();  // the restored edits are not saved
    RenumberRows();
    recovery_->Adopt(copy, title_, curFileName_);
}

// --- Title list ---

void MainForm::UpdateHistory() {
    titles_.Remove(titles_.FindPath(curFileName_));
    titles_.InsertAtTop(curFileName_, title_);
}

void MainForm::LoadHistory() {
    LoadHistoryFile(stores_.historyFile, titles_);
    windows_.TitleListChanged();
}

void MainForm::SaveHistory() {
    const std::size_t before = titles_.Size();
    SaveHistoryFile(stores_.historyFile, titles_);
    if (titles_.Size() != before) {
        windows_.TitleListChanged();  // entries another copy of the program saved
    }
}

// --- Commands of the menus and the toolbar ---

void MainForm::ShowTitleList() {
    windows_.ShowTitleListWindow();
}

void MainForm::ShowHelpContents() {
    windows_.ShowHelp(HelpCommand::Contents);
}

void MainForm::ShowHelpFinder() {
    windows_.ShowHelp(HelpCommand::Finder);
}

void MainForm::ShowAbout() {
    windows_.ShowAboutBox();
}

void MainForm::Exit() {
    windows_.CloseMainWindow();
}

void MainForm::CloseTitleListAndExit() {
    if (!AskBeforeClosing()) {
        return;
    }
    if (titleList_ != nullptr) {
        titleList_->FormClose();
    }
    windows_.HideTitleListWindow();
    windows_.CloseMainWindow();
}

}  // namespace qv
