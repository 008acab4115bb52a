#pragma once

#include <QLineEdit>

class QKeyEvent;

namespace qv {

class TableGrid;

// The one-line editor the grid opens over its current cell: no frame, the grid's font, and only
// texts a table file can hold (see EncodeTyped). The keys that move between cells or end the
// editing (Enter, Esc, Tab, Shift+Tab, Up, Down, Page Up, Page Down) are not handled here but
// handed to the grid through gridKeyPressed.
//
// A cell holding bytes that are no valid CP932 shows them as U+FFFD. Such a cell's edits are
// encoded against its bytes (EncodeEditedText) and stored here: what the user left untouched
// keeps its exact bytes, and what was typed is stored as typed.
//
// Undo and redo keys are left to the main window.
class CellEditor : public QLineEdit {
    Q_OBJECT
public:
    explicit CellEditor(QWidget* parent);

signals:
    void gridKeyPressed(QKeyEvent* event);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The grid of the view this editor belongs to; nullptr outside a grid view.
    TableGrid* Grid() const;
    bool ShowsUndecodableBytes() const;
    bool EditUndecodableCell(QEvent* event);
};

}  // namespace qv
