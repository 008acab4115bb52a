#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "edit/edit_history.h"
#include "edit/table_change.h"
#include "table/table_grid.h"

namespace qv {

class BackgroundReading;

// The table being edited: its grid, the deleted-row buffer, the title, the file it came from and
// the undo history. Apply is the one way a change reaches it: the change is a step that performs
// itself, and the history keeps it, so that the first application and every redo run the same
// code. Reading is open to all; the grid's writers are the steps (and loading, which starts a new
// history).
class TableDocument {
public:
    TableDocument(const GridShape& tableShape, const GridShape& bufferShape);
    TableDocument(const TableDocument&) = delete;
    TableDocument& operator=(const TableDocument&) = delete;

    const TableGrid& Table() const { return table_; }
    const TableGrid& DeletedRowBuffer() const { return buffer_; }
    const std::string& Title() const { return title_; }
    // The table file the table was loaded from or saved to; empty for a new or imported table.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string path) { fileName_ = std::move(path); }

    // --- Changes ---
    // Whether the next typed step may join the last one (see TableChange::JoinTyping).
    enum class Joining { Separate, Typing };
    // Performs the change and keeps it as a step of the history, dropping what could be redone;
    // a change that changed nothing is not kept. Typing joins the step typed just before, as
    // long as nothing else came between; a cell typed back to what it held takes its step away.
    // A Failure from the change leaves the table and the history as they were.
    void Apply(std::unique_ptr<TableChange> change, Joining joining = Joining::Separate);
    // The next typed change starts a step of its own (an editor closed or opened).
    void EndTyping() { typing_ = false; }
    void Undo();
    void Redo();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    const EditHistory& History() const { return history_; }
    // Counts every change made, undone or redone: two equal counts mean an unchanged table.
    uint64_t ChangeCount() const { return changeCount_; }

    // --- Saved state ---
    // Whether the table (cells, title, item names, sizes, counts) differs from the one last
    // loaded or saved.
    bool IsModified() const { return !history_.AtSavedState(); }
    void MarkSaved();
    // The table as it is now differs from every saved one (a recovery copy restored, an import).
    void MarkUnsaved() { history_.MarkUnsaved(); }

    // --- The rows a filter shows: no step of the history, but the steps keep them in line with
    // the rows they insert, delete or reorder ---
    const ShownRows& Shown() const { return shown_; }
    ShownRows& Shown() { return shown_; }

    // --- What is no step of the history ---
    // A whole new table (a load, an import, a restored copy): `fill(grid, title)` writes it,
    // after the history is cleared (its steps may point into the texts of the table replaced).
    template <class Fill>
    void Replace(Fill&& fill) {
        StopReadings();
        history_.Clear();
        typing_ = false;
        shown_.ShowAll();
        ++changeCount_;
        fill(table_, title_);
    }
    // Moves the current cell (and the selection's anchor, unless extended); false for a cell
    // that cannot be current.
    bool Select(GridCell cell, TableGrid::Selection selection = TableGrid::Selection::Collapse) {
        return table_.SetCurrentCell(cell, selection);
    }
    // Writes the row labels of the data rows anew: they follow from the row count alone.
    void RenumberRows() {
        StopReadings();
        table_.WriteRowLabels(1, table_.RowCount());
    }
    // The buffer keeps a copy of the row's data cells, for pasting it back later; like the
    // clipboard, it is not undone.
    void KeepDeletedRow(int32_t row);
    // The grid itself, for filling a table as a load does (tests) and for watching it: what is
    // written here bypasses the history.
    TableGrid& UnrecordedTable() {
        StopReadings();
        return table_;
    }

    // --- Readings on other threads ---
    // A BackgroundReading registers itself for its lifetime; every change above stops it first.
    void AddReading(BackgroundReading* reading) { readings_.push_back(reading); }
    void RemoveReading(BackgroundReading* reading);

private:
    EditTarget Target() { return EditTarget{table_, buffer_, title_, shown_}; }
    void StopReadings();

    TableGrid table_;
    TableGrid buffer_;
    std::string title_;
    std::string fileName_;
    ShownRows shown_;
    EditHistory history_;
    bool typing_ = false;  // the last step is being typed and may grow
    uint64_t changeCount_ = 0;
    std::vector<BackgroundReading*> readings_;
};

}  // namespace qv
