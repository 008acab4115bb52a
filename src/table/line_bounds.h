#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Where the CR LF lines of a loaded file's buffer begin and end, in about two bytes a line, so
// that a column of loaded texts can keep their first line's number instead of a handle a cell.
// Lines are added in the order a reader hands them out; line k runs from bound k to bound k + 1
// less its CR LF. Bounds are kept as 16-bit offsets from the first of a group of 64, or in full
// for a group whose lines are too long for that. Keeps the buffer alive.
class LineBounds {
public:
    explicit LineBounds(std::shared_ptr<const std::string> bytes);
    LineBounds(const LineBounds&) = delete;
    LineBounds& operator=(const LineBounds&) = delete;

    const std::shared_ptr<const std::string>& Bytes() const { return bytes_; }
    // Room for this many lines, when the reader knows about how many will come.
    void Reserve(uint64_t lines);
    // Adds the next line: `text` lies in the buffer, followed there by CR. Returns whether Line
    // gives it back: it starts where the line before it ended (or is the first) and is followed
    // by CR LF, and the number it got fits in 31 bits.
    bool Add(std::string_view text);
    // Adds the first `count` lines of `text` (a part of the buffer that begins where a line
    // does) at once, when every one of them ends in CR LF and gets a number below 2^31: the same
    // bounds as adding them one by one, found on two threads in a long text. Needs no line added
    // before. Returns false, having added nothing, when they do not (a CR alone, fewer lines);
    // room for the lines is taken only when `text` is long enough to hold them.
    // `passed`, when given, is told now and then on the calling thread about how many bytes of
    // `text` are done; what it throws leaves nothing added and reaches the caller.
    using Passed = std::function<void(std::size_t bytes)>;
    bool AddLines(std::string_view text, uint64_t count, const Passed& passed = {});
    uint64_t Count() const { return count_; }

    // Line k's text, for a line that Add accepted.
    std::string_view Line(uint64_t k) const {
        const uint64_t begin = Bound(k);
        return {base_ + begin, static_cast<std::size_t>(Bound(k + 1) - begin - kLineEnd)};
    }
    // The bytes of the lines [first, last), each with its CR LF, when all were accepted.
    std::string_view Lines(uint64_t first, uint64_t last) const {
        const uint64_t begin = Bound(first);
        return {base_ + begin, static_cast<std::size_t>(Bound(last) - begin)};
    }
    // Calls f(text) for `count` accepted lines from `first` on, every `step`-th: a block of a
    // column. The hot loop of statistics and searches, so the arrays are read through locals.
    template <class F>
    void VisitLines(uint64_t first, uint64_t step, int32_t count, F&& f) const {
        const char* base = base_;
        const uint16_t* narrow = narrow_.data();
        const uint64_t* groups = groups_.data();
        const uint64_t* wide = wide_.data();
        const auto bound = [&](uint64_t k) {
            const uint64_t group = groups[k >> kGroupShift];
            return (group & kWide) != 0 ? wide[(group & ~kWide) + (k & kGroupMask)]
                                        : group + narrow[k];
        };
        for (int32_t i = 0; i < count; ++i, first += step) {
            const uint64_t begin = bound(first);
            f(std::string_view(base + begin,
                               static_cast<std::size_t>(bound(first + 1) - begin - kLineEnd)));
        }
    }
    // Calls f(text) for the lines lines[i] + shift, i below `count`, in that order: a block of
    // a sorted column. The lines lie anywhere, so their bounds and texts are fetched a few rows
    // ahead of their turn.
    template <class F>
    void VisitLinesAt(const uint32_t* lines, int64_t shift, int32_t count, F&& f) const {
        constexpr int32_t kBoundsAhead = 16, kTextAhead = 8;
        const auto line = [&](int32_t i) {
            return static_cast<uint64_t>(int64_t{lines[i]} + shift);
        };
        for (int32_t i = 0; i < count; ++i) {
            if (i + kBoundsAhead < count) {
                const uint64_t k = line(i + kBoundsAhead);
                __builtin_prefetch(groups_.data() + (k >> kGroupShift));
                __builtin_prefetch(narrow_.data() + k);
            }
            if (i + kTextAhead < count) {
                __builtin_prefetch(base_ + Bound(line(i + kTextAhead)));
            }
            f(Line(line(i)));
        }
    }
    // The number of a line whose text is `text` itself (the same bytes of this buffer, not an
    // equal copy), if there is one below 2^31. Line `near` is tried first: down a column of a
    // loaded table, the next text is mostly the line one stride after the last one found.
    // Otherwise a search over the bounds.
    std::optional<uint32_t> Find(std::string_view text, uint64_t near) const;
    // The memory kept for the bounds, in bytes.
    std::size_t HeapBytes() const;

private:
    static constexpr uint64_t kLineEnd = 2;
    static constexpr int kGroupShift = 6;
    static constexpr uint64_t kGroupMask = (uint64_t{1} << kGroupShift) - 1;
    static constexpr uint64_t kWide = uint64_t{1} << 63;  // the group's bounds are in wide_

    uint64_t Bound(uint64_t k) const {
        const uint64_t group = groups_[k >> kGroupShift];
        if ((group & kWide) != 0) {
            return wide_[(group & ~kWide) + (k & kGroupMask)];
        }
        return group + narrow_[k];
    }
    // Drops every bound, keeping the room.
    void Forget();
    // Appends bound number narrow_.size().
    void Push(uint64_t bound);
    // Sets bound k of arrays sized for it, k after k within a group; a group that needs full
    // bounds takes its room at the end of `wide`.
    static void SetBound(uint64_t k, uint64_t bound, uint16_t* narrow, uint64_t* groups,
                         std::vector<uint64_t>& wide);
    // AddLines's steps: the number of the CR LF lines of [from, to) (or none when one of their
    // CRs has no LF), and setting the bounds [first, last), bound `first` being `place`.
    std::optional<uint64_t> CountLines(std::size_t from, std::size_t to, std::size_t end) const;
    // `at`, when given, is told the place reached every so many lines.
    using Reached = std::function<void(std::size_t place)>;
    bool SetBounds(uint64_t first, std::size_t place, uint64_t last, std::size_t end,
                   std::vector<uint64_t>& wide, const Reached* at);
    bool SetBoundsOnTwoThreads(std::size_t begin, std::size_t end, uint64_t bounds,
                               const Passed& passed);

    std::shared_ptr<const std::string> bytes_;
    const char* base_;
    std::vector<uint16_t> narrow_;  // per bound; unused in a wide group
    std::vector<uint64_t> groups_;  // the first bound of each group, or kWide and its place
    std::vector<uint64_t> wide_;
    uint64_t count_ = 0;
};

}  // namespace qv
