#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/table_input.h"
#include "gui/grid_mouse_controller.h"
#include "gui/modal_runner.h"
#include "table/table_grid.h"
#include "view/grid_geometry.h"

namespace qv {

class CellEditor;

// The editable view of a table grid: the widget that ties the grid's pieces together. It keeps
// the scroll bars in step with the top-left cell shown (the view scrolls by whole cells), has
// GridRenderer paint, turns keys into moves through the navigation rules (view/grid_navigation),
// hands the mouse to GridMouseController, and opens the in-place editor over the current cell.
// Every change typed in the editor goes into the table at once, through the table's input (as
// do drags and the choice of the current cell), so the grid always holds what the user has
// typed; the view keeps no texts and never writes the grid itself.
//
// The view watches the grid for as long as it lives; the grid must outlive it. Whatever changes
// the grid (commands, loading) shows at once; a change of the current cell closes the editor,
// and a held move or resize of a row or column ends.
//
// The font is "ＭＳ 明朝" at 15 pixels (see GridFont); setFont() changes it.
class GridView : public QAbstractScrollArea, private TableGridObserver, private GridMouseHost {
    Q_OBJECT
public:
    explicit GridView(TableInput& input, QWidget* parent = nullptr);
    ~GridView() override;
    GridView(const GridView&) = delete;
    GridView& operator=(const GridView&) = delete;

    const TableGrid& grid() const { return grid_; }
    // The rows shown: under a filter, those it shows.
    const ShownRows& shownRows() const { return input_.Shown(); }

    // Whether the in-place editor is open on the current cell.
    bool isEditing() const { return editing_; }
    // Closes the in-place editor; what was typed is already in the grid. Does nothing when it is
    // not open.
    void closeEditor();

    // Runs the dialog that edits a cell too long for the in-place editor (a LongTextDialog); by
    // default modally, in its own event loop.
    void setModalRunner(ModalRunner runner) { runModal_ = std::move(runner); }

    // The first scrolled column and row shown: the scroll bars' values.
    GridCell topLeft() const { return topLeft_; }
    // Scrolls so that `cell` (clamped into the scrollable cells) is the top-left one shown.
    void scrollTo(GridCell cell) { SetTopLeft(cell); }
    // Scrolls as little as needed for the current cell to be shown whole.
    void showCurrentCell() { EnsureCurrentVisible(); }

    // Where `cell` is shown in the viewport, if it is; the cell under `point` of the viewport.
    std::optional<QRect> cellRect(GridCell cell) const;
    std::optional<GridCell> cellAt(QPoint point) const;

signals:
    // The in-place editor opened on the current cell, or closed again; the same two around the
    // store of an edit made in the dialog for long texts.
    void editingStarted();
    void editingFinished();
    // A character CP932 cannot hold was typed or pasted into the editor, and refused.
    void characterRefused(char32_t character);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // TableGridObserver
    void CellChanged(int32_t col, int32_t row) override;
    void CellsChanged() override;
    void LayoutChanged() override;
    void CurrentCellChanged(GridCell previous) override;

    // GridMouseHost
    GridGeometry CurrentGeometry() const override { return Geometry(); }
    void OpenEditorByMouse() override { OpenEditor(EditorFocus::Take, Opening::ToShow); }
    void RepaintGrid() override;
    void ShowCursor(Cursor cursor) override;

    GridGeometry Geometry() const;
    void SetTopLeft(GridCell cell);
    void FollowCounts();
    void UpdateScrollBars();
    bool IsMaybeShown(GridCell cell) const;
    void EnsureCurrentVisible();

    bool HandleMovementKey(const QKeyEvent& event);

    // Where the keyboard focus goes when the editor opens. While an input method composes, the
    // focus stays with the grid: moving it would make the input method drop or commit half a
    // word (see inputMethodEvent).
    enum class EditorFocus { Take, LeaveWithGrid };
    // Why the editor opens: to show the cell's text (F2, Enter, a click), or to type over it. A
    // text longer than the in-place editor holds is shown in a dialog, and typed over in an
    // editor that starts empty.
    enum class Opening { ToShow, ToTypeOver };
    bool OpenEditor(EditorFocus focus, Opening opening);
    void EditLongText();
    void PlaceEditor();
    void ReloadEditor();
    void TakeFocusIntoEditor();
    // Ends a composition going on in the editor by storing it into the cell being edited, before
    // a click or a move of the focus could lose it; see inputMethodEvent.
    void CommitComposition();
    // Stores what the editor shows into the current cell: encoded whole, or, in a cell holding
    // undecodable bytes, as an edit of those bytes; an edit neither can hold is taken back.
    void StoreEditorText(const QString& text);
    void ForwardToEditor(QEvent* event);

    TableInput& input_;
    const TableGrid& grid_;
    CellEditor* editor_;
    GridMouseController mouse_;
    // The scroll place is the view's own: another view of the same grid may show other cells.
    GridCell topLeft_;
    GridCell fixedSeen_;  // the fixed lines' counts when the view last looked
    bool editing_ = false;
    bool writingFromEditor_ = false;
    bool syncingScrollBars_ = false;
    QString lastStoredText_;
    std::string textAtOpening_;  // the cell's bytes when the editor opened, for Esc
    ModalRunner runModal_ = RunDialogModally;
};

}  // namespace qv
