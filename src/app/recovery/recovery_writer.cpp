#include "app/recovery/recovery_writer.h"

#include <exception>
#include <span>
#include <utility>

#include "platform/files.h"

namespace qv {

RecoveryWriter::RecoveryWriter(RecoveryPaths paths)
    : paths_(std::move(paths)), thread_([this] { Run(); }) {}

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

bool RecoveryWriter::Busy() const {
    std::lock_guard lock(mutex_);
    return working_ || waiting_.has_value() || removeWaiting_;
}

void RecoveryWriter::Write(RecoveryJob job) {
    {
        std::lock_guard lock(mutex_);
        waiting_ = std::move(job);
    }
    wake_.notify_all();
}

void RecoveryWriter::Remove() {
    std::optional<RecoveryJob> dropped;  // freed outside the lock
    {
        std::lock_guard lock(mutex_);
        dropped = std::exchange(waiting_, std::nullopt);
        removeWaiting_ = true;
    }
    wake_.notify_all();
}

void RecoveryWriter::WaitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !working_ && !waiting_ && !removeWaiting_; });
}

void RecoveryWriter::SetPaths(RecoveryPaths paths) {
    std::lock_guard lock(mutex_);
    paths_ = std::move(paths);
}

void RecoveryWriter::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || waiting_ || removeWaiting_; });
        if (!waiting_ && !removeWaiting_) {
            return;  // stopping with nothing left to do
        }
        const bool remove = std::exchange(removeWaiting_, false);
        std::optional<RecoveryJob> job = std::exchange(waiting_, std::nullopt);
        const RecoveryPaths paths = paths_;
        working_ = true;
        lock.unlock();
        if (remove) {
            DeleteFileQuietly(paths.table);
            DeleteFileQuietly(paths.info);
        }
        if (job) {
            // The info first, so that even the first copy's table file is found beside it.
            try {
                const std::string_view info = job->info;
                ReplaceOwnFile(paths.info, std::span(&info, 1));
                ReplaceOwnFile(paths.table, job->table.pieces);
            } catch (const std::exception&) {
                // Left for the next copy (see the class comment).
            }
            job.reset();  // the built bytes are freed before the next copy is taken
        }
        lock.lock();
        working_ = false;
        idle_.notify_all();
    }
}

}  // namespace qv
