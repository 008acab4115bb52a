#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "edit/table_change.h"
#include "table/table_grid.h"

namespace qv {

// `count` empty columns, `width` pixels wide, inserted at column `at` (a data column, at most the
// column count); the columns from there move right with their widths. Texts stored beyond the
// old count in the places the new columns take are kept by the step, so they come up empty.
class ColumnsInsertChange final : public TableChange {
public:
    ColumnsInsertChange(int32_t at, int32_t count, int32_t width)
        : at_(at), count_(count), width_(width) {}
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override;

private:
    int32_t at_;
    int32_t count_;
    int32_t width_;
    GridFrame before_;
    TableGrid::CellBlock beyond_;
};

// The `count` data columns from `at` on taken away: the columns after them move left, and their
// texts move into the step.
class ColumnsRemoveChange final : public TableChange {
public:
    ColumnsRemoveChange(int32_t at, int32_t count) : at_(at), count_(count) {}
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override;

private:
    int32_t at_;
    int32_t count_;
    GridFrame before_;
    TableGrid::CellBlock removed_;
};

}  // namespace qv
