#include "gui/access_key_menu.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace qv {

namespace {

// The first visible, enabled item whose access letter is `key`, when more than one has it.
QAction* FirstOfShared(const QList<QAction*>& actions, int key) {
    QAction* first = nullptr;
    int sharing = 0;
    for (QAction* action : actions) {
        if (action->isSeparator() || !action->isVisible() || !action->isEnabled()) {
            continue;
        }
        const QKeySequence letter = QKeySequence::mnemonic(action->text());
        if (!letter.isEmpty() && (letter[0].key() == key)) {
            first = first == nullptr ? action : first;
            ++sharing;
        }
    }
    return sharing > 1 ? first : nullptr;
}

}  // namespace

void AccessKeyMenu::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
    QAction* chosen = plain ? FirstOfShared(actions(), event->key()) : nullptr;
    if (chosen == nullptr) {
        QMenu::keyPressEvent(event);
        return;
    }
    // Enter on the item runs it the way its letter would have: the menus close first.
    setActiveAction(chosen);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QMenu::keyPressEvent(&enter);
}

}  // namespace qv
