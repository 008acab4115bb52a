#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "edit/block_changes.h"
#include "edit/bulk_changes.h"
#include "edit/table_change.h"

namespace qv {

// Many data rows taken away at once (duplicates removed): row 1 + i takes the row at sources[i],
// which moves the rows kept to the top in their order and the others after them; those are then
// emptied and cut off by the row count `keptRowCount`. The emptied texts move into the step, so
// undoing copies none; the rows are renumbered. `colCount` is the table's column count when the
// step is made.
class RowsRemovedChange final : public TableChange {
public:
    RowsRemovedChange(std::vector<int32_t> sources, int32_t keptRowCount, int32_t colCount,
                      GridCell where);
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override;

private:
    ClearBlockChange removed_;
    RowOrderChange order_;
    int32_t keptRowCount_;
    GridFrame before_;
};

}  // namespace qv
