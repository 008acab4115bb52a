#include "gui/grid_view.h"

#include <QApplication>
#include <QFont>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>

#include "gui/cell_editor.h"
#include "gui/cell_text_painter.h"
#include "gui/cp932_input.h"

namespace qv {

namespace {

const QColor kFixedBackground(0x00, 0xFF, 0xFF);  // aqua
const QColor kLineColour(0x80, 0x80, 0x80);
const QColor kDropLineColour(0x00, 0x00, 0x80);
constexpr int kDropLineWidth = 3;

// The grid's font as the table was designed with, shown with its metric twin from Debian.
QFont GridFont() {
    const QString family = QStringLiteral("ＭＳ 明朝");
    const QString twin = QStringLiteral("IPAMincho");
    if (!QFont::substitutes(family).contains(twin)) {
        QFont::insertSubstitution(family, twin);
    }
    QFont font(family);
    font.setPixelSize(15);
    return font;
}

QRect ToRect(const CellBox& box) {
    return QRect(box.x, box.y, box.width, box.height);
}

bool InRange(int32_t value, int32_t a, int32_t b) {
    return value >= std::min(a, b) && value <= std::max(a, b);
}

bool IsPrintable(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const QList<uint> characters = event.text().toUcs4();  // a surrogate pair is one character
    return !characters.isEmpty() && QChar::isPrint(static_cast<char32_t>(characters.front()));
}

}  // namespace

GridView::GridView(TableGrid& grid, QWidget* parent)
    : QAbstractScrollArea(parent), grid_(grid), editor_(new CellEditor(viewport())) {
    setFont(GridFont());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);
    connect(editor_, &QLineEdit::textEdited, this, &GridView::StoreEditorText);
    connect(editor_, &CellEditor::gridKeyPressed, this, [this](QKeyEvent* event) {
        if (!HandleMovementKey(*event)) {
            keyPressEvent(event);
        }
    });
    grid_.AddObserver(this);
    UpdateScrollBars();
}

GridView::~GridView() {
    grid_.RemoveObserver(this);
}

// --- Geometry and scrolling ---

GridGeometry GridView::Geometry() const {
    return GridGeometry(grid_, viewport()->width(), viewport()->height());
}

// The scroll bars' values are the top-left cell's column and row, so the view scrolls by whole
// cells; the ranges end where the last cells just fill the viewport.
void GridView::UpdateScrollBars() {
    const QSize size = viewport()->size();
    const GridAxis cols = ColumnAxis(grid_);
    const GridAxis rows = RowAxis(grid_);
    const GridCell lastFirst{LastFirstIndex(cols, size.width()),
                             LastFirstIndex(rows, size.height())};
    const GridCell topLeft = grid_.TopLeft();
    const GridCell clamped{std::min(topLeft.col, lastFirst.col),
                           std::min(topLeft.row, lastFirst.row)};
    if (clamped != topLeft) {
        grid_.SetTopLeft(clamped);  // comes back here through CurrentCellChanged
        return;
    }
    const GridGeometry geometry = Geometry();
    QScopedValueRollback<bool> syncing(syncingScrollBars_, true);
    horizontalScrollBar()->setRange(cols.fixed, lastFirst.col);
    horizontalScrollBar()->setPageStep(geometry.Columns().WholeScrolledCount());
    horizontalScrollBar()->setValue(topLeft.col);
    verticalScrollBar()->setRange(rows.fixed, lastFirst.row);
    verticalScrollBar()->setPageStep(geometry.Rows().WholeScrolledCount());
    verticalScrollBar()->setValue(topLeft.row);
}

void GridView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    if (!syncingScrollBars_) {
        grid_.SetTopLeft(GridCell{horizontalScrollBar()->value(), verticalScrollBar()->value()});
    }
}

// A quick test before the geometry is built, for commands that write many cells one by one.
bool GridView::IsMaybeShown(GridCell cell) const {
    const GridCell topLeft = grid_.TopLeft();
    const bool colScrolledAway = cell.col >= grid_.FixedCols() && cell.col < topLeft.col;
    const bool rowScrolledAway = cell.row >= grid_.FixedRows() && cell.row < topLeft.row;
    return isVisible() && !colScrolledAway && !rowScrolledAway && cell.col < grid_.ColCount() &&
           cell.row < grid_.RowCount();
}

void GridView::EnsureCurrentVisible() {
    if (!isVisible()) {
        return;  // the viewport has no real size yet
    }
    const GridCell current = grid_.Current();
    const GridCell topLeft = grid_.TopLeft();
    const GridCell wanted{
        FirstShowing(ColumnAxis(grid_), topLeft.col, viewport()->width(), current.col),
        FirstShowing(RowAxis(grid_), topLeft.row, viewport()->height(), current.row)};
    if (wanted != topLeft) {
        grid_.SetTopLeft(wanted);
    }
}

void GridView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    PlaceEditor();
}

void GridView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        viewport()->update();
    }
}

// --- Model notifications ---

void GridView::CellChanged(int32_t col, int32_t row) {
    if (IsMaybeShown(GridCell{col, row})) {
        if (const std::optional<CellBox> box = Geometry().BoxOf(GridCell{col, row})) {
            viewport()->update(ToRect(*box));
        }
    }
    if (editing_ && !writingFromEditor_ && GridCell{col, row} == grid_.Current()) {
        ReloadEditor();
    }
}

void GridView::CellsChanged() {
    viewport()->update();
    if (editing_ && !writingFromEditor_) {
        ReloadEditor();
    }
}

void GridView::LayoutChanged() {
    UpdateScrollBars();
    PlaceEditor();
    viewport()->update();
}

void GridView::CurrentCellChanged(GridCell previous) {
    if (previous != grid_.Current()) {
        closeEditor();
        EnsureCurrentVisible();
    }
    UpdateScrollBars();
    PlaceEditor();
    viewport()->update();
}

// --- Painting ---

// The viewport fills itself with the base colour first; only fixed and selected cells take a
// fill of their own.
void GridView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const GridGeometry geometry = Geometry();
    PaintCells(painter, geometry, event->rect());
    PaintLines(painter, geometry);
    PaintFocus(painter, geometry);
    PaintDrag(painter, geometry);
}

void GridView::PaintCells(QPainter& painter, const GridGeometry& geometry, const QRect& dirty) {
    const GridCell current = grid_.Current();
    const GridCell anchor = grid_.Anchor();
    const CellTextPainter texts(font());
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor highlightedText = palette().color(QPalette::HighlightedText);
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
                painter.fillRect(cell, fixed ? kFixedBackground : highlight);
            }
            const std::string_view text = grid_.Cell(col.index, row.index);
            if (text.empty()) {
                continue;
            }
            painter.setPen(selected ? highlightedText : QColor(Qt::black));
            texts.Draw(painter, cell, DecodeCp932(text));
        }
    }
}

void GridView::PaintLines(QPainter& painter, const GridGeometry& geometry) {
    const int right = geometry.Columns().End() - 1;
    const int bottom = geometry.Rows().End() - 1;
    painter.setPen(kLineColour);
    for (const AxisSpan& col : geometry.Columns().Spans()) {
        painter.drawLine(col.LineAt(), 0, col.LineAt(), bottom);
    }
    for (const AxisSpan& row : geometry.Rows().Spans()) {
        painter.drawLine(0, row.LineAt(), right, row.LineAt());
    }
}

void GridView::PaintFocus(QPainter& painter, const GridGeometry& geometry) {
    if (!hasFocus() || editing_) {
        return;
    }
    if (const std::optional<CellBox> box = geometry.BoxOf(grid_.Current())) {
        painter.setPen(QPen(palette().color(QPalette::HighlightedText), 1, Qt::DotLine));
        painter.drawRect(ToRect(*box).adjusted(0, 0, -1, -1));
    }
}

// The moving line while a line is resized, the drop place while a row or column is dragged.
void GridView::PaintDrag(QPainter& painter, const GridGeometry& geometry) {
    const int right = geometry.Columns().End();
    const int bottom = geometry.Rows().End();
    switch (drag_.kind) {
        case Drag::Kind::ResizeColumn:
            painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
            painter.drawLine(drag_.line, 0, drag_.line, bottom);
            break;
        case Drag::Kind::ResizeRow:
            painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
            painter.drawLine(0, drag_.line, right, drag_.line);
            break;
        case Drag::Kind::MoveRow:
        case Drag::Kind::MoveColumn: {
            if (!drag_.target || *drag_.target == drag_.index) {
                break;
            }
            const bool rows = drag_.kind == Drag::Kind::MoveRow;
            const std::optional<AxisSpan> span =
                (rows ? geometry.Rows() : geometry.Columns()).Find(*drag_.target);
            if (!span) {
                break;
            }
            // Moved down (or right), the dragged line lands after the target; else before it.
            const int at = *drag_.target > drag_.index ? span->LineAt() : span->start - 1;
            const int half = kDropLineWidth / 2;
            const QRect mark = rows ? QRect(0, at - half, right, kDropLineWidth)
                                    : QRect(at - half, 0, kDropLineWidth, bottom);
            painter.fillRect(mark, kDropLineColour);
            break;
        }
        case Drag::Kind::None:
        case Drag::Kind::Select:
            break;
    }
}

// --- Focus and keyboard ---

void GridView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void GridView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// Tab moves between cells, not to the next widget.
bool GridView::focusNextPrevChild(bool /*next*/) {
    return false;
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (HandleMovementKey(*event)) {
        return;
    }
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (editing_) {
                closeEditor();
            } else {
                OpenEditor();
            }
            return;
        case Qt::Key_F2:
            OpenEditor();
            return;
        case Qt::Key_Escape:
            if (editing_) {
                // What was typed is taken back: the cell gets its text from the editor's opening.
                if (grid_.Cell(grid_.Col(), grid_.Row()) != textAtOpening_) {
                    grid_.SetCell(grid_.Col(), grid_.Row(), textAtOpening_);
                }
                closeEditor();
                return;
            }
            break;
        case Qt::Key_Backspace:
            if (OpenEditor()) {
                ForwardToEditor(event);
            }
            return;
        default:
            if (IsPrintable(*event)) {
                if (OpenEditor()) {
                    ForwardToEditor(event);
                }
                return;
            }
            break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// Keys that move the current cell; Shift with them widens the selection (Tab excepted).
bool GridView::HandleMovementKey(const QKeyEvent& event) {
    const Selection selection =
        event.modifiers() & Qt::ShiftModifier ? Selection::Extend : Selection::Collapse;
    const bool ctrl = event.modifiers() & Qt::ControlModifier;
    const GridCell current = grid_.Current();
    const GridCell firstData{grid_.FixedCols(), grid_.FixedRows()};
    const GridCell lastData{grid_.ColCount() - 1, grid_.RowCount() - 1};
    switch (event.key()) {
        case Qt::Key_Tab:
            MoveByTab(true);
            return true;
        case Qt::Key_Backtab:
            MoveByTab(false);
            return true;
        case Qt::Key_Up:
            MoveCurrent(GridCell{current.col, current.row - 1}, selection);
            return true;
        case Qt::Key_Down:
            MoveCurrent(GridCell{current.col, current.row + 1}, selection);
            return true;
        case Qt::Key_Left:
            MoveCurrent(GridCell{current.col - 1, current.row}, selection);
            return true;
        case Qt::Key_Right:
            MoveCurrent(GridCell{current.col + 1, current.row}, selection);
            return true;
        case Qt::Key_Home:
            MoveCurrent(GridCell{firstData.col, ctrl ? firstData.row : current.row}, selection);
            return true;
        case Qt::Key_End:
            MoveCurrent(GridCell{lastData.col, ctrl ? lastData.row : current.row}, selection);
            return true;
        case Qt::Key_PageUp:
            MoveByPage(-1, selection);
            return true;
        case Qt::Key_PageDown:
            MoveByPage(1, selection);
            return true;
        default:
            return false;
    }
}

// Moves to `target` clamped into the data cells.
void GridView::MoveCurrent(GridCell target, Selection selection) {
    target.col = std::clamp(target.col, grid_.FixedCols(), grid_.ColCount() - 1);
    target.row = std::clamp(target.row, grid_.FixedRows(), grid_.RowCount() - 1);
    grid_.SetCurrentCell(target, selection == Selection::Extend ? TableGrid::Selection::Extend
                                                                : TableGrid::Selection::Collapse);
}

// Tab runs along the rows and wraps from the last data cell to the first, Shift+Tab backwards.
void GridView::MoveByTab(bool forward) {
    GridCell cell = grid_.Current();
    const GridCell first{grid_.FixedCols(), grid_.FixedRows()};
    const GridCell last{grid_.ColCount() - 1, grid_.RowCount() - 1};
    if (forward) {
        if (++cell.col > last.col) {
            cell.col = first.col;
            cell.row = cell.row >= last.row ? first.row : cell.row + 1;
        }
    } else {
        if (--cell.col < first.col) {
            cell.col = last.col;
            cell.row = cell.row <= first.row ? last.row : cell.row - 1;
        }
    }
    MoveCurrent(cell, Selection::Collapse);
}

// Page Up and Page Down scroll by the rows shown whole and move the current row as far.
void GridView::MoveByPage(int32_t direction, Selection selection) {
    const GridAxis rows = RowAxis(grid_);
    const int32_t page = Geometry().Rows().WholeScrolledCount();
    const GridCell topLeft = grid_.TopLeft();
    const int64_t top = int64_t{topLeft.row} + int64_t{direction} * page;
    const int32_t lastTop = LastFirstIndex(rows, viewport()->height());
    grid_.SetTopLeft(
        GridCell{topLeft.col, static_cast<int32_t>(std::clamp<int64_t>(top, rows.fixed, lastTop))});
    const GridCell current = grid_.Current();
    const int64_t row = int64_t{current.row} + int64_t{direction} * page;
    MoveCurrent(GridCell{current.col, static_cast<int32_t>(
                                          std::clamp<int64_t>(row, rows.fixed, rows.count - 1))},
                selection);
}

// --- Input methods ---

// Composing text through an input method starts editing like a typed character does.
void GridView::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty() && event->preeditString().isEmpty()) {
        event->ignore();
        return;
    }
    if (OpenEditor()) {
        ForwardToEditor(event);
    }
}

QVariant GridView::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImCursorRectangle) {
        if (const std::optional<CellBox> box = Geometry().BoxOf(grid_.Current())) {
            return QRect(viewport()->mapToParent(QPoint(box->x, box->y)),
                         QSize(box->width, box->height));
        }
    }
    return QAbstractScrollArea::inputMethodQuery(query);
}

// --- In-place editor ---

bool GridView::OpenEditor() {
    if (editing_) {
        return true;
    }
    if (!Geometry().BoxOf(grid_.Current())) {
        return false;
    }
    editing_ = true;
    textAtOpening_ = grid_.CellText(grid_.Col(), grid_.Row());
    ReloadEditor();
    PlaceEditor();
    editor_->show();
    editor_->setFocus();
    viewport()->update();
    emit editingStarted();
    return true;
}

void GridView::closeEditor() {
    if (!editing_) {
        return;
    }
    editing_ = false;
    if (editor_->hasFocus()) {
        setFocus();  // before hiding, so that the focus does not wander off to another widget
    }
    editor_->hide();
    viewport()->update();
    emit editingFinished();
}

// Puts the editor over the current cell; closes it when that cell scrolled out of sight.
void GridView::PlaceEditor() {
    if (!editing_) {
        return;
    }
    const std::optional<CellBox> box = Geometry().BoxOf(grid_.Current());
    if (!box) {
        closeEditor();
        return;
    }
    editor_->setGeometry(ToRect(*box));
}

// Shows the current cell's text, all of it selected, unless the editor shows it already.
void GridView::ReloadEditor() {
    const QString text = DecodeCp932(grid_.Cell(grid_.Col(), grid_.Row()));
    lastStoredText_ = text;
    if (editor_->text() != text || !editor_->isVisible()) {
        editor_->setText(text);
        editor_->selectAll();
    }
}

// Every change typed is written into the current cell at once. A text the table file cannot
// hold never gets this far (the validator refuses it) unless the cell held undecodable bytes
// from the start; such an edit is undone rather than stored with stand-in characters.
void GridView::StoreEditorText(const QString& text) {
    const std::optional<std::string> bytes = EncodeTyped(text);
    if (!bytes) {
        const int cursor = editor_->cursorPosition();
        editor_->setText(lastStoredText_);
        editor_->setCursorPosition(std::min(cursor, static_cast<int>(lastStoredText_.size())));
        return;
    }
    lastStoredText_ = text;
    QScopedValueRollback<bool> writing(writingFromEditor_, true);
    grid_.SetCell(grid_.Col(), grid_.Row(), *bytes);
}

void GridView::ForwardToEditor(QEvent* event) {
    QApplication::sendEvent(editor_, event);
}

// --- Mouse ---

void GridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    StartDrag(Geometry().PressAt(pos.x(), pos.y()), pos);
}

void GridView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (drag_.kind == Drag::Kind::None) {
        UpdateCursor(pos);
    } else {
        ContinueDrag(pos);
    }
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && drag_.kind != Drag::Kind::None) {
        FinishDrag(event->position().toPoint());
    }
}

void GridView::StartDrag(const PressTarget& target, const QPoint& pos) {
    const GridGeometry geometry = Geometry();
    drag_ = Drag{};
    switch (target.kind) {
        case PressTarget::Kind::Cell: {
            const bool extend = QApplication::keyboardModifiers() & Qt::ShiftModifier;
            if (target.cell == grid_.Current() && !extend) {
                OpenEditor();
                return;
            }
            MoveCurrent(target.cell, extend ? Selection::Extend : Selection::Collapse);
            drag_.kind = Drag::Kind::Select;
            return;
        }
        case PressTarget::Kind::ResizeColumn: {
            const AxisSpan span = *geometry.Columns().Find(target.cell.col);
            drag_ = Drag{Drag::Kind::ResizeColumn, span.index,    span.start,
                         span.LineAt() - pos.x(),  span.LineAt(), std::nullopt};
            break;
        }
        case PressTarget::Kind::ResizeRow: {
            const AxisSpan span = *geometry.Rows().Find(target.cell.row);
            drag_ = Drag{Drag::Kind::ResizeRow,   span.index,    span.start,
                         span.LineAt() - pos.y(), span.LineAt(), std::nullopt};
            break;
        }
        case PressTarget::Kind::MoveRow:
            drag_ = Drag{Drag::Kind::MoveRow, target.cell.row, 0, 0, 0, target.cell.row};
            break;
        case PressTarget::Kind::MoveColumn:
            drag_ = Drag{Drag::Kind::MoveColumn, target.cell.col, 0, 0, 0, target.cell.col};
            break;
        case PressTarget::Kind::Nothing:
            return;
    }
    viewport()->update();
}

void GridView::ContinueDrag(const QPoint& pos) {
    const GridGeometry geometry = Geometry();
    switch (drag_.kind) {
        case Drag::Kind::Select:
            if (const std::optional<GridCell> cell = geometry.CellAt(pos.x(), pos.y())) {
                if (*cell != grid_.Current() && cell->col >= grid_.FixedCols() &&
                    cell->row >= grid_.FixedRows()) {
                    MoveCurrent(*cell, Selection::Extend);
                }
            }
            return;
        case Drag::Kind::ResizeColumn:
            drag_.line = std::max(pos.x() + drag_.grip, drag_.start);
            break;
        case Drag::Kind::ResizeRow:
            drag_.line = std::max(pos.y() + drag_.grip, drag_.start);
            break;
        case Drag::Kind::MoveRow:
            drag_.target = geometry.Rows().ScrolledIndexNearest(pos.y());
            break;
        case Drag::Kind::MoveColumn:
            drag_.target = geometry.Columns().ScrolledIndexNearest(pos.x());
            break;
        case Drag::Kind::None:
            return;
    }
    viewport()->update();
}

// A size is stored only when more than 1 pixel; a row or column dropped on itself stays.
void GridView::FinishDrag(const QPoint& pos) {
    ContinueDrag(pos);
    const Drag drag = drag_;
    drag_ = Drag{};
    viewport()->update();
    const int32_t size = drag.line - drag.start;
    switch (drag.kind) {
        case Drag::Kind::ResizeColumn:
            if (size > 1) {
                grid_.SetColWidth(drag.index, size);
            }
            break;
        case Drag::Kind::ResizeRow:
            if (size > 1) {
                grid_.SetRowHeight(drag.index, size);
            }
            break;
        case Drag::Kind::MoveRow:
            if (drag.target && *drag.target != drag.index) {
                grid_.MoveRow(drag.index, *drag.target);
            }
            break;
        case Drag::Kind::MoveColumn:
            if (drag.target && *drag.target != drag.index) {
                grid_.MoveColumn(drag.index, *drag.target);
            }
            break;
        case Drag::Kind::Select:
        case Drag::Kind::None:
            break;
    }
}

void GridView::UpdateCursor(const QPoint& pos) {
    switch (Geometry().PressAt(pos.x(), pos.y()).kind) {
        case PressTarget::Kind::ResizeColumn:
            viewport()->setCursor(Qt::SplitHCursor);
            break;
        case PressTarget::Kind::ResizeRow:
            viewport()->setCursor(Qt::SplitVCursor);
            break;
        default:
            viewport()->unsetCursor();
            break;
    }
}

}  // namespace qv
