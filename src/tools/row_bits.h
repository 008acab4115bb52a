#pragma once

#include <bit>
#include <cstdint>
#include <vector>

namespace qv {

// A set of the rows [0, rowEnd), a bit each: a million rows take 125 kB, which stays in the
// cache while a filter marks and combines them, where a byte a row went to memory.
class RowBits {
public:
    explicit RowBits(int32_t rowEnd)
        : rowEnd_(rowEnd), words_(static_cast<std::size_t>((rowEnd + 63) / 64)) {}

    void Set(int32_t row) { words_[Word(row)] |= Bit(row); }
    void Unset(int32_t row) { words_[Word(row)] &= ~Bit(row); }
    void SetAll();
    void Clear() { words_.assign(words_.size(), 0); }

    // Keeps the rows whose bit in `other` is in the state given.
    enum class State { Set, Unset };
    void KeepWhere(const RowBits& other, State state);

    // The rows in the set, ascending, in a list of exactly their size.
    std::vector<int32_t> Rows() const;

private:
    static std::size_t Word(int32_t row) { return static_cast<std::size_t>(row) >> 6; }
    static uint64_t Bit(int32_t row) { return uint64_t{1} << (static_cast<uint32_t>(row) & 63); }

    int32_t rowEnd_;
    std::vector<uint64_t> words_;
};

}  // namespace qv
