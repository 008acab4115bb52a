#include "gui/grid_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>

#include "gui/cell_editor.h"
#include "gui/design_fonts.h"
#include "gui/grid_accessible.h"
#include "gui/grid_navigator.h"
#include "gui/grid_renderer.h"
#include "view/grid_navigation.h"

namespace qv {

namespace {

QRect ToRect(const CellBox& box) {
    return QRect(box.x, box.y, box.width, box.height);
}

bool IsPrintable(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const QList<uint> characters = event.text().toUcs4();  // a surrogate pair is one character
    return !characters.isEmpty() && QChar::isPrint(static_cast<char32_t>(characters.front()));
}

// Ctrl+A, Ctrl+Space and Shift+Space, as spreadsheets have them.
std::optional<WholeLines> WholeLinesKey(const QKeyEvent& event) {
    const QKeyCombination key = event.keyCombination();
    if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_A)) {
        return WholeLines::Table;
    }
    if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_Space)) {
        return WholeLines::Columns;
    }
    if (key == QKeyCombination(Qt::ShiftModifier, Qt::Key_Space)) {
        return WholeLines::Rows;
    }
    return std::nullopt;
}

}  // namespace

GridView::GridView(TableInput& input, QWidget* parent)
    : QAbstractScrollArea(parent),
      input_(input),
      grid_(input.Table()),
      editor_(
          new CellEditor([this] { return grid_.CellText(grid_.Col(), grid_.Row()); }, viewport())),
      mouse_(input, *this),
      topLeft_{grid_.FixedCols(), grid_.FixedRows()},
      fixedSeen_(topLeft_) {
    InstallGridAccessibleFactory();
    setFont(GridFont());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);
    connect(editor_, &QLineEdit::textEdited, this, &GridView::StoreEditorText);
    connect(editor_, &CellEditor::characterRefused, this, &GridView::characterRefused);
    connect(editor_, &CellEditor::gridKeyPressed, this, [this](QKeyEvent* event) {
        if (!HandleMovementKey(*event)) {
            keyPressEvent(event);
        }
    });
    grid_.AddObserver(this);
    input_.SetShownRowsListener([this] { LayoutChanged(); });
    UpdateScrollBars();
}

GridView::~GridView() {
    input_.SetShownRowsListener({});
    grid_.RemoveObserver(this);
}

// --- Geometry and scrolling ---

GridGeometry GridView::Geometry() const {
    return GridGeometry(grid_, topLeft_, viewport()->width(), viewport()->height(),
                        &input_.Shown());
}

std::optional<QRect> GridView::cellRect(GridCell cell) const {
    if (const std::optional<CellBox> box = Geometry().BoxOf(cell)) {
        return ToRect(*box);
    }
    return std::nullopt;
}

std::optional<GridCell> GridView::cellAt(QPoint point) const {
    return Geometry().CellAt(point.x(), point.y());
}

// The scroll bars' values are the top-left cell's column and row, so the view scrolls by whole
// cells; the ranges end where the last cells just fill the viewport.
void GridView::UpdateScrollBars() {
    const QSize size = viewport()->size();
    const GridAxis cols = ColumnAxis(grid_);
    const GridAxis rows = RowAxis(grid_, &input_.Shown());
    const GridCell lastFirst{LastFirstIndex(cols, size.width()),
                             LastFirstIndex(rows, size.height())};
    const GridCell topLeft = topLeft_;
    const GridCell clamped{std::min(topLeft.col, lastFirst.col),
                           std::min(topLeft.row, lastFirst.row)};
    if (clamped != topLeft) {
        SetTopLeft(clamped);  // comes back here
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
        SetTopLeft(GridCell{horizontalScrollBar()->value(), verticalScrollBar()->value()});
    }
}

void GridView::SetTopLeft(GridCell cell) {
    const GridCell clamped = ClampTopLeft(grid_, cell, &input_.Shown());
    if (clamped == topLeft_) {
        return;
    }
    topLeft_ = clamped;
    UpdateScrollBars();
    PlaceEditor();
    viewport()->update();
}

// Keeps the scroll place inside the counts; when a fixed line gave way (a count set to the
// fixed lines' number or fewer), the grid went back to its first cells and so does the view.
void GridView::FollowCounts() {
    const GridCell fixed{grid_.FixedCols(), grid_.FixedRows()};
    if (fixed != fixedSeen_) {
        fixedSeen_ = fixed;
        topLeft_ = fixed;
    }
    topLeft_ = ClampTopLeft(grid_, topLeft_, &input_.Shown());
}

// A quick test before the geometry is built, for commands that write many cells one by one.
bool GridView::IsMaybeShown(GridCell cell) const {
    const GridCell topLeft = topLeft_;
    const bool colScrolledAway = cell.col >= grid_.FixedCols() && cell.col < topLeft.col;
    // Under a filter the top row is a display row: any data row may be shown.
    const bool rowScrolledAway =
        cell.row >= grid_.FixedRows() && cell.row < topLeft.row && !input_.Shown().Filtered();
    return isVisible() && !colScrolledAway && !rowScrolledAway && cell.col < grid_.ColCount() &&
           cell.row < grid_.RowCount();
}

void GridView::EnsureCurrentVisible() {
    if (!isVisible()) {
        return;  // the viewport has no real size yet
    }
    const GridCell current = grid_.Current();
    const GridCell topLeft = topLeft_;
    const GridCell wanted{
        FirstShowing(ColumnAxis(grid_), topLeft.col, viewport()->width(), current.col),
        FirstShowing(RowAxis(grid_, &input_.Shown()), topLeft.row, viewport()->height(),
                     input_.Shown().NearestDisplayRow(current.row, grid_.FixedRows()))};
    if (wanted != topLeft) {
        SetTopLeft(wanted);
    }
}

void GridView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    PlaceEditor();
}

void GridView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
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
    AnnounceCellChanged(*this, GridCell{col, row});
}

void GridView::CellsChanged() {
    mouse_.TableChanged();
    viewport()->update();
    if (editing_ && !writingFromEditor_) {
        ReloadEditor();
    }
    AnnounceTableReset(*this);
}

void GridView::LayoutChanged() {
    FollowCounts();
    mouse_.TableChanged();
    UpdateScrollBars();
    PlaceEditor();
    viewport()->update();
    AnnounceTableReset(*this);
}

void GridView::CurrentCellChanged(GridCell previous) {
    if (previous != grid_.Current()) {
        closeEditor();
        EnsureCurrentVisible();
    }
    UpdateScrollBars();
    PlaceEditor();
    viewport()->update();
    AnnounceCurrentCell(*this);
}

// --- Painting ---

void GridView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const GridRenderer renderer(grid_, font(), palette());
    const bool focusShown = hasFocus() && !editing_;
    renderer.Paint(painter, Geometry(), event->rect(),
                   focusShown ? GridRenderer::Focus::Shown : GridRenderer::Focus::Hidden,
                   mouse_.Drag());
}

void GridView::RepaintGrid() {
    viewport()->update();
}

// --- Focus and keyboard ---

void GridView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    AnnounceCurrentCell(*this);  // a reader reads the cell, not just "table"
}

void GridView::focusOutEvent(QFocusEvent* event) {
    // The focus went to another control (the title box, say): a word being composed in the cell
    // goes into the cell, not into the control. A window left for a while keeps its composition.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        CommitComposition();
    }
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
    if (const std::optional<WholeLines> lines = WholeLinesKey(*event)) {
        const SelectionCorners corners = SelectWhole(grid_, *lines);
        input_.Select(corners.anchor);
        input_.Select(corners.current, TableGrid::Selection::Extend);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (editing_ && event->modifiers().testFlag(Qt::ControlModifier)) {
                // What was typed goes into every selected cell, as a step after the typing.
                const std::string typed = grid_.CellText(grid_.Col(), grid_.Row());
                closeEditor();
                input_.FillSelection(typed);
            } else if (editing_) {
                closeEditor();
            } else {
                OpenEditor(EditorFocus::Take, Opening::ToShow);
            }
            return;
        case Qt::Key_F2:
            OpenEditor(EditorFocus::Take, Opening::ToShow);
            return;
        case Qt::Key_Escape:
            if (editing_) {
                // What was typed is taken back: the cell gets its text from the editor's opening.
                if (grid_.Cell(grid_.Col(), grid_.Row()) != textAtOpening_) {
                    input_.TypeInCurrentCell(textAtOpening_);
                }
                closeEditor();
                return;
            }
            break;
        case Qt::Key_Backspace:
            if (OpenEditor(EditorFocus::Take, Opening::ToTypeOver)) {
                if (editor_->text().isEmpty() && !grid_.Cell(grid_.Col(), grid_.Row()).empty()) {
                    StoreEditorText(QString());  // a long text, typed over by an empty editor
                } else {
                    ForwardToEditor(event);
                }
            }
            return;
        default:
            if (IsPrintable(*event)) {
                if (OpenEditor(EditorFocus::Take, Opening::ToTypeOver)) {
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
    const std::optional<NavigationPress> press = NavigationPressOf(event);
    if (!press) {
        return false;
    }
    const GridCell topLeft = topLeft_;
    const NavigationTarget target =
        Navigate(grid_, topLeft, viewport()->height(), press->key, &input_.Shown());
    if (target.topLeft != topLeft) {
        SetTopLeft(target.topLeft);
    }
    input_.Select(target.current, press->selection);
    return true;
}

// --- Mouse ---

void GridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    CommitComposition();  // into the cell being edited, before the click moves away from it
    const bool extend = QApplication::keyboardModifiers() & Qt::ShiftModifier;
    mouse_.Press(event->position().toPoint(),
                 extend ? TableGrid::Selection::Extend : TableGrid::Selection::Collapse);
}

// A double-click on a column's right line in the headings fits the column to its texts; any
// other counts as a second press.
void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const PressTarget target = Geometry().PressAt(at.x(), at.y());
    if (event->button() == Qt::LeftButton && target.kind == PressTarget::Kind::ResizeColumn) {
        input_.FitColumnWidth(target.cell.col);
        return;
    }
    mousePressEvent(event);
}

void GridView::mouseMoveEvent(QMouseEvent* event) {
    mouse_.Move(event->position().toPoint());
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        mouse_.Release(event->position().toPoint());
    }
}

void GridView::ShowCursor(Cursor cursor) {
    switch (cursor) {
        case Cursor::SplitColumns:
            viewport()->setCursor(Qt::SplitHCursor);
            break;
        case Cursor::SplitRows:
            viewport()->setCursor(Qt::SplitVCursor);
            break;
        case Cursor::Normal:
            viewport()->unsetCursor();
            break;
    }
}

}  // namespace qv
