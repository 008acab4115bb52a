// Row hashes for comparing tables: one pass down each compared column.
#include "tools/row_hashes.h"

#include <functional>
#include <string>
#include <string_view>

#include "tools/loose_text.h"

namespace qv {

namespace {

constexpr uint64_t kColumnStep = 0x9E3779B97F4A7C15ull;

// The last mixing step of splitmix64: spreads every input bit over the result, so that the
// low bits alone can index a hash table.
uint64_t Mix(uint64_t h) {
    h ^= h >> 30;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 27;
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 31);
}

}  // namespace

std::vector<RowHash> HashRows(const TableGrid& grid, std::span<const int32_t> cols, int32_t rowEnd,
                              TextMatching matching) {
    const int32_t rows = rowEnd > 1 ? rowEnd - 1 : 0;
    std::vector<RowHash> hashes(static_cast<std::size_t>(rows), 0);
    const std::hash<std::string_view> hashText;
    const uint64_t emptyHash = hashText(std::string_view());
    for (const int32_t col : cols) {
        // Multiplying before adding makes the digest depend on the order of the columns, so
        // that cells swapped between columns change it.
        if (col < 0) {
            for (RowHash& h : hashes) {
                h = h * kColumnStep + emptyHash;
            }
            continue;
        }
        RowHash* next = hashes.data();
        if (matching == TextMatching::Exact) {
            grid.VisitColumn(col, 1, rowEnd, [&next, &hashText](std::string_view text) {
                *next = *next * kColumnStep + hashText(text);
                ++next;
            });
            continue;
        }
        std::string folded;
        grid.VisitColumn(col, 1, rowEnd, [&](std::string_view text) {
            folded.clear();
            AppendLooseFold(text, folded);
            *next = *next * kColumnStep + hashText(folded);
            ++next;
        });
    }
    for (RowHash& h : hashes) {
        h = Mix(h);
    }
    return hashes;
}

}  // namespace qv
