#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>

#include "edit/table_change.h"
#include "table/table_grid.h"

namespace qv {

// The undo history of the main table: the changes made, in order, and how many of them stand
// (the rest can be redone). Each change is kept with the current cell and the selection it was
// made at: undoing puts them back after the change is taken back, redoing before it is made
// again, so that a step undone and redone finds the table as the first time, wherever the user
// moved the current cell between steps. It remembers where the table was last loaded or saved, so
// that undoing back there shows the table unmodified. Its memory is bounded: beyond `maxSteps`
// changes or `maxBytes` of kept texts the oldest go, but the newest always stays.
class EditHistory {
public:
    struct Limits {
        std::size_t maxSteps = 100;
        std::size_t maxBytes = std::size_t{256} << 20;
    };
    explicit EditHistory(Limits limits) : limits_(limits) {}
    EditHistory() : EditHistory(Limits{}) {}

    // A change just made at `where`: the changes that could be redone are dropped first.
    void Push(std::unique_ptr<TableChange> change, GridCursor where);
    // The last change pushed turned out to change nothing (typing back): it goes.
    void DropLast();
    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < changes_.size(); }
    // The change Undo would take back; nothing when there is none.
    const TableChange* LastDone() const { return done_ > 0 ? changes_[done_ - 1].get() : nullptr; }
    // Takes back the last change that stands, or makes the next one again; nothing when there
    // is none.
    void Undo(EditTarget& target);
    void Redo(EditTarget& target);
    // The change Undo would take back, while it may still grow (nothing after an undo or a
    // save): typing on extends it.
    TableChange* Extendable();
    // The extendable change grew: its memory is counted again.
    void Extended();

    // A new history, with the table as it is now counted as saved (a load).
    void Clear();
    // The table as it is now was saved.
    void MarkSaved() { saved_ = done_; }
    // The table as it is now differs from every saved one (a recovery copy restored).
    void MarkUnsaved() { saved_.reset(); }
    // Whether the table, as far as its file holds it, is as it was last saved: only changes that
    // the file does not keep (row heights) stand between.
    bool AtSavedState() const;

    std::size_t Steps() const { return changes_.size(); }
    std::size_t Bytes() const { return bytes_; }

private:
    void DropOldest();

    Limits limits_;
    std::deque<std::unique_ptr<TableChange>> changes_;
    std::deque<std::size_t> sizes_;  // each change's Bytes() when counted
    std::deque<GridCursor> places_;  // where each change was made
    std::size_t done_ = 0;
    std::size_t bytes_ = 0;
    std::optional<std::size_t> saved_ = 0;  // nothing: the saved state cannot come back
};

}  // namespace qv
