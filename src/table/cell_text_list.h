#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "table/table_grid.h"

namespace qv {

// Texts for a set of cells, kept in one buffer without an allocation per cell: what an edit of
// many cells is to write, and, once written (TableGrid::ExchangeCellTexts), what it replaced, so
// that the same call undoes it. A cell should appear at most once.
class CellTextList {
public:
    void Add(GridCell cell, std::string_view text) {
        cells_.push_back(cell);
        bytes_.append(text);
        ends_.push_back(bytes_.size());
    }
    std::size_t Size() const { return cells_.size(); }
    bool Empty() const { return cells_.empty(); }
    GridCell CellAt(std::size_t i) const { return cells_[i]; }
    std::string_view TextAt(std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(bytes_).substr(begin, ends_[i] - begin);
    }
    // The memory the list keeps, in bytes.
    std::size_t StoredBytes() const {
        return cells_.capacity() * sizeof(GridCell) + ends_.capacity() * sizeof(std::size_t) +
               bytes_.capacity();
    }
    void Clear() {
        cells_.clear();
        ends_.clear();
        bytes_.clear();
    }

private:
    std::vector<GridCell> cells_;
    std::vector<std::size_t> ends_;
    std::string bytes_;
};

}  // namespace qv
