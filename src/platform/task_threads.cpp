#include "platform/task_threads.h"

#include <system_error>

namespace qv {

TaskThreads::TaskThreads(unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        try {
            threads_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            break;  // the threads started so far do the work
        }
    }
}

TaskThreads::~TaskThreads() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

void TaskThreads::Post(std::packaged_task<void()> task) {
    if (threads_.empty()) {
        task();
        return;
    }
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void TaskThreads::Work() {
    for (;;) {
        std::packaged_task<void()> task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task();
    }
}

}  // namespace qv
