#include "edit/background_reading.h"

#include <system_error>
#include <utility>

#include "edit/table_document.h"

namespace qv {

BackgroundReading::BackgroundReading(TableDocument& document, Post post)
    : document_(document), post_(std::move(post)) {
    document_.AddReading(this);
}

BackgroundReading::~BackgroundReading() {
    Stop();
    document_.RemoveReading(this);
}

void BackgroundReading::Start(Read read) {
    Stop();
    const uint64_t generation = latest_->generation.load();
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    try {
        thread_ = std::thread([this, read = std::move(read), cancelled = cancelled_, generation] {
            Run(read, cancelled, generation);
        });
    } catch (const std::system_error&) {
        Run(read, cancelled_, generation);  // no thread to be had: the window waits this once
    }
}

void BackgroundReading::Stop() {
    ++latest_->generation;
    if (cancelled_) {
        cancelled_->store(true);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

void BackgroundReading::Run(const Read& read, const std::shared_ptr<std::atomic<bool>>& cancelled,
                            uint64_t generation) {
    std::function<void()> deliver;
    try {
        deliver = read(*cancelled);
    } catch (...) {
        return;  // out of memory while reading: the window keeps what it showed
    }
    if (!deliver || cancelled->load()) {
        return;
    }
    std::weak_ptr<Latest> latest = latest_;
    post_([latest, generation, deliver = std::move(deliver)] {
        const std::shared_ptr<Latest> alive = latest.lock();
        if (alive && alive->generation.load() == generation) {
            deliver();
        }
    });
}

}  // namespace qv
