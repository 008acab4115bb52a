#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "table/table_grid.h"
#include "tools/row_sort.h"

namespace qv {

// A row's place in a sort by one column: a 64-bit digit ordered as the cells are, then the row,
// so that no two keys are equal and any sort of them is stable. Twelve bytes: the digit is kept
// in two halves, so that ten million keys take 120 MB rather than 160.
struct DigitKey {
    uint32_t digitHigh = 0;
    uint32_t digitLow = 0;
    int32_t row = 0;

    static DigitKey Of(uint64_t digit, int32_t row) {
        return {static_cast<uint32_t>(digit >> 32), static_cast<uint32_t>(digit), row};
    }
    uint64_t Digit() const { return uint64_t{digitHigh} << 32 | digitLow; }
    void SetDigit(uint64_t digit) { *this = Of(digit, row); }
};

inline bool operator<(const DigitKey& a, const DigitKey& b) {
    const uint64_t da = a.Digit();
    const uint64_t db = b.Digit();
    return da != db ? da < db : a.row < b.row;
}

// The digit of a number: the bits of the double in the order of the values (-0 and 0 are one),
// mirrored for Descending.
uint64_t NumberDigit(double value, SortOrder order);

// The digit of a text's bytes from `offset`: seven of them, big-endian and zero-filled, then how
// many bytes are left from there, up to eight. Digits order texts that are equal before
// `offset` by their unsigned bytes, a text before every longer one it begins; a text whose
// digit says eight bytes are left goes on, and equal digits of such texts tie only so far.
// Mirrored for Descending.
uint64_t TextDigit(std::string_view text, std::size_t offset, SortOrder order);

// Sorts text keys made with TextDigit(text, 0, order) of the texts of column `col` (rows below
// `rowEnd`) into the order of their texts, then rows: runs of keys whose texts go on past their
// digits are read again from the grid and sorted by their next bytes.
void SortTextKeys(std::span<DigitKey> keys, const TableGrid& grid, int32_t col, int32_t rowEnd,
                  SortOrder order);

// Sorts keys whose digits alone order them (numbers), made in the order of their rows.
void SortNumberKeys(std::span<DigitKey> keys);

}  // namespace qv
