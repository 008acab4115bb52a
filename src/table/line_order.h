#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "table/line_bounds.h"

namespace qv {

// The line numbers of a block of rows of a loaded buffer in an order of their own: a block of a
// loaded column after its rows were sorted. Every column of a table file's row lies at the same
// distance from the row's first line, so the blocks of all the columns moved alike share one
// order, each adding its own distance: a sort of a loaded table costs 4 bytes a row instead of a
// handle a cell. Counted: every chunk holding it shares it, and the last one to let go deletes
// it. Sharing and letting go may happen on several threads at once.
class LineOrder {
public:
    // A new order held once, by the caller. Every line must have been accepted by `bounds`.
    static LineOrder* Make(const LineBounds* bounds, std::span<const uint32_t> lines) {
        return new LineOrder(bounds, lines);
    }
    LineOrder(const LineOrder&) = delete;
    LineOrder& operator=(const LineOrder&) = delete;

    void Share() { users_.fetch_add(1, std::memory_order_relaxed); }
    void Release() {
        if (users_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            delete this;
        }
    }

    const LineBounds* Bounds() const { return bounds_; }
    std::size_t Size() const { return lines_.size(); }
    uint32_t LineAt(std::size_t i) const { return lines_[i]; }
    // Calls f(text) for `count` lines from place `first` on, each `shift` lines on.
    template <class F>
    void VisitTexts(std::size_t first, int32_t count, int32_t shift, F&& f) const {
        bounds_->VisitLinesAt(lines_.data() + first, shift, count, f);
    }
    // The distance that, added to each of this order's lines, gives `lines`, when there is one.
    bool ShiftTo(std::span<const uint32_t> lines, int32_t& shift) const;
    // The bytes it keeps, shared by its users.
    std::size_t HeapBytes() const { return sizeof *this + lines_.capacity() * sizeof(uint32_t); }
    int32_t Users() const { return users_.load(std::memory_order_relaxed); }

private:
    LineOrder(const LineBounds* bounds, std::span<const uint32_t> lines)
        : bounds_(bounds), lines_(lines.begin(), lines.end()) {}
    ~LineOrder() = default;

    std::atomic<int32_t> users_{1};
    const LineBounds* bounds_;
    std::vector<uint32_t> lines_;
};

inline bool LineOrder::ShiftTo(std::span<const uint32_t> lines, int32_t& shift) const {
    if (lines.size() != lines_.size() || lines.empty()) {
        return false;
    }
    const int64_t distance = int64_t{lines[0]} - int64_t{lines_[0]};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (int64_t{lines[i]} - int64_t{lines_[i]} != distance) {
            return false;
        }
    }
    shift = static_cast<int32_t>(distance);  // both below 2^31
    return true;
}

}  // namespace qv
