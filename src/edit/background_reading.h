#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace qv {

class TableDocument;

// Reads the table on a thread of its own while the window goes on answering keys: a count after
// each keystroke, the figures of a huge selection. One reading at a time per object; starting
// another cancels the one under way, and so does any change of the document, which waits for
// the reading to stop before it writes, so a reading always sees one consistent table. What a
// reading found reaches the window's thread only when the table did not change and no other
// reading started in the meantime.
class BackgroundReading {
public:
    // Runs on the reading's thread, over the document's table as it stands; looks at `cancelled`
    // every few thousand cells and returns early when it is set. Returns what to do with the
    // result on the window's thread (nothing: nothing to do).
    using Read = std::function<std::function<void()>(const std::atomic<bool>& cancelled)>;
    // Queues a function to run later on the thread that owns the document.
    using Post = std::function<void(std::function<void()>)>;

    BackgroundReading(TableDocument& document, Post post);
    ~BackgroundReading();
    BackgroundReading(const BackgroundReading&) = delete;
    BackgroundReading& operator=(const BackgroundReading&) = delete;

    // Cancels the reading under way and starts `read`. When no thread can be started, reads at
    // once on the caller's thread (the result is still delivered through the queue).
    void Start(Read read);
    // Cancels the reading under way and waits until it has stopped; its result is dropped, also
    // one already queued.
    void Stop();

private:
    // What a queued result checks before it runs: whether it is still the latest reading's.
    struct Latest {
        std::atomic<uint64_t> generation{0};
    };

    void Run(const Read& read, const std::shared_ptr<std::atomic<bool>>& cancelled,
             uint64_t generation);

    TableDocument& document_;
    Post post_;
    std::shared_ptr<Latest> latest_ = std::make_shared<Latest>();
    std::shared_ptr<std::atomic<bool>> cancelled_;
    std::thread thread_;
};

}  // namespace qv
