#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <optional>
#include <string>

#include "table/grid_geometry.h"
#include "table/table_grid.h"

namespace qv {

class CellEditor;

// The editable view of a table grid. It paints the grid's cells (the texts decoded from CP932),
// scrolls by whole cells and turns the user's mouse and keyboard input into the grid's
// operations: choosing the current cell and a range with Shift, moving with Tab and the movement
// keys, dragging rows and columns by their fixed cells, resizing by the lines between fixed
// cells, and editing the current cell in place. Every change typed in the editor is written into
// the grid at once, so the grid always holds what the user has typed; the view keeps no texts.
//
// The view watches the grid for as long as it lives; the grid must outlive it. Whatever changes
// the grid (commands, loading) shows at once; a change of the current cell closes the editor.
//
// The font is "ＭＳ 明朝" at 15 pixels (shown with IPAMincho); setFont() changes it.
class GridView : public QAbstractScrollArea, private TableGridObserver {
    Q_OBJECT
public:
    explicit GridView(TableGrid& grid, QWidget* parent = nullptr);
    ~GridView() override;
    GridView(const GridView&) = delete;
    GridView& operator=(const GridView&) = delete;

    TableGrid& grid() const { return grid_; }

    // Whether the in-place editor is open on the current cell.
    bool isEditing() const { return editing_; }
    // Closes the in-place editor; what was typed is already in the grid. Does nothing when it is
    // not open.
    void closeEditor();

signals:
    // The in-place editor opened on the current cell, or closed again.
    void editingStarted();
    void editingFinished();

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
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // What a held mouse button is doing.
    struct Drag {
        enum class Kind { None, Select, ResizeColumn, ResizeRow, MoveRow, MoveColumn };
        Kind kind = Kind::None;
        int32_t index = 0;              // the column or row resized or moved
        int32_t start = 0;              // resizing: the first pixel of that column or row
        int32_t grip = 0;               // resizing: the line's distance from the pointer
        int32_t line = 0;               // resizing: where the line is drawn now
        std::optional<int32_t> target;  // moving: where the column or row would land
    };
    enum class Selection { Collapse, Extend };

    // TableGridObserver
    void CellChanged(int32_t col, int32_t row) override;
    void CellsChanged() override;
    void LayoutChanged() override;
    void CurrentCellChanged(GridCell previous) override;

    GridGeometry Geometry() const;
    void UpdateScrollBars();
    bool IsMaybeShown(GridCell cell) const;
    void EnsureCurrentVisible();

    void PaintCells(QPainter& painter, const GridGeometry& geometry, const QRect& dirty);
    void PaintLines(QPainter& painter, const GridGeometry& geometry);
    void PaintFocus(QPainter& painter, const GridGeometry& geometry);
    void PaintDrag(QPainter& painter, const GridGeometry& geometry);

    bool HandleMovementKey(const QKeyEvent& event);
    void MoveCurrent(GridCell target, Selection selection);
    void MoveByTab(bool forward);
    void MoveByPage(int32_t direction, Selection selection);

    bool OpenEditor();
    void PlaceEditor();
    void ReloadEditor();
    void StoreEditorText(const QString& text);
    void ForwardToEditor(QEvent* event);

    void StartDrag(const PressTarget& target, const QPoint& pos);
    void ContinueDrag(const QPoint& pos);
    void FinishDrag(const QPoint& pos);
    void UpdateCursor(const QPoint& pos);

    TableGrid& grid_;
    CellEditor* editor_;
    bool editing_ = false;
    bool writingFromEditor_ = false;
    bool syncingScrollBars_ = false;
    QString lastStoredText_;
    std::string textAtOpening_;  // the cell's bytes when the editor opened, for Esc
    Drag drag_;
};

}  // namespace qv
