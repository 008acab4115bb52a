#include "gui/grid_renderer.h"

#include <QPainter>
#include <QRect>
#include <algorithm>
#include <vector>

#include "gui/cell_text_painter.h"
#include "gui/cp932_input.h"
#include "view/cell_text_extent.h"

namespace qv {

namespace {

constexpr int kDropLineWidth = 3;

// A line break the cell has no room to show as a new line shows as a mark.
QString WithLineBreakMarks(QString text) {
    return text.replace(QChar(u'\n'), QChar(u'\u21B5'));  // ↵
}

bool InRange(int32_t value, int32_t a, int32_t b) {
    return value >= std::min(a, b) && value <= std::max(a, b);
}

}  // namespace

GridRenderer::GridRenderer(const TableGrid& grid, const QFont& font, const QPalette& palette)
    : grid_(grid), font_(font), colors_(GridColorsFor(palette)) {}

void GridRenderer::Paint(QPainter& painter, const GridGeometry& geometry, const QRect& dirty,
                         Focus focus, const GridDrag& drag) const {
    PaintCells(painter, geometry, dirty);
    PaintLines(painter, geometry);
    if (focus == Focus::Shown) {
        PaintFocus(painter, geometry);
    }
    PaintDrag(painter, geometry, drag);
}

void GridRenderer::PaintCells(QPainter& painter, const GridGeometry& geometry,
                              const QRect& dirty) const {
    const GridCell current = grid_.Current();
    const GridCell anchor = grid_.Anchor();
    const CellTextPainter texts(font_);
    for (const AxisSpan& row : geometry.Rows().Spans()) {
        if (row.start > dirty.bottom() || row.LineAt() < dirty.top()) {
            continue;
        }
        const bool fixedRow = row.index < grid_.FixedRows();
        for (const AxisSpan& col : geometry.Columns().Spans()) {
            if (col.start > dirty.right() || col.LineAt() < dirty.left()) {
                continue;
            }
            const QRect cell(col.start, row.start, col.size, row.size);
            const bool fixed = fixedRow || col.index < grid_.FixedCols();
            const bool selected = !fixed && InRange(col.index, anchor.col, current.col) &&
                                  InRange(row.index, anchor.row, current.row);
            if (fixed || selected) {
                painter.fillRect(cell, fixed ? colors_.fixedBackground : colors_.highlight);
            }
            const std::string_view text = grid_.Cell(col.index, row.index);
            if (text.empty()) {
                continue;
            }
            // Only what the cell's shown width can hold is decoded, however long the text.
            const int32_t shownWidth = std::min(col.size, geometry.Columns().End() - col.start);
            painter.setPen(selected ? colors_.highlightedText
                           : fixed  ? colors_.fixedText
                                    : colors_.cellText);
            const int lineCount = texts.LinesFitting(row.size);
            if (lineCount == 1) {  // the usual row: no list of lines to build
                texts.Draw(painter, cell,
                           WithLineBreakMarks(DecodeCp932(ShownCellBytes(text, shownWidth))));
                continue;
            }
            const std::vector<std::string_view> lines = ShownCellLines(text, shownWidth, lineCount);
            for (std::size_t line = 0; line < lines.size(); ++line) {
                texts.Draw(painter, cell, WithLineBreakMarks(DecodeCp932(lines[line])),
                           static_cast<int>(line));
            }
        }
    }
}

void GridRenderer::PaintLines(QPainter& painter, const GridGeometry& geometry) const {
    const int right = geometry.Columns().End() - 1;
    const int bottom = geometry.Rows().End() - 1;
    painter.setPen(colors_.lines);
    for (const AxisSpan& col : geometry.Columns().Spans()) {
        painter.drawLine(col.LineAt(), 0, col.LineAt(), bottom);
    }
    for (const AxisSpan& row : geometry.Rows().Spans()) {
        painter.drawLine(0, row.LineAt(), right, row.LineAt());
    }
}

void GridRenderer::PaintFocus(QPainter& painter, const GridGeometry& geometry) const {
    if (const std::optional<CellBox> box = geometry.BoxOf(grid_.Current())) {
        painter.setPen(QPen(colors_.highlightedText, 1, Qt::DotLine));
        painter.drawRect(QRect(box->x, box->y, box->width, box->height).adjusted(0, 0, -1, -1));
    }
}

// The moving line while a line is resized, the drop place while a row or column is dragged.
void GridRenderer::PaintDrag(QPainter& painter, const GridGeometry& geometry,
                             const GridDrag& drag) const {
    const int right = geometry.Columns().End();
    const int bottom = geometry.Rows().End();
    switch (drag.kind) {
        case GridDrag::Kind::ResizeColumn:
            painter.setPen(QPen(colors_.dragLine, 1, Qt::DashLine));
            painter.drawLine(drag.line, 0, drag.line, bottom);
            break;
        case GridDrag::Kind::ResizeRow:
            painter.setPen(QPen(colors_.dragLine, 1, Qt::DashLine));
            painter.drawLine(0, drag.line, right, drag.line);
            break;
        case GridDrag::Kind::MoveRow:
        case GridDrag::Kind::MoveColumn: {
            if (!drag.target || *drag.target == drag.index) {
                break;
            }
            const bool rows = drag.kind == GridDrag::Kind::MoveRow;
            const std::optional<AxisSpan> span =
                (rows ? geometry.Rows() : geometry.Columns()).Find(*drag.target);
            if (!span) {
                break;
            }
            // Moved down (or right), the dragged line lands after the target; else before it.
            const int at = *drag.target > drag.index ? span->LineAt() : span->start - 1;
            const int half = kDropLineWidth / 2;
            const QRect mark = rows ? QRect(0, at - half, right, kDropLineWidth)
                                    : QRect(at - half, 0, kDropLineWidth, bottom);
            painter.fillRect(mark, colors_.dropMark);
            break;
        }
        case GridDrag::Kind::None:
        case GridDrag::Kind::Select:
            break;
    }
}

}  // namespace qv
