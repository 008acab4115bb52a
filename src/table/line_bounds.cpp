#include "table/line_bounds.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/two_threads.h"
#include "table/cell_handle.h"

namespace qv {

namespace {

// A text shorter than this is indexed on one thread.
constexpr std::size_t kBytesWorthTwoThreads = std::size_t{1} << 20;

// Bytes are searched for CR and LF a word at a time, in the bytes' order in memory.
constexpr bool kWordsInByteOrder = std::endian::native == std::endian::little;

uint64_t Word(const char* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

constexpr uint64_t kEveryByte = 0x0101010101010101;

// The high bit of every byte of `word` that equals `byte`, and no other bit.
uint64_t BytesEqual(uint64_t word, char byte) {
    constexpr uint64_t kLowSeven = 0x7F7F7F7F7F7F7F7F;
    const uint64_t x = word ^ (kEveryByte * static_cast<uint8_t>(byte));
    return ~(((x & kLowSeven) + kLowSeven) | x | kLowSeven);
}

// Calls f(place) for the place of every CR among bytes [from, to), in order, while f returns
// true.
template <class F>
void VisitCarriageReturns(const char* bytes, std::size_t from, std::size_t to, F&& f) {
    std::size_t p = from;
    if constexpr (kWordsInByteOrder) {
        for (; p + 8 <= to; p += 8) {
            for (uint64_t found = BytesEqual(Word(bytes + p), '\r'); found != 0;
                 found &= found - 1) {
                if (!f(p + static_cast<std::size_t>(std::countr_zero(found)) / 8)) {
                    return;
                }
            }
        }
    }
    for (; p < to; ++p) {
        if (bytes[p] == '\r' && !f(p)) {
            return;
        }
    }
}

}  // namespace

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
    narrow_.push_back(0);
    if ((k & kGroupMask) == 0) {
        groups_.push_back(0);
    }
    SetBound(k, bound, narrow_.data(), groups_.data(), wide_);
}

void LineBounds::SetBound(uint64_t k, uint64_t bound, uint16_t* narrow, uint64_t* groups,
                          std::vector<uint64_t>& wide) {
    uint64_t& group = groups[k >> kGroupShift];
    if ((k & kGroupMask) == 0) {
        group = bound;
    }
    if ((group & kWide) == 0 && (bound < group || bound - group > UINT16_MAX)) {
        // Lines too long for 16-bit offsets: this group keeps its bounds in full.
        const auto place = static_cast<uint64_t>(wide.size());
        for (uint64_t i = k & ~kGroupMask; i < k; ++i) {
            wide.push_back(group + narrow[i]);
        }
        wide.resize(place + kGroupMask + 1);
        group = kWide | place;
    }
    if ((group & kWide) != 0) {
        wide[(group & ~kWide) + (k & kGroupMask)] = bound;
        narrow[k] = 0;
    } else {
        narrow[k] = static_cast<uint16_t>(bound - group);
    }
}

bool LineBounds::AddLines(std::string_view text, uint64_t count, const Passed& passed) {
    // Every line takes at least its CR LF: a file that claims more lines than its bytes can
    // hold costs no room for them.
    if (!narrow_.empty() || count == 0 || count > text.size() / kLineEnd ||
        count > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) ||
        reinterpret_cast<uintptr_t>(text.data() + text.size()) >= cell_handle::kArenaAddressLimit) {
        return false;
    }
    const auto begin = static_cast<std::size_t>(text.data() - base_);
    const std::size_t end = begin + text.size();
    const uint64_t bounds = count + 1;
    bool found = false;
    try {
        narrow_.resize(bounds);
        groups_.resize((bounds + kGroupMask) >> kGroupShift);
        if (text.size() < kBytesWorthTwoThreads) {
            const Reached at = [&](std::size_t place) { passed(place - begin); };
            found = SetBounds(0, begin, bounds, end, wide_, passed ? &at : nullptr);
        } else {
            found = SetBoundsOnTwoThreads(begin, end, bounds, passed);
        }
    } catch (...) {
        found = false;
        Forget();
        throw;
    }
    if (!found) {
        Forget();
        return false;
    }
    count_ = count;
    return true;
}

void LineBounds::Forget() {
    narrow_.clear();
    groups_.clear();
    wide_.clear();
}

std::optional<uint64_t> LineBounds::CountLines(std::size_t from, std::size_t to,
                                               std::size_t end) const {
    const char* bytes = base_;
    const auto lineEndAt = [&](std::size_t cr) { return cr + 1 < end && bytes[cr + 1] == '\n'; };
    uint64_t lines = 0;
    std::size_t p = from;
    if constexpr (kWordsInByteOrder) {
        for (; p + 8 <= to; p += 8) {
            const uint64_t word = Word(bytes + p);
            const uint64_t crs = BytesEqual(word, '\r');
            if (crs == 0) {
                continue;
            }
            // Each CR's LF is the byte after it: in this word, or the next one's first.
            if (((crs << 8) & ~BytesEqual(word, '\n')) != 0 ||
                ((crs >> 63) != 0 && !lineEndAt(p + 7))) {
                return std::nullopt;
            }
            lines += ((crs >> 7) * kEveryByte) >> 56;  // a bit a CR, one in each byte
        }
    }
    for (; p < to; ++p) {
        if (bytes[p] == '\r') {
            if (!lineEndAt(p)) {
                return std::nullopt;
            }
            ++lines;
        }
    }
    return lines;
}

bool LineBounds::SetBounds(uint64_t first, std::size_t place, uint64_t last, std::size_t end,
                           std::vector<uint64_t>& wide, const Reached* at) {
    constexpr uint64_t kLinesBetweenReports = uint64_t{1} << 16;
    uint16_t* narrow = narrow_.data();
    uint64_t* groups = groups_.data();
    uint64_t k = first;
    if (k < last) {
        SetBound(k++, place, narrow, groups, wide);
    }
    const char* bytes = base_;
    if (k < last) {
        VisitCarriageReturns(bytes, place, end, [&](std::size_t cr) {
            if (cr + 1 >= end || bytes[cr + 1] != '\n') {
                return false;
            }
            SetBound(k++, cr + 2, narrow, groups, wide);
            if (at != nullptr && k % kLinesBetweenReports == 0) {
                (*at)(cr + 2);
            }
            return k < last;
        });
    }
    return k == last;
}

bool LineBounds::SetBoundsOnTwoThreads(std::size_t begin, std::size_t end, uint64_t bounds,
                                       const Passed& passed) {
    // The text is cut after the first CR LF from its middle on. The lines before the cut are
    // counted (each thread a half of them), so that each thread then sets the bounds of whole
    // groups: the first from the text's start, the second from the last group start before the
    // cut.
    const std::size_t middle = begin + (end - begin) / 2;
    const void* cr = std::memchr(base_ + middle, '\r', end - middle);
    const Reached alone = [&](std::size_t place) { passed(place - begin); };
    const Reached* aloneAt = passed ? &alone : nullptr;
    if (cr == nullptr) {
        return SetBounds(0, begin, bounds, end, wide_, aloneAt);
    }
    const auto cut = static_cast<std::size_t>(static_cast<const char*>(cr) - base_) + 2;
    if (cut > end || base_[cut - 1] != '\n') {
        return false;
    }
    const std::size_t quarter = begin + (cut - begin) / 2;
    std::optional<uint64_t> counts[2];
    RunOnTwoThreads([&] { counts[0] = CountLines(begin, quarter, end); },
                    [&] { counts[1] = CountLines(quarter, cut, end); },
                    [&] {
                        counts[0] = CountLines(begin, quarter, end);
                        counts[1] = CountLines(quarter, cut, end);
                    });
    if (!counts[0] || !counts[1]) {
        return false;
    }
    const uint64_t beforeCut = *counts[0] + *counts[1];  // bound beforeCut lies at the cut
    if (beforeCut >= bounds) {
        return SetBounds(0, begin, bounds, end, wide_, aloneAt);  // all before the cut
    }
    const uint64_t split = beforeCut & ~kGroupMask;
    std::size_t place = cut;
    for (uint64_t k = beforeCut; k > split; --k) {
        // Bound k - 1 starts the line that ends in the CR LF before `place`.
        std::size_t p = place - 2;
        while (p > begin && base_[p - 1] != '\r') {
            --p;
        }
        place = p > begin ? p + 1 : begin;
    }
    std::vector<uint64_t> secondWide;
    bool found[2] = {false, false};
    // The second thread keeps about the first one's pace through its half.
    const Reached both = [&](std::size_t reached) {
        passed(std::min(2 * (reached - begin), end - begin));
    };
    RunOnTwoThreads(
        [&] { found[0] = SetBounds(0, begin, split, end, wide_, passed ? &both : nullptr); },
        [&] { found[1] = SetBounds(split, place, bounds, end, secondWide, nullptr); },
        [&] {
            found[0] = SetBounds(0, begin, split, end, wide_, aloneAt);
            found[1] = SetBounds(split, place, bounds, end, secondWide, aloneAt);
        });
    if (!found[0] || !found[1]) {
        return false;
    }
    // The second thread's groups of full bounds follow the first one's.
    for (uint64_t g = split >> kGroupShift; g < groups_.size(); ++g) {
        if ((groups_[g] & kWide) != 0) {
            groups_[g] += wide_.size();
        }
    }
    wide_.insert(wide_.end(), secondWide.begin(), secondWide.end());
    return true;
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
