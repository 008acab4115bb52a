// Pairing the rows of two tables by position (a patience diff over row hashes) or by key.
#include "tools/row_pairing.h"

#include <algorithm>

namespace qv {

namespace {

// Element i of a vector or span, for the int32_t row numbers of the grid.
template <class Container, class Index>
decltype(auto) At(Container& container, Index i) {
    return container[static_cast<std::size_t>(i)];
}

// Appends runs, joining one to the last when it goes straight on from it.
class RunList {
public:
    void Add(RowPairKind kind, int32_t rowA, int32_t rowB, int32_t count) {
        if (count <= 0) {
            return;
        }
        if (!runs_.empty() && GoesOn(runs_.back(), kind, rowA, rowB)) {
            runs_.back().count += count;
            return;
        }
        runs_.push_back({kind, rowA, rowB, count});
    }
    // One pair, Same or Changed by its hashes.
    void AddPair(int32_t rowA, int32_t rowB, bool equal) {
        Add(equal ? RowPairKind::Same : RowPairKind::Changed, rowA, rowB, 1);
    }
    std::vector<RowRun> Take() { return std::move(runs_); }

private:
    static bool GoesOn(const RowRun& last, RowPairKind kind, int32_t rowA, int32_t rowB) {
        if (last.kind != kind) {
            return false;
        }
        const bool advancesA = kind != RowPairKind::OnlyB;
        const bool advancesB = kind != RowPairKind::OnlyA;
        return rowA == last.rowA + (advancesA ? last.count : 0) &&
               rowB == last.rowB + (advancesB ? last.count : 0);
    }
    std::vector<RowRun> runs_;
};

// An open-addressing table keyed by row hash, which are well mixed already: their high bits,
// scaled to the table's size, give the first slot to probe. Sized for at most `count` keys at a
// load of at most four fifths, without rounding to a power of two: its memory is what counts.
// A Slot tells whether it is Used() and whether it Holds(hash).
template <class Slot>
class HashSlots {
public:
    explicit HashSlots(std::size_t count) : slots_(count + count / 4 + 16) {}
    // The slot of `hash`, or the empty slot where it would go (Slot::Used() false).
    Slot& Find(RowHash hash) {
        std::size_t i = Home(hash);
        while (slots_[i].Used() && !slots_[i].Holds(hash)) {
            i = i + 1 == slots_.size() ? 0 : i + 1;
        }
        return slots_[i];
    }

    // Asks the memory for the slot of a hash to come, while the slots before it are probed.
    void Prefetch(RowHash hash) const { __builtin_prefetch(&slots_[Home(hash)]); }

private:
    std::size_t Home(RowHash hash) const {
        __extension__ using Wide = unsigned __int128;
        return static_cast<std::size_t>((Wide{hash} * slots_.size()) >> 64);
    }
    std::vector<Slot> slots_;
};

// How many rows ahead the loops over a table's hashes prefetch their slots.
constexpr int32_t kPrefetchAhead = 8;

constexpr int32_t kNone = -1;
constexpr int32_t kSeveral = -2;
constexpr int32_t kUnused = -3;

// A row's hash in a region of the position diff: where it stands in A and in B, when once.
struct UniqueSlot {
    RowHash hash = 0;
    int32_t posA = kUnused;  // kSeveral when it occurs more than once
    int32_t posB = kNone;
    bool Used() const { return posA != kUnused; }
    bool Holds(RowHash h) const { return hash == h; }
};

struct Anchor {
    int32_t a;
    int32_t b;
};

// Past this depth of regions within regions, a region is paired in order: it keeps the work
// linear however the rows repeat.
constexpr int kMaxDepth = 16;
// A stretch of unequal length is weighed cell by cell up to this many pairs of rows: the work
// stays within 16 times the longer side.
constexpr int32_t kMostCellsWeighed = 256;

class PositionDiff {
public:
    PositionDiff(std::span<const RowHash> a, std::span<const RowHash> b,
                 const EqualCellCount& equalCells)
        : a_(a), b_(b), equalCells_(equalCells) {}

    std::vector<RowRun> Run() {
        Align(0, static_cast<int32_t>(a_.size()), 0, static_cast<int32_t>(b_.size()), 0);
        return runs_.Take();
    }

private:
    void Align(int32_t a0, int32_t a1, int32_t b0, int32_t b1, int depth) {
        const int32_t prefixA = a0;
        const int32_t prefixB = b0;
        while (a0 < a1 && b0 < b1 && At(a_, a0) == At(b_, b0)) {
            ++a0;
            ++b0;
        }
        runs_.Add(RowPairKind::Same, prefixA, prefixB, a0 - prefixA);
        int32_t suffix = 0;
        while (a1 - suffix > a0 && b1 - suffix > b0 &&
               At(a_, a1 - suffix - 1) == At(b_, b1 - suffix - 1)) {
            ++suffix;
        }
        a1 -= suffix;
        b1 -= suffix;
        std::vector<Anchor> anchors;
        if (a0 < a1 && b0 < b1 && depth < kMaxDepth) {
            anchors = FindAnchors(a0, a1, b0, b1);
        }
        for (const Anchor& anchor : anchors) {
            Align(a0, anchor.a, b0, anchor.b, depth + 1);
            runs_.Add(RowPairKind::Same, anchor.a, anchor.b, 1);
            a0 = anchor.a + 1;
            b0 = anchor.b + 1;
        }
        if (anchors.empty()) {
            PairInOrder(a0, a1, b0, b1);
        } else {
            Align(a0, a1, b0, b1, depth + 1);
        }
        runs_.Add(RowPairKind::Same, a1, b1, suffix);
    }

    // The rows that occur once in each side of the region, the longest run of them that stands
    // in the same order on both sides.
    std::vector<Anchor> FindAnchors(int32_t a0, int32_t a1, int32_t b0, int32_t b1) const {
        std::vector<Anchor> unique;
        {
            HashSlots<UniqueSlot> slots(static_cast<std::size_t>(a1 - a0));
            for (int32_t i = a0; i < a1; ++i) {
                if (i + kPrefetchAhead < a1) {
                    slots.Prefetch(At(a_, i + kPrefetchAhead));
                }
                UniqueSlot& slot = slots.Find(At(a_, i));
                if (slot.Used()) {
                    slot.posA = kSeveral;
                } else {
                    slot = {At(a_, i), i, kNone};
                }
            }
            // Rows of B whose row A holds once, noted at their first sight; those that turn up
            // again in B drop out below, with a second look at the candidates only.
            for (int32_t j = b0; j < b1; ++j) {
                if (j + kPrefetchAhead < b1) {
                    slots.Prefetch(At(b_, j + kPrefetchAhead));
                }
                UniqueSlot& slot = slots.Find(At(b_, j));
                if (slot.Used()) {
                    if (slot.posB == kNone && slot.posA >= 0) {
                        unique.push_back({slot.posA, j});
                    }
                    slot.posB = slot.posB == kNone ? j : kSeveral;
                }
            }
            std::erase_if(unique, [&](const Anchor& anchor) {
                return slots.Find(At(b_, anchor.b)).posB != anchor.b;
            });
        }
        return LongestIncreasingRun(unique);
    }

    // `pairs` stand in B's order; the longest subsequence increasing in A too (patience sort).
    static std::vector<Anchor> LongestIncreasingRun(const std::vector<Anchor>& pairs) {
        std::vector<int32_t> tails;  // index into pairs of the least tail of each length
        std::vector<int32_t> before(pairs.size(), kNone);
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            const auto place =
                std::lower_bound(tails.begin(), tails.end(), At(pairs, k).a,
                                 [&pairs](int32_t t, int32_t a) { return At(pairs, t).a < a; });
            if (place != tails.begin()) {
                At(before, k) = *(place - 1);
            }
            if (place == tails.end()) {
                tails.push_back(static_cast<int32_t>(k));
            } else {
                *place = static_cast<int32_t>(k);
            }
        }
        std::vector<Anchor> run;
        for (int32_t k = tails.empty() ? kNone : tails.back(); k != kNone; k = At(before, k)) {
            run.push_back(At(pairs, k));
        }
        std::reverse(run.begin(), run.end());
        return run;
    }

    void PairInOrder(int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
        const int32_t m = a1 - a0;
        const int32_t n = b1 - b0;
        if (m != n && m > 0 && n > 0 && m * n <= kMostCellsWeighed && equalCells_) {
            PairMostAlike(a0, a1, b0, b1);
            return;
        }
        const int32_t paired = std::min(a1 - a0, b1 - b0);
        for (int32_t k = 0; k < paired; ++k) {
            runs_.AddPair(a0 + k, b0 + k, At(a_, a0 + k) == At(b_, b0 + k));
        }
        runs_.Add(RowPairKind::OnlyA, a0 + paired, b0 + paired, a1 - a0 - paired);
        runs_.Add(RowPairKind::OnlyB, a0 + paired, b0 + paired, b1 - b0 - paired);
    }

    // The pairing in order of both sides that shares the most cells between paired rows (a
    // small dynamic programme: each pair scores twice its equal cells and one, so that alikeness
    // comes first and, among equals, more pairs).
    void PairMostAlike(int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
        const int32_t m = a1 - a0;
        const int32_t n = b1 - b0;
        const auto width = static_cast<std::size_t>(n + 1);
        std::vector<int32_t> score(static_cast<std::size_t>(m + 1) * width, 0);
        const auto at = [&score, width](int32_t i, int32_t j) -> int32_t& {
            return score[static_cast<std::size_t>(i) * width + static_cast<std::size_t>(j)];
        };
        const auto pairScore = [&](int32_t i, int32_t j) {
            return 2 * equalCells_(a0 + i, b0 + j) + 1;
        };
        for (int32_t i = m - 1; i >= 0; --i) {
            for (int32_t j = n - 1; j >= 0; --j) {
                at(i, j) =
                    std::max({at(i + 1, j), at(i, j + 1), at(i + 1, j + 1) + pairScore(i, j)});
            }
        }
        int32_t i = 0;
        int32_t j = 0;
        while (i < m && j < n) {
            if (at(i, j) == at(i + 1, j + 1) + pairScore(i, j)) {
                runs_.AddPair(a0 + i, b0 + j, At(a_, a0 + i) == At(b_, b0 + j));
                ++i;
                ++j;
            } else if (at(i, j) == at(i + 1, j)) {
                runs_.Add(RowPairKind::OnlyA, a0 + i, b0 + j, 1);
                ++i;
            } else {
                runs_.Add(RowPairKind::OnlyB, a0 + i, b0 + j, 1);
                ++j;
            }
        }
        runs_.Add(RowPairKind::OnlyA, a0 + i, b0 + j, m - i);
        runs_.Add(RowPairKind::OnlyB, a0 + i, b0 + j, n - j);
    }

    std::span<const RowHash> a_;
    std::span<const RowHash> b_;
    const EqualCellCount& equalCells_;
    RunList runs_;
};

// A key of A and the first of A's rows with it that no row of B has taken yet (kNone once all
// are taken). The hash is kept in two halves, so that a slot takes twelve bytes, not sixteen:
// the table is the largest part of the pairing's memory.
struct KeySlot {
    uint32_t hashLow = 0;
    uint32_t hashHigh = 0;
    int32_t head = kUnused;

    bool Used() const { return head != kUnused; }
    bool Holds(RowHash hash) const {
        return hashLow == static_cast<uint32_t>(hash) && hashHigh == hash >> 32;
    }
    void Take(RowHash hash) {
        hashLow = static_cast<uint32_t>(hash);
        hashHigh = static_cast<uint32_t>(hash >> 32);
        head = kNone;
    }
};

// Rows of A and of B paired by key, k-th with k-th; the repeated keys of each side noted.
class KeyMatch {
public:
    KeyMatch(std::span<const RowHash> keysA, std::span<const RowHash> keysB)
        : keysA_(keysA),
          keysB_(keysB),
          partnerA_(keysA.size(), kNone),
          pairedB_(keysB.size(), false) {}

    // Fills `duplicatesA` and `duplicatesB` of `pairing`.
    void Run(KeyPairing& pairing) {
        std::vector<int32_t> strangersB;
        {
            HashSlots<KeySlot> slots(keysA_.size());
            std::vector<int32_t> nextA = ChainRowsOfA(slots, pairing.duplicatesA);
            strangersB = PairRowsOfB(slots, nextA, pairing);
        }
        std::vector<int32_t> repeatedStrangers = RepeatsAmong(strangersB);
        std::vector<int32_t> all;
        all.reserve(pairing.duplicatesB.size() + repeatedStrangers.size());
        std::merge(pairing.duplicatesB.begin(), pairing.duplicatesB.end(),
                   repeatedStrangers.begin(), repeatedStrangers.end(), std::back_inserter(all));
        pairing.duplicatesB = std::move(all);
    }

    int32_t PartnerOfA(int32_t i) const { return At(partnerA_, i); }
    bool PairedB(int32_t j) const { return At(pairedB_, j); }

private:
    // A slot for each key of A, its rows chained in A's order through the result; the rows
    // whose key an earlier row has go to `duplicatesA`, in order.
    std::vector<int32_t> ChainRowsOfA(HashSlots<KeySlot>& slots,
                                      std::vector<int32_t>& duplicatesA) const {
        std::vector<int32_t> nextA(keysA_.size(), kNone);
        // From the last row up, so that each chain runs in A's order; the row a chain held
        // before an earlier row joined it is a repetition.
        for (auto i = static_cast<int32_t>(keysA_.size()) - 1; i >= 0; --i) {
            if (i >= kPrefetchAhead) {
                slots.Prefetch(At(keysA_, i - kPrefetchAhead));
            }
            KeySlot& slot = slots.Find(At(keysA_, i));
            if (slot.Used()) {
                duplicatesA.push_back(slot.head);
            } else {
                slot.Take(At(keysA_, i));
            }
            At(nextA, i) = slot.head;
            slot.head = i;
        }
        std::reverse(duplicatesA.begin(), duplicatesA.end());
        return nextA;
    }

    // Each row of B takes the first row of A with its key that no earlier row of B took. A row
    // of B repeats a key when the row of A it takes repeats it, or when every row of A with its
    // key is taken already; those go to pairing.duplicatesB. The rows whose key A lacks are
    // returned, for their repetitions among themselves.
    std::vector<int32_t> PairRowsOfB(HashSlots<KeySlot>& slots, const std::vector<int32_t>& nextA,
                                     KeyPairing& pairing) {
        std::vector<int32_t> strangers;
        const auto n = static_cast<int32_t>(keysB_.size());
        for (int32_t j = 0; j < n; ++j) {
            if (j + kPrefetchAhead < n) {
                slots.Prefetch(At(keysB_, j + kPrefetchAhead));
            }
            KeySlot& slot = slots.Find(At(keysB_, j));
            if (!slot.Used()) {
                strangers.push_back(j);
                continue;
            }
            const int32_t i = slot.head;
            if (i == kNone ||
                std::binary_search(pairing.duplicatesA.begin(), pairing.duplicatesA.end(), i)) {
                pairing.duplicatesB.push_back(j);
            }
            if (i != kNone) {
                At(partnerA_, i) = j;
                At(pairedB_, j) = true;
                slot.head = At(nextA, i);
            }
        }
        return strangers;
    }

    // The rows (ascending) whose key an earlier one of them has.
    std::vector<int32_t> RepeatsAmong(const std::vector<int32_t>& rowsB) const {
        std::vector<int32_t> repeats;
        HashSlots<KeySlot> slots(rowsB.size());
        for (const int32_t j : rowsB) {
            KeySlot& slot = slots.Find(At(keysB_, j));
            if (slot.Used()) {
                repeats.push_back(j);
            } else {
                slot.Take(At(keysB_, j));
            }
        }
        return repeats;
    }

    std::span<const RowHash> keysA_;
    std::span<const RowHash> keysB_;
    std::vector<int32_t> partnerA_;
    std::vector<bool> pairedB_;
};

}  // namespace

std::vector<RowRun> PairRowsByPosition(std::span<const RowHash> a, std::span<const RowHash> b,
                                       const EqualCellCount& equalCells) {
    return PositionDiff(a, b, equalCells).Run();
}

KeyPairing PairRowsByKey(std::span<const RowHash> keysA, std::span<const RowHash> keysB,
                         std::span<const RowHash> rowsA, std::span<const RowHash> rowsB) {
    const auto m = static_cast<int32_t>(keysA.size());
    const auto n = static_cast<int32_t>(keysB.size());
    KeyPairing pairing;
    KeyMatch match(keysA, keysB);
    match.Run(pairing);
    RunList runs;
    const auto addUnpairedB = [&](int32_t from, int32_t rowA) {
        for (int32_t j = from; j < n && !match.PairedB(j); ++j) {
            runs.Add(RowPairKind::OnlyB, rowA, j, 1);
        }
    };
    addUnpairedB(0, 0);
    int32_t nextB = 0;
    for (int32_t i = 0; i < m; ++i) {
        const int32_t j = match.PartnerOfA(i);
        if (j == kNone) {
            runs.Add(RowPairKind::OnlyA, i, nextB, 1);
            continue;
        }
        runs.AddPair(i, j, At(rowsA, i) == At(rowsB, j));
        nextB = j + 1;
        addUnpairedB(j + 1, i + 1);
    }
    pairing.runs = runs.Take();
    return pairing;
}

}  // namespace qv
