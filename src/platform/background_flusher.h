#pragma once

#include <sys/types.h>

#include <memory>

namespace qv {

// Flushes a file that is being written to the disk on a thread of its own, a stretch at a time
// while the writer goes on. On a disk with a write cache the flush at the end otherwise waits
// for the whole file; with this it waits for the last stretch only. Small files never start
// the thread. Where no thread can be started, nothing is flushed early and nothing fails.
class BackgroundFlusher {
public:
    // `flush(fd)` flushes the file's data as fdatasync does (0, or -1 with errno set); `fd` must
    // stay open until Stop has returned or the flusher is destroyed.
    using FlushFunction = int (*)(int fd);
    BackgroundFlusher(int fd, FlushFunction flush);
    ~BackgroundFlusher();  // as Stop, the error dropped
    BackgroundFlusher(const BackgroundFlusher&) = delete;
    BackgroundFlusher& operator=(const BackgroundFlusher&) = delete;

    // The file now holds `total` bytes written; a flush starts when a stretch is waiting.
    // Returns the errno of the first flush that failed, 0 while none has: a failed flush
    // reports its error once only (to whichever call flushed), so the writer must take it here.
    int Written(off_t total);
    // Waits for the flush under way and ends the thread; returns the error as Written does.
    int Stop();

private:
    struct Shared;
    std::unique_ptr<Shared> shared_;
};

}  // namespace qv
