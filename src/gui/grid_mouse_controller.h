#pragma once

#include <QPoint>
#include <cstdint>
#include <optional>

#include "app/table_input.h"
#include "table/table_grid.h"
#include "view/grid_geometry.h"

namespace qv {

// What a held mouse button is doing.
struct GridDrag {
    enum class Kind { None, Select, ResizeColumn, ResizeRow, MoveRow, MoveColumn };
    Kind kind = Kind::None;
    int32_t index = 0;              // the column or row resized or moved
    int32_t start = 0;              // resizing: the first pixel of that column or row
    int32_t grip = 0;               // resizing: the line's distance from the pointer
    int32_t line = 0;               // resizing: where the line is drawn now
    std::optional<int32_t> target;  // moving: where the column or row would land
};

// What the mouse controller needs of the widget it serves.
class GridMouseHost {
public:
    enum class Cursor { Normal, SplitColumns, SplitRows };
    virtual GridGeometry CurrentGeometry() const = 0;
    virtual void OpenEditorByMouse() = 0;
    virtual void RepaintGrid() = 0;
    virtual void ShowCursor(Cursor cursor) = 0;

protected:
    ~GridMouseHost() = default;
};

// Turns the left button's press, moves and release into the table's input: choosing the
// current cell (Shift widens the selection, a press on the current cell opens the editor),
// selecting by dragging, resizing by the lines between fixed cells and moving rows and columns
// by their fixed cells. A size is stored only when more than 1 pixel; a row or column dropped
// on itself stays.
class GridMouseController {
public:
    GridMouseController(TableInput& input, GridMouseHost& host)
        : input_(input), grid_(input.Table()), host_(host) {}

    const GridDrag& Drag() const { return drag_; }
    void Press(const QPoint& pos, TableGrid::Selection selection);
    void Move(const QPoint& pos);
    void Release(const QPoint& pos);
    // Forgets a held move or resize, whose row or column may no longer be what was pressed: to
    // be called whenever the table changes under it. A held selection goes on.
    void TableChanged();

private:
    void Continue(const QPoint& pos);
    void Select(GridCell cell, TableGrid::Selection selection);

    TableInput& input_;
    const TableGrid& grid_;
    GridMouseHost& host_;
    GridDrag drag_;
};

}  // namespace qv
