#include "platform/background_flusher.h"

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace qv {

namespace {

// A flush starts once this much has been written since the last one began: few enough flushes
// that each is worth its fixed cost, often enough that the last one is short.
constexpr off_t kFlushEvery = off_t{8} << 20;

}  // namespace

struct BackgroundFlusher::Shared {
    Shared(int file, FlushFunction flushFunction) : fd(file), flush(flushFunction) {}

    void Run() {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return stopping || written - flushed >= kFlushEvery; });
            if (stopping) {
                return;
            }
            const off_t reached = written;
            lock.unlock();
            const int result = flush(fd) == 0 ? 0 : errno;
            lock.lock();
            flushed = reached;
            if (result != 0 && error == 0) {
                error = result;
            }
        }
    }

    const int fd;
    const FlushFunction flush;
    std::mutex mutex;
    std::condition_variable wake;
    off_t written = 0;
    off_t flushed = 0;
    int error = 0;
    bool stopping = false;
    std::thread thread;
};

BackgroundFlusher::BackgroundFlusher(int fd, FlushFunction flush)
    : shared_(std::make_unique<Shared>(fd, flush)) {}

BackgroundFlusher::~BackgroundFlusher() {
    Stop();
}

int BackgroundFlusher::Written(off_t total) {
    Shared& s = *shared_;
    {
        std::lock_guard lock(s.mutex);
        s.written = total;
        if (s.error != 0 || s.stopping || total - s.flushed < kFlushEvery) {
            return s.error;
        }
    }
    if (!s.thread.joinable()) {
        try {
            s.thread = std::thread([&s] { s.Run(); });
        } catch (const std::system_error&) {
            // No thread to spare: the flush at the end does it all.
            std::lock_guard lock(s.mutex);
            s.stopping = true;
            return 0;
        }
    }
    s.wake.notify_one();
    return 0;
}

int BackgroundFlusher::Stop() {
    Shared& s = *shared_;
    {
        std::lock_guard lock(s.mutex);
        s.stopping = true;
    }
    s.wake.notify_one();
    if (s.thread.joinable()) {
        s.thread.join();
    }
    return s.error;  // the thread has ended
}

}  // namespace qv
