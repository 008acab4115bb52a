#include "gui/grid_mouse_controller.h"

#include "view/grid_navigation.h"

namespace qv {

void GridMouseController::Press(const QPoint& pos, TableGrid::Selection selection) {
    const GridGeometry geometry = host_.CurrentGeometry();
    const PressTarget target = geometry.PressAt(pos.x(), pos.y());
    drag_ = GridDrag{};
    switch (target.kind) {
        case PressTarget::Kind::Cell:
            if (target.cell == grid_.Current() && selection == TableGrid::Selection::Collapse) {
                host_.OpenEditorByMouse();
                return;
            }
            Select(target.cell, selection);
            drag_.kind = GridDrag::Kind::Select;
            return;
        case PressTarget::Kind::ResizeColumn: {
            const AxisSpan span = *geometry.Columns().Find(target.cell.col);
            drag_ = GridDrag{GridDrag::Kind::ResizeColumn, span.index,    span.start,
                             span.LineAt() - pos.x(),      span.LineAt(), std::nullopt};
            break;
        }
        case PressTarget::Kind::ResizeRow: {
            const AxisSpan span = *geometry.Rows().Find(target.cell.row);
            drag_ = GridDrag{GridDrag::Kind::ResizeRow, span.index,    span.start,
                             span.LineAt() - pos.y(),   span.LineAt(), std::nullopt};
            break;
        }
        case PressTarget::Kind::MoveRow:
            drag_ = GridDrag{GridDrag::Kind::MoveRow, target.cell.row, 0, 0, 0, target.cell.row};
            break;
        case PressTarget::Kind::MoveColumn:
            drag_ = GridDrag{GridDrag::Kind::MoveColumn, target.cell.col, 0, 0, 0, target.cell.col};
            break;
        case PressTarget::Kind::Nothing:
            return;
    }
    host_.RepaintGrid();
}

void GridMouseController::Move(const QPoint& pos) {
    if (drag_.kind != GridDrag::Kind::None) {
        Continue(pos);
        return;
    }
    const GridGeometry geometry = host_.CurrentGeometry();
    switch (geometry.PressAt(pos.x(), pos.y()).kind) {
        case PressTarget::Kind::ResizeColumn:
            host_.ShowCursor(GridMouseHost::Cursor::SplitColumns);
            break;
        case PressTarget::Kind::ResizeRow:
            host_.ShowCursor(GridMouseHost::Cursor::SplitRows);
            break;
        default:
            host_.ShowCursor(GridMouseHost::Cursor::Normal);
            break;
    }
}

void GridMouseController::Continue(const QPoint& pos) {
    const GridGeometry geometry = host_.CurrentGeometry();
    switch (drag_.kind) {
        case GridDrag::Kind::Select:
            if (const std::optional<GridCell> cell = geometry.CellAt(pos.x(), pos.y())) {
                if (*cell != grid_.Current() && cell->col >= grid_.FixedCols() &&
                    cell->row >= grid_.FixedRows()) {
                    Select(*cell, TableGrid::Selection::Extend);
                }
            }
            return;
        case GridDrag::Kind::ResizeColumn:
            drag_.line = std::max(pos.x() + drag_.grip, drag_.start);
            break;
        case GridDrag::Kind::ResizeRow:
            drag_.line = std::max(pos.y() + drag_.grip, drag_.start);
            break;
        case GridDrag::Kind::MoveRow:
            drag_.target = geometry.Rows().ScrolledIndexNearest(pos.y());
            break;
        case GridDrag::Kind::MoveColumn:
            drag_.target = geometry.Columns().ScrolledIndexNearest(pos.x());
            break;
        case GridDrag::Kind::None:
            return;
    }
    host_.RepaintGrid();
}

void GridMouseController::Release(const QPoint& pos) {
    if (drag_.kind == GridDrag::Kind::None) {
        return;
    }
    Continue(pos);
    const GridDrag drag = drag_;
    drag_ = GridDrag{};
    host_.RepaintGrid();
    const int32_t size = drag.line - drag.start;
    switch (drag.kind) {
        case GridDrag::Kind::ResizeColumn:
            if (size > 1) {
                input_.ResizeColumn(drag.index, size);
            }
            break;
        case GridDrag::Kind::ResizeRow:
            if (size > 1) {
                input_.ResizeRow(drag.index, size);
            }
            break;
        case GridDrag::Kind::MoveRow:
            if (drag.target && *drag.target != drag.index) {
                input_.MoveRow(drag.index, *drag.target);
            }
            break;
        case GridDrag::Kind::MoveColumn:
            if (drag.target && *drag.target != drag.index) {
                input_.MoveColumn(drag.index, *drag.target);
            }
            break;
        case GridDrag::Kind::Select:
        case GridDrag::Kind::None:
            break;
    }
}

void GridMouseController::TableChanged() {
    if (drag_.kind != GridDrag::Kind::None && drag_.kind != GridDrag::Kind::Select) {
        drag_ = GridDrag{};
        host_.RepaintGrid();
    }
}

void GridMouseController::Select(GridCell cell, TableGrid::Selection selection) {
    input_.Select(ClampToData(grid_, cell), selection);
}

}  // namespace qv
