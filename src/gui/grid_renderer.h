#pragma once

#include <QFont>
#include <QPalette>

#include "gui/design_colors.h"
#include "gui/grid_mouse_controller.h"
#include "table/table_grid.h"
#include "view/grid_geometry.h"

class QPainter;
class QRect;

namespace qv {

// Paints a grid as laid out by a GridGeometry: the cells' texts (decoded from CP932; a line per
// line break as far as the row has room, the breaks left over marked "↵"), the fixed
// cells in their colour (aqua in a light palette, see GridColorsFor), the selected range
// highlighted, the lines, the focus frame and what a held drag shows (the moving line of a resize,
// the drop place of a move). The viewport fills itself with the base colour first; only fixed and
// selected cells take a fill of their own.
class GridRenderer {
public:
    // Whether the current cell carries the dotted focus frame.
    enum class Focus { Hidden, Shown };

    GridRenderer(const TableGrid& grid, const QFont& font, const QPalette& palette);

    // Paints the cells that meet `dirty`, then the lines, the focus frame and the drag.
    void Paint(QPainter& painter, const GridGeometry& geometry, const QRect& dirty, Focus focus,
               const GridDrag& drag) const;

private:
    void PaintCells(QPainter& painter, const GridGeometry& geometry, const QRect& dirty) const;
    void PaintLines(QPainter& painter, const GridGeometry& geometry) const;
    void PaintFocus(QPainter& painter, const GridGeometry& geometry) const;
    void PaintDrag(QPainter& painter, const GridGeometry& geometry, const GridDrag& drag) const;

    const TableGrid& grid_;
    QFont font_;
    GridColors colors_;
};

}  // namespace qv
