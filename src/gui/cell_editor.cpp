#include "gui/cell_editor.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include "gui/edited_text.h"

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

// Undo and redo act on the whole table, through the main window's shortcuts, not on the
// editor's own text.
bool IsTableUndoKey(const QKeyEvent& event) {
    return event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo) ||
           event.keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
           event.keyCombination() ==
               QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

}  // namespace

CellEditor::CellEditor(std::function<std::string()> storedBytes, QWidget* parent)
    : QLineEdit(parent) {
    setFrame(false);
    auto* validator = new EditedTextValidator(std::move(storedBytes), this, LineBreaks::CellData);
    validator->setRefusalHandler([this](char32_t character) { emit characterRefused(character); });
    setValidator(validator);
    hide();
}

// Tab would otherwise move the focus to the next widget before keyPressEvent sees it.
bool CellEditor::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        IsTableUndoKey(*static_cast<QKeyEvent*>(event))) {
        return true;  // not accepted: the shortcut runs
    }
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
    if (IsTableUndoKey(*event)) {
        event->ignore();  // nothing to undo or redo in the table just now
        return;
    }
    if (IsGridKey(*event)) {
        emit gridKeyPressed(event);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CellEditor::inputMethodEvent(QInputMethodEvent* event) {
    QLineEdit::inputMethodEvent(event);
    composition_ = event->preeditString();
}

// Qt has asked the input method to commit before the focus moved; what it left is typed here.
// A window left for a while keeps its composition.
void CellEditor::focusOutEvent(QFocusEvent* event) {
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        CommitComposition();
    }
    QLineEdit::focusOutEvent(event);
}

void CellEditor::CommitComposition() {
    if (composition_.isEmpty()) {
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(composition_);
    inputMethodEvent(&commit);
    QGuiApplication::inputMethod()->reset();
}

void CellEditor::DropComposition() {
    if (composition_.isEmpty()) {
        return;
    }
    QInputMethodEvent cancel;
    inputMethodEvent(&cancel);
    QGuiApplication::inputMethod()->reset();
}

}  // namespace qv
