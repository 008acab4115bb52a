#include "table/shown_rows.h"

#include <algorithm>

namespace qv {

void ShownRows::ShowAll() {
    filtered_ = false;
    rows_ = {};
    Changed();
}

void ShownRows::Show(std::vector<int32_t> rows) {
    filtered_ = true;
    rows_ = std::move(rows);
    rows_.shrink_to_fit();  // 4 bytes per shown row (a no-op for a list made to measure)
    Changed();
}

std::span<const int32_t> ShownRows::RowsIn(int32_t begin, int32_t end) const {
    const auto first = std::lower_bound(rows_.begin(), rows_.end(), begin);
    const auto last = std::lower_bound(first, rows_.end(), end);
    return {first, last};
}

int32_t ShownRows::DisplayCount(int32_t rowCount, int32_t fixed) const {
    return filtered_ ? fixed + static_cast<int32_t>(rows_.size()) : rowCount;
}

int32_t ShownRows::TableRow(int32_t display, int32_t fixed) const {
    if (!filtered_ || display < fixed) {
        return display;
    }
    const auto index = static_cast<std::size_t>(display - fixed);
    if (index < rows_.size()) {
        return rows_[index];
    }
    const int32_t last = rows_.empty() ? fixed - 1 : rows_.back();
    return last + static_cast<int32_t>(index - rows_.size()) + 1;
}

std::optional<int32_t> ShownRows::DisplayRow(int32_t row, int32_t fixed) const {
    if (!filtered_ || row < fixed) {
        return row;
    }
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), row);
    if (it == rows_.end() || *it != row) {
        return std::nullopt;
    }
    return fixed + static_cast<int32_t>(it - rows_.begin());
}

int32_t ShownRows::NearestDisplayRow(int32_t row, int32_t fixed) const {
    if (!filtered_ || row < fixed) {
        return row;
    }
    auto it = std::lower_bound(rows_.begin(), rows_.end(), row);
    if (it == rows_.end() && it != rows_.begin()) {
        --it;
    }
    return fixed + static_cast<int32_t>(it - rows_.begin());
}

void ShownRows::RowInserted(int32_t row, Visibility visibility) {
    if (!filtered_) {
        return;
    }
    auto it = std::lower_bound(rows_.begin(), rows_.end(), row);
    std::for_each(it, rows_.end(), [](int32_t& r) { ++r; });
    if (visibility == Visibility::Shown) {
        rows_.insert(it, row);
    }
    Changed();
}

ShownRows::Visibility ShownRows::RowRemoved(int32_t row) {
    if (!filtered_) {
        return Visibility::Shown;
    }
    auto it = std::lower_bound(rows_.begin(), rows_.end(), row);
    const bool shown = it != rows_.end() && *it == row;
    if (shown) {
        it = rows_.erase(it);
    }
    std::for_each(it, rows_.end(), [](int32_t& r) { --r; });
    Changed();
    return shown ? Visibility::Shown : Visibility::Hidden;
}

void ShownRows::RowsPermuted(int32_t firstRow, std::span<const int32_t> sources) {
    if (!filtered_) {
        return;
    }
    std::vector<int32_t> moved;
    moved.reserve(rows_.capacity());
    const auto end = firstRow + static_cast<int32_t>(sources.size());
    for (const int32_t r : rows_) {
        if (r < firstRow || r >= end) {
            moved.push_back(r);
        }
    }
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (std::binary_search(rows_.begin(), rows_.end(), sources[i])) {
            moved.push_back(firstRow + static_cast<int32_t>(i));
        }
    }
    std::sort(moved.begin(), moved.end());
    rows_ = std::move(moved);
    Changed();
}

void ShownRows::Changed() const {
    if (listener_) {
        listener_();
    }
}

}  // namespace qv
