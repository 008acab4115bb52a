#pragma once

#include <QLineEdit>

class QKeyEvent;

namespace qv {

// The one-line editor the grid opens over its current cell: no frame, the grid's font, and only
// texts a table file can hold (see Cp932Validator). The keys that move between cells or end the
// editing (Enter, Esc, Tab, Shift+Tab, Up, Down, Page Up, Page Down) are not handled here but
// handed to the grid through gridKeyPressed. Undo and redo keys are left to the main window.
class CellEditor : public QLineEdit {
    Q_OBJECT
public:
    explicit CellEditor(QWidget* parent);

signals:
    void gridKeyPressed(QKeyEvent* event);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qv
