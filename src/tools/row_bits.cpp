#include "tools/row_bits.h"

namespace qv {

void RowBits::SetAll() {
    words_.assign(words_.size(), ~uint64_t{0});
    if (const auto tail = static_cast<uint32_t>(rowEnd_) & 63; tail != 0) {
        words_.back() = (uint64_t{1} << tail) - 1;  // no row at or beyond the end
    }
}

void RowBits::KeepWhere(const RowBits& other, State state) {
    const uint64_t flip = state == State::Unset ? ~uint64_t{0} : 0;
    for (std::size_t w = 0; w < words_.size(); ++w) {
        words_[w] &= other.words_[w] ^ flip;
    }
}

std::vector<int32_t> RowBits::Rows() const {
    std::size_t count = 0;
    for (const uint64_t word : words_) {
        count += static_cast<std::size_t>(std::popcount(word));
    }
    std::vector<int32_t> rows;
    rows.reserve(count);
    for (std::size_t w = 0; w < words_.size(); ++w) {
        const auto base = static_cast<int32_t>(w * 64);
        for (uint64_t word = words_[w]; word != 0; word &= word - 1) {
            rows.push_back(base + std::countr_zero(word));
        }
    }
    return rows;
}

}  // namespace qv
