#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "edit/table_change.h"

namespace qv {

// Several changes made as one step of the undo history (a column added, moved into place and
// filled): Redo performs them in order, Undo takes them back in the reverse order. Only the
// first may raise Failure on its first Redo, so that a failure leaves nothing half made.
class StepSequence final : public TableChange {
public:
    explicit StepSequence(std::vector<std::unique_ptr<TableChange>> steps)
        : steps_(std::move(steps)) {}
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override;

private:
    std::vector<std::unique_ptr<TableChange>> steps_;
};

}  // namespace qv
