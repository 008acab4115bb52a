#pragma once

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace qv {

// A few threads started once for a job of many tasks, which a thread of their own each would
// cost more to start than some of them take. Tasks run in the order given, as threads come
// free; a task's result or exception arrives through its future.
class TaskThreads {
public:
    // Starts up to `count` threads; where the system refuses more, fewer (or none: then every
    // task runs within Submit, on the caller's thread).
    explicit TaskThreads(unsigned count);
    // Drops the tasks not yet started (their futures report a broken promise), waits for those
    // under way and ends the threads.
    ~TaskThreads();
    TaskThreads(const TaskThreads&) = delete;
    TaskThreads& operator=(const TaskThreads&) = delete;

    template <class F>
    std::future<std::invoke_result_t<F&>> Submit(F task) {
        std::packaged_task<std::invoke_result_t<F&>()> packaged(std::move(task));
        auto result = packaged.get_future();
        Post(std::packaged_task<void()>([p = std::move(packaged)]() mutable { p(); }));
        return result;
    }

private:
    void Post(std::packaged_task<void()> task);
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<void()>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace qv
