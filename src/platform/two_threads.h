#pragma once

#include <exception>
#include <system_error>
#include <thread>

namespace qv {

// Runs `second` on a thread of its own while `first` runs on this one, and returns when both
// have ended. When no thread can be started, runs `alone` on this one instead (the whole work,
// which the two parts share). Rethrows what `first` or, after it, `second` threw.
template <class First, class Second, class Alone>
void RunOnTwoThreads(First first, Second second, Alone alone) {
    std::exception_ptr failure;
    std::thread other;
    try {
        other = std::thread([&] {
            try {
                second();
            } catch (...) {
                failure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        alone();
        return;
    }
    try {
        first();
    } catch (...) {
        other.join();
        throw;
    }
    other.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace qv
