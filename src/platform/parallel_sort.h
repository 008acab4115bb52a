#pragma once

#include <algorithm>
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace qv {

// Fewer items than this are sorted on one thread: a second would cost more than it saves.
inline constexpr std::size_t kItemsWorthTwoThreads = 65536;

// std::stable_sort of `items` by `less`, the two halves sorted at once on two threads and then
// merged (equal items keep their order, the merge taking the first half's first). Falls back to
// one thread for short vectors and when no thread can be started. Throws what the sort throws
// (std::bad_alloc), leaving `items` in some order of its elements.
template <class T, class Less>
void StableSortOnTwoThreads(std::vector<T>& items, Less less) {
    if (items.size() < kItemsWorthTwoThreads) {
        std::stable_sort(items.begin(), items.end(), less);
        return;
    }
    const auto middle = items.begin() + static_cast<std::ptrdiff_t>(items.size() / 2);
    std::exception_ptr failure;
    std::thread first;
    try {
        first = std::thread([&] {
            try {
                std::stable_sort(items.begin(), middle, less);
            } catch (...) {
                failure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        std::stable_sort(items.begin(), items.end(), less);
        return;
    }
    try {
        std::stable_sort(middle, items.end(), less);
    } catch (...) {
        first.join();
        throw;
    }
    first.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
    std::vector<T> merged;
    merged.reserve(items.size());
    std::merge(items.begin(), middle, middle, items.end(), std::back_inserter(merged), less);
    items.swap(merged);
}

}  // namespace qv
