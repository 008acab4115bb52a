#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/recovery/recovery_files.h"
#include "table/table_file_writer.h"

namespace qv {

// What one recovery copy writes: the table file's pieces (which keep the buffers they point
// into) and the info file's bytes.
struct RecoveryJob {
    TableFilePieces table;
    std::string info;
};

// Writes recovery copies on a thread of its own, so that the window never waits for the disk.
// Each file is replaced atomically, as a file of its own (a link found at its name is replaced,
// never written through); a failure (a full disk, say) leaves the last copy written
// and is otherwise ignored: the user's work is still in the window, and the next copy tries
// again. Work is done in the order asked: a removal asked after a write comes after it.
class RecoveryWriter {
public:
    explicit RecoveryWriter(RecoveryPaths paths);
    // Finishes the work asked for, then stops.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // Whether a copy is waiting or being written.
    bool Busy() const;
    // Writes the copy after the work under way; it replaces a copy still waiting.
    void Write(RecoveryJob job);
    // Removes the copy after the work under way; a copy still waiting is dropped.
    void Remove();
    // Returns when all the work asked for is done.
    void WaitUntilIdle();
    // The work asked for from now on goes to these files (a copy was adopted).
    void SetPaths(RecoveryPaths paths);

private:
    void Run();

    RecoveryPaths paths_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<RecoveryJob> waiting_;
    bool removeWaiting_ = false;
    bool working_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace qv
