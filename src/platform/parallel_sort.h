#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

#include "platform/two_threads.h"

namespace qv {

// Fewer items than this are sorted on one thread: a second would cost more than it saves.
inline constexpr std::size_t kItemsWorthTwoThreads = 65536;

// Merges the sorted ranges [0, middle) and [middle, size) of `items` into one, in place; equal
// items keep their order, the first range's first. The only extra memory is a copy of the first
// range: the merged items are written from the front, never overtaking the second range's
// unread ones.
template <class T, class Less>
void MergeSortedHalves(std::span<T> items, std::size_t middle, Less less) {
    const std::vector<T> first(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(middle));
    auto a = first.begin();
    auto b = items.begin() + static_cast<std::ptrdiff_t>(middle);
    auto out = items.begin();
    while (a != first.end()) {
        if (b != items.end() && less(*b, *a)) {
            *out++ = *b++;
        } else {
            *out++ = *a++;
        }
    }
}

// `sortRange(begin, end)` run on the two halves of `items` at once on two threads, the halves then
// merged by `less`. One thread for short vectors and when no thread can be started. Throws what
// the sort throws (std::bad_alloc), leaving `items` in some order of its elements.
template <class T, class Less, class SortRange>
void SortHalvesOnTwoThreads(std::span<T> items, Less less, SortRange sortRange) {
    if (items.size() < kItemsWorthTwoThreads) {
        sortRange(items.begin(), items.end());
        return;
    }
    const auto middle = items.begin() + static_cast<std::ptrdiff_t>(items.size() / 2);
    bool halves = true;
    RunOnTwoThreads([&] { sortRange(middle, items.end()); },
                    [&] { sortRange(items.begin(), middle); },
                    [&] {
                        sortRange(items.begin(), items.end());
                        halves = false;
                    });
    if (!halves) {
        return;
    }
    MergeSortedHalves(items, items.size() / 2, less);
}

// std::stable_sort of `items` by `less` on two threads (equal items keep their order).
template <class T, class Less>
void StableSortOnTwoThreads(std::vector<T>& items, Less less) {
    SortHalvesOnTwoThreads(std::span<T>(items), less,
                           [&less](auto begin, auto end) { std::stable_sort(begin, end, less); });
}

}  // namespace qv
