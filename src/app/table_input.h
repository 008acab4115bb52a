#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "edit/table_document.h"

namespace qv {

class WindowSystem;

// What the user does to the table in the grid view: choosing cells, typing in the in-place
// editor, dragging rows and columns and the lines between them. Each change reaches the document
// as a step of its history; the view reads the table here and never writes it.
class TableInput {
public:
    // `windows`, when given, shows the progress of a fill over very many cells.
    explicit TableInput(TableDocument& document, WindowSystem* windows = nullptr)
        : document_(document), windows_(windows) {}

    const TableGrid& Table() const { return document_.Table(); }
    // The rows a filter shows, and who hears of their changes (the view).
    const ShownRows& Shown() const { return document_.Shown(); }
    void SetShownRowsListener(std::function<void()> listener) {
        document_.Shown().SetListener(std::move(listener));
    }
    // Called after every change made here (the window's modified mark and menus follow it).
    void SetChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }
    // Where a short notice goes (the status bar): why a drag was refused.
    void SetNoticeListener(std::function<void(const std::string&)> listener) {
        notice_ = std::move(listener);
    }

    // Moves the current cell; false for a cell that cannot be current.
    bool Select(GridCell cell, TableGrid::Selection selection = TableGrid::Selection::Collapse);
    // The in-place editor opened or closed on the current cell: what is typed in between is one
    // step, and none when the cell ends as it began.
    void EditorOpened() { document_.EndTyping(); }
    void EditorClosed() { document_.EndTyping(); }
    // The current cell's text as the editor shows it now.
    void TypeInCurrentCell(std::string text);
    // Every selected data cell takes `text` (Ctrl+Enter in the editor): one step.
    void FillSelection(const std::string& text);
    // A column fitted to its texts (a double-click on its heading's right border).
    void FitColumnWidth(int32_t col);
    // A size is set, and a row or column moved, by dragging.
    void ResizeColumn(int32_t col, int32_t width);
    void ResizeRow(int32_t row, int32_t height);
    void MoveRow(int32_t from, int32_t to);
    void MoveColumn(int32_t from, int32_t to);

private:
    void Apply(std::unique_ptr<TableChange> change,
               TableDocument::Joining joining = TableDocument::Joining::Separate);

    TableDocument& document_;
    WindowSystem* windows_;
    std::function<void()> changed_;
    std::function<void(const std::string&)> notice_;
};

}  // namespace qv
