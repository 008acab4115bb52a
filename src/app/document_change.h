#pragma once

#include <memory>

#include "app/window_system.h"
#include "edit/table_document.h"

namespace qv {

// Applies a command's change to the document and tells the window what it must show anew: the
// title when it changed, and the undo state and modified mark always.
void ApplyChange(TableDocument& document, WindowSystem& windows,
                 std::unique_ptr<TableChange> change);

// The same for a step taken back or made again.
enum class HistoryMove { Undo, Redo };
void MoveInHistory(TableDocument& document, WindowSystem& windows, HistoryMove move);

}  // namespace qv

namespace qv {

// What every group of commands works on: the table document, changed through ApplyChange, and
// the windowing system.
class CommandGroup {
protected:
    CommandGroup(TableDocument& document, WindowSystem& windows)
        : document_(document), windows_(windows) {}
    ~CommandGroup() = default;
    CommandGroup(const CommandGroup&) = delete;
    CommandGroup& operator=(const CommandGroup&) = delete;

    const TableGrid& Grid() const { return document_.Table(); }
    void Apply(std::unique_ptr<TableChange> change) {
        ApplyChange(document_, windows_, std::move(change));
    }

    TableDocument& document_;
    WindowSystem& windows_;
};

}  // namespace qv
