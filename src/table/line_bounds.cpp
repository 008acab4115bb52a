#include "table/line_bounds.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "table/cell_handle.h"

namespace qv {

LineBounds::LineBounds(std::shared_ptr<const std::string> bytes)
    : bytes_(std::move(bytes)), base_(bytes_->data()) {}

void LineBounds::Reserve(uint64_t lines) {
    // Exact room: growing by doubling would hold the old and the new array at once.
    const uint64_t bounds = lines + 1;
    narrow_.reserve(bounds);
    groups_.reserve((bounds >> kGroupShift) + 1);
}

bool LineBounds::Add(std::string_view text) {
    const auto start = static_cast<uint64_t>(text.data() - base_);
    if (narrow_.size() == count_) {
        Push(start);  // the first line, or the one before had no CR LF: a bound of its own
    }
    const bool continues = Bound(count_) == start;
    const bool followedByLineEnd = text.data()[text.size() + 1] == '\n';
    const bool addressable =
        reinterpret_cast<uintptr_t>(text.data()) < cell_handle::kArenaAddressLimit &&
        count_ < static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    ++count_;
    if (followedByLineEnd) {
        Push(start + text.size() + kLineEnd);
    }
    return continues && followedByLineEnd && addressable;
}

void LineBounds::Push(uint64_t bound) {
    const uint64_t k = narrow_.size();
    const uint64_t g = k >> kGroupShift;
    if ((k & kGroupMask) == 0) {
        groups_.push_back(bound);
    }
    uint64_t& group = groups_[g];
    if ((group & kWide) == 0 && (bound < group || bound - group > UINT16_MAX)) {
        // Lines too long for 16-bit offsets: this group keeps its bounds in full.
        const auto place = static_cast<uint64_t>(wide_.size());
        for (uint64_t i = g << kGroupShift; i < k; ++i) {
            wide_.push_back(group + narrow_[i]);
        }
        wide_.resize(place + kGroupMask + 1);
        group = kWide | place;
    }
    if ((group & kWide) != 0) {
        wide_[(group & ~kWide) + (k & kGroupMask)] = bound;
        narrow_.push_back(0);
    } else {
        narrow_.push_back(static_cast<uint16_t>(bound - group));
    }
}

std::optional<uint32_t> LineBounds::Find(std::string_view text, uint64_t near) const {
    if (narrow_.empty() || text.data() < base_ || text.data() >= base_ + bytes_->size()) {
        return std::nullopt;
    }
    const auto begin = static_cast<uint64_t>(text.data() - base_);
    const uint64_t end = begin + text.size();
    // Line k is the text when it has the same bounds and ends in CR LF (not in a lone CR that
    // happens to be followed by the next line's first byte).
    const uint64_t lines = std::min<uint64_t>(narrow_.size() - 1, uint64_t{1} << 31);
    const auto isLine = [&](uint64_t k) {
        return k < lines && Bound(k) == begin && Bound(k + 1) == end + kLineEnd &&
               base_[end] == '\r' && base_[end + 1] == '\n';
    };
    if (isLine(near)) {
        return static_cast<uint32_t>(near);
    }
    // The last line that begins at or before the text.
    uint64_t low = 0, high = narrow_.size();
    while (high - low > 1) {
        const uint64_t middle = low + (high - low) / 2;
        (Bound(middle) <= begin ? low : high) = middle;
    }
    if (isLine(low)) {
        return static_cast<uint32_t>(low);
    }
    return std::nullopt;
}

std::size_t LineBounds::HeapBytes() const {
    return narrow_.capacity() * sizeof(uint16_t) + groups_.capacity() * sizeof(uint64_t) +
           wide_.capacity() * sizeof(uint64_t);
}

}  // namespace qv
