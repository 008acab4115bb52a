#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "edit/table_change.h"

namespace qv {

// Several columns' widths set at once (fitted to their texts): each pair is a column and its new
// width, inside the column count. Saved with the table as any width is.
class ColumnWidthsChange final : public TableChange {
public:
    using Widths = std::vector<std::pair<int32_t, int32_t>>;
    ColumnWidthsChange(Widths widths, GridCell where) : widths_(std::move(widths)), where_(where) {}
    void Undo(EditTarget& target) override { Exchange(target); }
    void Redo(EditTarget& target) override { Exchange(target); }
    std::size_t Bytes() const override {
        return sizeof *this + widths_.capacity() * sizeof(Widths::value_type);
    }
    bool ChangesNothing() const override { return widths_.empty(); }

private:
    // Each column takes the width kept and the step keeps the one it had: its own inverse.
    void Exchange(EditTarget& target);
    Widths widths_;
    GridCell where_;
};

}  // namespace qv
