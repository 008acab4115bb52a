#include "tools/row_sort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "platform/failure.h"
#include "platform/parallel_sort.h"
#include "tools/statistics_number.h"

namespace qv {

namespace {

struct NumberKey {
    uint64_t key;  // ordered as the numbers are
    int32_t row;
};

struct TextKey {
    // The first sixteen bytes, big-endian, zero-filled: texts of up to sixteen bytes compare
    // without reaching their bytes elsewhere in memory.
    uint64_t head;
    uint64_t next;
    const char* data;
    uint32_t size;
    int32_t row;
};

// The bits of a double as an unsigned integer in the order of the values; -0 and 0 are one.
uint64_t OrderedBits(double value) {
    const auto bits = std::bit_cast<uint64_t>(value + 0.0);
    constexpr uint64_t kSign = uint64_t{1} << 63;
    return (bits & kSign) != 0 ? ~bits : bits | kSign;
}

// Eight bytes of `text` from `offset` as a big-endian integer, zero-filled past its end.
uint64_t BigEndianBytes(std::string_view text, std::size_t offset) {
    unsigned char bytes[8] = {};
    if (offset < text.size()) {
        std::memcpy(bytes, text.data() + offset, std::min<std::size_t>(text.size() - offset, 8));
    }
    uint64_t value = 0;
    for (unsigned char b : bytes) {
        value = value << 8 | b;
    }
    return value;
}

TextKey MakeTextKey(std::string_view text, int32_t row) {
    return TextKey{BigEndianBytes(text, 0), BigEndianBytes(text, 8), text.data(),
                   static_cast<uint32_t>(text.size()), row};
}

// Byte order, unsigned. Equal heads of texts both within them are equal up to the shorter text's
// end (the zero fill matches its missing bytes), so the shorter text comes first.
bool TextBefore(const TextKey& a, const TextKey& b) {
    if (a.head != b.head) {
        return a.head < b.head;
    }
    if (a.next != b.next) {
        return a.next < b.next;
    }
    if (a.size <= 16 || b.size <= 16) {
        return a.size < b.size;
    }
    return std::string_view(a.data + 16, a.size - 16) < std::string_view(b.data + 16, b.size - 16);
}

// A stable least-significant-digit radix sort by key, eleven bits at a time; a digit that all
// keys share costs no pass.
void RadixSort(std::vector<NumberKey>& keys) {
    constexpr int kBits = 11;
    constexpr int kDigits = (64 + kBits - 1) / kBits;
    constexpr std::size_t kBuckets = std::size_t{1} << kBits;
    std::vector<std::array<std::size_t, kBuckets>> counts(kDigits);
    for (auto& count : counts) {
        count.fill(0);
    }
    for (const NumberKey& k : keys) {
        for (int d = 0; d < kDigits; ++d) {
            ++counts[static_cast<std::size_t>(d)][(k.key >> (d * kBits)) & (kBuckets - 1)];
        }
    }
    std::vector<NumberKey> other(keys.size());
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
        for (const NumberKey& k : keys) {
            other[count[(k.key >> (d * kBits)) & (kBuckets - 1)]++] = k;
        }
        keys.swap(other);
    }
}

}  // namespace

RowOrder SortedRowOrder(const TableGrid& grid, int32_t col, SortOrder order) {
    RowOrder result;
    result.firstRow = 1;
    const int32_t end =
        std::min(grid.RowCount(), grid.StoredRowEnd(1, std::numeric_limits<int32_t>::max()));
    if (end <= 2) {
        return result;
    }
    const bool descending = order == SortOrder::Descending;
    std::vector<NumberKey> numbers;
    std::vector<TextKey> texts;
    std::vector<int32_t> empties;
    std::string buffer;
    int32_t row = 1;
    grid.VisitColumn(col, 1, end, [&](std::string_view text) {
        double value = 0.0;
        if (text.empty()) {
            empties.push_back(row);
        } else if (ReadCellNumber(text, buffer, value) == NumberReading::Number) {
            const uint64_t key = OrderedBits(value);
            numbers.push_back(NumberKey{descending ? ~key : key, row});
        } else {
            texts.push_back(MakeTextKey(text, row));
        }
        ++row;
    });
    RadixSort(numbers);
    if (descending) {
        StableSortOnTwoThreads(texts,
                               [](const TextKey& a, const TextKey& b) { return TextBefore(b, a); });
    } else {
        StableSortOnTwoThreads(texts, TextBefore);
    }
    result.sources.reserve(static_cast<std::size_t>(end - 1));
    const auto appendNumbers = [&] {
        for (const NumberKey& k : numbers) {
            result.sources.push_back(k.row);
        }
    };
    const auto appendTexts = [&] {
        for (const TextKey& k : texts) {
            result.sources.push_back(k.row);
        }
    };
    if (descending) {
        appendTexts();
        appendNumbers();
    } else {
        appendNumbers();
        appendTexts();
    }
    result.sources.insert(result.sources.end(), empties.begin(), empties.end());
    return result;
}

RowOrder InverseRowOrder(const RowOrder& order) {
    RowOrder inverse;
    inverse.firstRow = order.firstRow;
    inverse.sources.resize(order.sources.size());
    for (std::size_t i = 0; i < order.sources.size(); ++i) {
        const int64_t at = int64_t{order.sources[i]} - order.firstRow;
        if (at < 0 || at >= static_cast<int64_t>(order.sources.size())) {
            throw Failure(kGridIndexMessage);
        }
        inverse.sources[static_cast<std::size_t>(at)] = order.firstRow + static_cast<int32_t>(i);
    }
    return inverse;
}

void ApplyRowOrder(TableGrid& grid, const RowOrder& order) {
    grid.PermuteRows(order.firstRow, order.sources, 1);
}

RowOrder SortRows(TableGrid& grid, int32_t col, SortOrder order) {
    RowOrder sorted = SortedRowOrder(grid, col, order);
    ApplyRowOrder(grid, sorted);
    return sorted;
}

}  // namespace qv
