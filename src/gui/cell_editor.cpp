#include "gui/cell_editor.h"

#include <QKeyEvent>

#include "gui/cp932_input.h"

namespace qv {

namespace {

bool IsGridKey(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return true;
        default:
            return false;
    }
}

}  // namespace

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setValidator(new Cp932Validator(this));
    hide();
}

// Tab would otherwise move the focus to the next widget before keyPressEvent sees it.
bool CellEditor::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            emit gridKeyPressed(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
    if (IsGridKey(*event)) {
        emit gridKeyPressed(event);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace qv
