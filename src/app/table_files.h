#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/document_change.h"
#include "app/recovery/recovery_keeper.h"
#include "app/title_list_form.h"
#include "history/title_list.h"
#include "platform/program_paths.h"
#include "table/table_file_reader.h"

namespace qv {

// The main table's files: opening and saving table files, the title list of the tables saved
// (which the title list window shows), the question before unsaved changes are dropped, and the
// recovery copies of unsaved changes.
class TableFiles : private CommandGroup, public TitleListHost {
public:
    // `stores` names the settings and history files.
    TableFiles(TableDocument& document, WindowSystem& windows, StoreLocations stores);

    // At start-up: no file, no load request, the title list window to be opened.
    void Restart();
    TitleList& Titles() override { return titles_; }
    const TitleList& Titles() const { return titles_; }
    const StoreLocations& Stores() const override { return stores_; }

    // --- Loading ---
    bool LoadRequest() const { return loadRequest_; }
    // Clearing the request also drops a path that RequestLoad left pending.
    void SetLoadRequest(bool request) override;
    // Asks the next LoadTableFile to read `path` without the open dialog (the title list's
    // reopen). The document's file name takes the path only once the file has loaded; until
    // then it keeps naming the table shown. With no pending path, LoadRequest alone reads the
    // document's file.
    void RequestLoad(std::string path);
    bool FirstActivate() const { return firstActivate_; }
    void ClearFirstActivate() override { firstActivate_ = false; }
    // The file names the open and save dialogs open with.
    const std::string& OpenDialogFileName() const { return openDialogFileName_; }
    const std::string& SaveDialogFileName() const { return saveDialogFileName_; }
    void SetSaveDialogFileName(std::string path) { saveDialogFileName_ = std::move(path); }
    void LoadTableFile();
    void ReopenTable(const std::string& path) override;
    // A whole new table in the document: a new history, the window told.
    void ReplaceTable(TableFileContent content);

    // --- Saving ---
    void SaveFile();
    void SaveFileAs();
    // A file name holding a CR or 0x1A is refused with Failure before anything is changed.
    void WriteTableFile();
    // Whether the user agrees to replace the existing file `path`.
    bool ConfirmReplacing(const std::string& path);

    // When the table is modified, asks whether to save it before it is dropped; Yes saves as
    // SaveFile does. Returns whether the caller goes on (No, or Yes and saved); false leaves
    // everything as it was. The title list window asks before it reopens a table.
    bool AskBeforeReplacingTable();
    // The same before the main window closes; after a No, closing asks nothing more until the
    // table changes again.
    bool AskBeforeClosing();

    // --- Recovery copies of unsaved changes (app/recovery/) ---
    // From now on keeps a recovery copy in `folder` while the table has unsaved changes; none
    // when the folder is empty or its lock file cannot be made.
    void StartRecovery(const std::string& folder);
    // The window's timer: a copy of the table when it has unsaved changes made since the last
    // copy. The copy is built a slice of a few milliseconds at a time; true means that it is
    // not built yet and the window calls again soon. The disk is written on a thread of its own.
    bool WriteRecoveryCopyIfDue();
    // The table's edits were saved or given up (a save, a load, a No to saving): its copy goes.
    void DropRecoveryCopy();
    // At start: offers the copies that programs no longer running left, newest first, until
    // one is restored. Yes restores it as an unsaved table that names its original file; No
    // removes it; closing the question leaves it for the next start. Copies that cannot be read
    // are left as they are, and said so once.
    void OfferRecoveryCopies();
    // Returns when the copies asked for are on the disk (tests, benchmarks).
    void WaitForRecoveryCopy();
    // A normal end leaves nothing to recover.
    void EndRecovery();

    // --- Title list ---
    void MoveToTopOfTitleList();
    void LoadTitleList();
    // Writes the title list, first taking in what other copies of the program saved meanwhile.
    void SaveTitleList() override;

private:
    // Raises Failure for a file name the title list's file cannot hold, before anything is
    // written.
    void RefuseNameTheHistoryCannotHold(const std::string& path);
    enum class AskReason { Replacing, Closing };
    bool AskToSave(AskReason reason);
    void RestoreRecoveryCopy(LeftCopy& copy);

    StoreLocations stores_;
    TitleList titles_;
    bool loadRequest_ = false;
    std::optional<std::string> pendingLoadPath_;
    bool firstActivate_ = true;
    std::string openDialogFileName_;
    std::string saveDialogFileName_;
    // The document's change count when the user said No to saving before closing.
    std::optional<uint64_t> dropConfirmedAt_;
    // After the document: it watches the grid, and goes first.
    std::unique_ptr<RecoveryKeeper> recovery_;
};

}  // namespace qv
