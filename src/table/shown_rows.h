#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace qv {

// The data rows a filter shows, in table order (4 bytes per shown row), or every row when no
// filter is on. It follows the table's row changes so that a row keeps being shown or hidden
// as it moves: an inserted row is shown, a removed one leaves the list, sorted rows keep their
// state. Views count "display rows": the fixed rows, then the shown data rows.
class ShownRows {
public:
    bool Filtered() const { return filtered_; }
    // Every row shows again.
    void ShowAll();
    // Only `rows` (ascending data rows) show.
    void Show(std::vector<int32_t> rows);
    std::span<const int32_t> Rows() const { return rows_; }
    // The shown rows of [begin, end) (while filtered).
    std::span<const int32_t> RowsIn(int32_t begin, int32_t end) const;
    // The shown rows from `row` on (while filtered).
    std::span<const int32_t> RowsFrom(int32_t row) const { return RowsIn(row, INT32_MAX); }

    // --- Display rows of a grid of `rowCount` rows, `fixed` of them fixed ---
    int32_t DisplayCount(int32_t rowCount, int32_t fixed) const;
    // The table row shown at a display row (beyond the shown ones: the same number past the
    // last).
    int32_t TableRow(int32_t display, int32_t fixed) const;
    // The display row of a table row; nothing for a hidden row.
    std::optional<int32_t> DisplayRow(int32_t row, int32_t fixed) const;
    // The display row of the shown row nearest to `row` (at or after it, else before it).
    int32_t NearestDisplayRow(int32_t row, int32_t fixed) const;
    bool IsShown(int32_t row) const { return DisplayRow(row, 0).has_value() || !filtered_; }

    // --- Following the table's rows ---
    enum class Visibility { Hidden, Shown };
    // A row was inserted at `row`: the rows from there move down by one.
    void RowInserted(int32_t row, Visibility visibility = Visibility::Shown);
    // The row at `row` was removed: the rows after it move up. Returns whether it was shown.
    Visibility RowRemoved(int32_t row);
    // Row firstRow + i took the texts of row sources[i] (a sort): each row keeps its state.
    void RowsPermuted(int32_t firstRow, std::span<const int32_t> sources);

    // Called after every change of the list (a filter applied or lifted, rows followed).
    void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

private:
    void Changed() const;

    bool filtered_ = false;
    std::vector<int32_t> rows_;
    std::function<void()> listener_;
};

}  // namespace qv
