#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/recovery/recovery_files.h"
#include "app/recovery/recovery_writer.h"
#include "table/table_grid.h"
#include "table/window_geometry.h"

namespace qv {

// Keeps a recovery copy of the main table in the state folder while it has unsaved changes,
// so that a crash loses little: the caller asks at a steady pace (the window's timer), and a
// copy is built only when the table changed since the last one and that one is written. The
// copy is built on the caller's thread in pieces that point into the loaded file's buffers
// (only changed stretches are copied), in slices of a few milliseconds between which the caller
// goes on with its work, and written on the writer's thread.
class RecoveryKeeper : private TableGridObserver {
public:
    // Raises Failure when the folder or the lock file cannot be made.
    RecoveryKeeper(TableGrid& grid, const std::string& folder);
    ~RecoveryKeeper() override;
    RecoveryKeeper(const RecoveryKeeper&) = delete;
    RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

    // Builds a slice of a new copy of the table, unless nothing changed since the last copy or
    // the last one is still being written, and hands it to the writer once built. Returns true
    // while the copy is not built yet: the caller calls again soon. A table changed between
    // slices is built again from its start.
    bool WriteIfChanged(const std::string& title, const std::string& originalPath,
                        const WindowGeometry& window);
    // The copy is no longer wanted (the table was saved, replaced, or its edits dropped).
    void Drop();
    // The program ends normally: the copy and the lock file go.
    void End();

    const std::string& Folder() const { return session_.Folder(); }
    // The copies that programs no longer running left (see FindLeftCopies).
    RecoveryScan FindLeftCopies() const;
    // The taken left copy, restored into the table as it now stands, becomes this program's
    // copy.
    void Adopt(LeftCopy& copy, const std::string& title, const std::string& originalPath);

    // Returns when the copies asked for are written (tests, benchmarks).
    void WaitUntilWritten() { writer_.WaitUntilIdle(); }

private:
    void CellChanged(int32_t /*col*/, int32_t /*row*/) override { changed_ = true; }
    void CellsChanged() override { changed_ = true; }
    void LayoutChanged() override { changed_ = true; }
    void Written(const std::string& title, const std::string& originalPath);

    TableGrid& grid_;
    RecoverySession session_;
    RecoveryWriter writer_;
    std::unique_ptr<TableFilePiecesBuilder> building_;
    std::string buildTitle_;
    std::string buildPath_;
    bool ended_ = false;
    bool haveCopy_ = false;
    bool changed_ = false;
    std::string copyTitle_;
    std::string copyPath_;
};

}  // namespace qv
