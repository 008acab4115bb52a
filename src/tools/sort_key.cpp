// Keys of a sort by one column: twelve bytes a row, sorted in place, ties of long texts settled
// by reading their texts again.
#include "tools/sort_key.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "platform/parallel_sort.h"

namespace qv {

namespace {

constexpr std::size_t kDigitBytes = 7;
constexpr uint64_t kGoesOn = 8;  // the count of a digit whose text has more bytes after it

bool GoesOn(uint64_t digit, SortOrder order) {
    const uint64_t count = (order == SortOrder::Descending ? ~digit : digit) & 0xFF;
    return count == kGoesOn;
}

// Keys [begin, end) of a run whose texts are equal in their first `offset` bytes.
struct TiedRun {
    std::size_t begin;
    std::size_t end;
    std::size_t offset;
};

// Settles the runs of keys whose digits tie while their texts go on. Each round reads the
// texts of every tied key in one pass down the column (rows found through a map from row to
// key, 4 bytes a row) and sorts each run by its next digits; a run that none of them splits is
// read once more for the bytes its texts share, and goes on from where they differ. When few
// tied keys are left, their texts are compared directly.
class TieBreaker {
public:
    TieBreaker(std::span<DigitKey> keys, const TableGrid& grid, int32_t col, int32_t rowEnd,
               SortOrder order)
        : keys_(keys), grid_(grid), col_(col), rowEnd_(rowEnd), order_(order) {}

    // The keys are sorted by their first digits already.
    void Run() {
        std::vector<TiedRun> runs;
        AddTies(0, keys_.size(), 0, runs);
        while (!runs.empty()) {
            if (Members(runs) <= keys_.size() / kFewTiesShare) {
                for (const TiedRun& run : runs) {
                    CompareTexts(run);
                }
                return;
            }
            SetDigits(runs);
            std::vector<TiedRun> next;
            std::vector<TiedRun> unsplit;
            for (const TiedRun& run : runs) {
                if (Splits(run)) {
                    SortAndAddTies(run, next);
                } else {
                    unsplit.push_back(run);
                }
            }
            if (!unsplit.empty()) {
                SkipSharedBytes(unsplit);
                SetDigits(unsplit);
                for (const TiedRun& run : unsplit) {
                    SortAndAddTies(run, next);
                }
            }
            runs = std::move(next);
        }
    }

private:
    // Past this share of all keys in ties, the ties are settled by comparing texts.
    static constexpr std::size_t kFewTiesShare = 16;

    static std::size_t Members(const std::vector<TiedRun>& runs) {
        std::size_t members = 0;
        for (const TiedRun& run : runs) {
            members += run.end - run.begin;
        }
        return members;
    }

    std::span<DigitKey> KeysOf(const TiedRun& run) const {
        return keys_.subspan(run.begin, run.end - run.begin);
    }

    // The runs of equal digits at `offset` within [begin, end) whose texts go on past them.
    void AddTies(std::size_t begin, std::size_t end, std::size_t offset,
                 std::vector<TiedRun>& runs) const {
        for (std::size_t first = begin; first < end;) {
            const uint64_t digit = keys_[first].Digit();
            std::size_t last = first + 1;
            while (last < end && keys_[last].Digit() == digit) {
                ++last;
            }
            if (last - first > 1 && GoesOn(digit, order_)) {
                runs.push_back({first, last, offset + kDigitBytes});
            }
            first = last;
        }
    }

    // Whether the digits of the run differ, or tell that every text ends.
    bool Splits(const TiedRun& run) const {
        const std::span<DigitKey> keys = KeysOf(run);
        const uint64_t digit = keys.front().Digit();
        return !GoesOn(digit, order_) || std::any_of(keys.begin(), keys.end(), [digit](auto& k) {
            return k.Digit() != digit;
        });
    }

    void SortAndAddTies(const TiedRun& run, std::vector<TiedRun>& runs) const {
        const std::span<DigitKey> keys = KeysOf(run);
        std::sort(keys.begin(), keys.end());
        AddTies(run.begin, run.end, run.offset, runs);
    }

    // f(run, key, text) for each key of `runs`, in the order of their rows.
    template <class F>
    void VisitTexts(const std::vector<TiedRun>& runs, F&& f) {
        if (keyOfRow_.empty()) {
            keyOfRow_.assign(static_cast<std::size_t>(rowEnd_), kNoKey);
        }
        for (std::size_t r = 0; r < runs.size(); ++r) {
            for (DigitKey& key : KeysOf(runs[r])) {
                keyOfRow_[static_cast<std::size_t>(key.row)] =
                    static_cast<uint32_t>(&key - keys_.data());
                key.SetDigit(r);  // the run, until f sets the digit
            }
        }
        int32_t row = 1;
        grid_.VisitColumn(col_, 1, rowEnd_, [&](std::string_view text) {
            uint32_t& k = keyOfRow_[static_cast<std::size_t>(row++)];
            if (k != kNoKey) {
                DigitKey& key = keys_[k];
                f(runs[key.Digit()], key, text);
                k = kNoKey;
            }
        });
    }

    void SetDigits(const std::vector<TiedRun>& runs) {
        VisitTexts(runs, [this](const TiedRun& run, DigitKey& key, std::string_view text) {
            key.SetDigit(TextDigit(text, run.offset, order_));
        });
    }

    // Moves each run's offset to the end of the bytes all its texts share.
    void SkipSharedBytes(std::vector<TiedRun>& runs) {
        std::vector<std::string_view> firsts(runs.size());
        std::vector<bool> seen(runs.size(), false);
        VisitTexts(runs, [&](const TiedRun& run, DigitKey&, std::string_view text) {
            const auto r = static_cast<std::size_t>(&run - runs.data());
            if (!seen[r]) {
                seen[r] = true;
                firsts[r] = text;
                runs[r].offset = text.size();
                return;
            }
            const std::string_view first = firsts[r];
            const std::size_t most = std::min(runs[r].offset, text.size());
            const auto differ = std::mismatch(
                first.begin(), first.begin() + static_cast<std::ptrdiff_t>(most), text.begin());
            runs[r].offset = static_cast<std::size_t>(differ.first - first.begin());
        });
    }

    // A run sorted by comparing its texts (unsigned bytes), then rows.
    void CompareTexts(const TiedRun& run) {
        const std::span<DigitKey> keys = KeysOf(run);
        views_.clear();
        for (const DigitKey& key : keys) {
            views_.push_back({grid_.Cell(col_, key.row), key.row});
        }
        const bool descending = order_ == SortOrder::Descending;
        std::sort(views_.begin(), views_.end(), [descending](const View& a, const View& b) {
            const int c = a.text.compare(b.text);
            return c != 0 ? (descending ? c > 0 : c < 0) : a.row < b.row;
        });
        for (std::size_t k = 0; k < keys.size(); ++k) {
            keys[k].row = views_[k].row;
        }
    }

    struct View {
        std::string_view text;
        int32_t row;
    };
    static constexpr uint32_t kNoKey = UINT32_MAX;

    std::span<DigitKey> keys_;
    const TableGrid& grid_;
    int32_t col_;
    int32_t rowEnd_;
    SortOrder order_;
    std::vector<uint32_t> keyOfRow_;
    std::vector<View> views_;
};

// Keys sorted by a radix pass on the eleven highest bits in which their digits differ, in place
// (American flag sort: each key swapped straight into its bucket), then each bucket alike, down
// to buckets short enough for std::sort. No two keys are equal, so no order is lost.
class RadixSorter {
public:
    static constexpr int kBits = 11;
    static constexpr std::size_t kBuckets = std::size_t{1} << kBits;
    static constexpr std::size_t kShortRun = 2048;

    using Bounds = std::array<std::size_t, kBuckets + 1>;

    static void Sort(std::span<DigitKey> keys) {
        if (keys.size() <= kShortRun) {
            std::sort(keys.begin(), keys.end());
            return;
        }
        Bounds bounds;
        if (!Distribute(keys, bounds)) {
            std::sort(keys.begin(), keys.end());  // equal digits: by row
            return;
        }
        SortBuckets(keys, bounds, 0, kBuckets);
    }

    // Distributes `keys` into buckets, bounds[b] .. bounds[b + 1] the keys of bucket b. False
    // when all digits are equal.
    static bool Distribute(std::span<DigitKey> keys, Bounds& bounds) {
        const uint64_t first = keys.front().Digit();
        uint64_t differ = 0;
        for (const DigitKey& key : keys) {
            differ |= key.Digit() ^ first;
        }
        if (differ == 0) {
            return false;
        }
        const int top = 64 - std::countl_zero(differ);
        const int shift = std::max(0, top - kBits);
        const auto bucketOf = [shift](const DigitKey& key) {
            return static_cast<std::size_t>(key.Digit() >> shift) & (kBuckets - 1);
        };
        std::array<std::size_t, kBuckets> heads{};
        for (const DigitKey& key : keys) {
            ++heads[bucketOf(key)];
        }
        std::size_t sum = 0;
        for (std::size_t b = 0; b < kBuckets; ++b) {
            bounds[b] = sum;
            sum += heads[b];
            heads[b] = bounds[b];
        }
        bounds[kBuckets] = sum;
        for (std::size_t b = 0; b < kBuckets; ++b) {
            while (heads[b] < bounds[b + 1]) {
                DigitKey& here = keys[heads[b]];
                const std::size_t to = bucketOf(here);
                if (to == b) {
                    ++heads[b];
                } else {
                    std::swap(here, keys[heads[to]++]);
                }
            }
        }
        return true;
    }

    static void SortBuckets(std::span<DigitKey> keys, const Bounds& bounds, std::size_t from,
                            std::size_t to) {
        for (std::size_t b = from; b < to; ++b) {
            Sort(keys.subspan(bounds[b], bounds[b + 1] - bounds[b]));
        }
    }
};

// A stable least-significant-digit radix sort by digit, eleven bits at a time through `other`
// (as long as `keys`); a digit that all keys share costs no pass. Keys whose rows ascend come
// out in the order of (digit, row).
void StableRadixSort(std::span<DigitKey> keys, std::span<DigitKey> other) {
    constexpr int kBits = 11;
    constexpr int kDigits = (64 + kBits - 1) / kBits;
    constexpr std::size_t kBuckets = std::size_t{1} << kBits;
    std::vector<std::array<std::size_t, kBuckets>> counts(kDigits);
    for (auto& count : counts) {
        count.fill(0);
    }
    for (const DigitKey& k : keys) {
        const uint64_t digit = k.Digit();
        for (int d = 0; d < kDigits; ++d) {
            ++counts[static_cast<std::size_t>(d)][(digit >> (d * kBits)) & (kBuckets - 1)];
        }
    }
    std::span<DigitKey> from = keys;
    std::span<DigitKey> to = other;
    for (int d = 0; d < kDigits; ++d) {
        auto& count = counts[static_cast<std::size_t>(d)];
        if (std::find(count.begin(), count.end(), keys.size()) != count.end()) {
            continue;
        }
        std::size_t sum = 0;
        for (std::size_t& c : count) {
            const std::size_t here = c;
            c = sum;
            sum += here;
        }
        for (const DigitKey& k : from) {
            to[count[(k.Digit() >> (d * kBits)) & (kBuckets - 1)]++] = k;
        }
        std::swap(from, to);
    }
    if (from.data() != keys.data()) {
        std::copy(from.begin(), from.end(), keys.begin());
    }
}

// The radix sort of `keys`, its buckets shared between two threads when there are many keys.
void SortKeysOnTwoThreads(std::span<DigitKey> keys) {
    RadixSorter::Bounds bounds;
    if (keys.size() < kItemsWorthTwoThreads || !RadixSorter::Distribute(keys, bounds)) {
        RadixSorter::Sort(keys);
        return;
    }
    // The second thread takes the buckets from the one that holds the middle key on.
    std::size_t middle = 0;
    while (bounds[middle + 1] <= keys.size() / 2) {
        ++middle;
    }
    const auto sortBuckets = [&](std::size_t from, std::size_t to) {
        RadixSorter::SortBuckets(keys, bounds, from, to);
    };
    RunOnTwoThreads([&] { sortBuckets(0, middle); },
                    [&] { sortBuckets(middle, RadixSorter::kBuckets); },
                    [&] { sortBuckets(0, RadixSorter::kBuckets); });
}

}  // namespace

uint64_t NumberDigit(double value, SortOrder order) {
    const auto bits = std::bit_cast<uint64_t>(value + 0.0);
    constexpr uint64_t kSign = uint64_t{1} << 63;
    const uint64_t digit = (bits & kSign) != 0 ? ~bits : bits | kSign;
    return order == SortOrder::Descending ? ~digit : digit;
}

uint64_t TextDigit(std::string_view text, std::size_t offset, SortOrder order) {
    const std::size_t left = text.size() > offset ? text.size() - offset : 0;
    unsigned char bytes[kDigitBytes] = {};
    if (left > 0) {
        std::memcpy(bytes, text.data() + offset, std::min(left, kDigitBytes));
    }
    uint64_t digit = 0;
    for (const unsigned char b : bytes) {
        digit = digit << 8 | b;
    }
    digit = digit << 8 | std::min<uint64_t>(left, kGoesOn);
    return order == SortOrder::Descending ? ~digit : digit;
}

void SortTextKeys(std::span<DigitKey> keys, const TableGrid& grid, int32_t col, int32_t rowEnd,
                  SortOrder order) {
    SortKeysOnTwoThreads(keys);
    TieBreaker(keys, grid, col, rowEnd, order).Run();
}

void SortNumberKeys(std::span<DigitKey> keys) {
    // Numbers repeat often, and a stable sort of keys made in the order of their rows needs no
    // comparison of rows; one half after the other through a buffer of half their size, then
    // merged through a copy of the first half.
    const std::size_t half = keys.size() / 2;
    {
        std::vector<DigitKey> other(keys.size() - half);
        StableRadixSort(keys.first(half), std::span(other).first(half));
        StableRadixSort(keys.subspan(half), other);
    }
    MergeSortedHalves(keys, half, std::less<DigitKey>());
}

}  // namespace qv
