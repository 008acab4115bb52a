#include "gui/cell_editor.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QValidator>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>

#include "gui/cp932_input.h"
#include "gui/edited_text.h"
#include "gui/grid_view.h"

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

// The events by which the user changes the editor's text.
bool MayEdit(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
            return !IsGridKey(static_cast<const QKeyEvent&>(event));
        case QEvent::InputMethod:
        case QEvent::Drop:
        case QEvent::ContextMenu:
        case QEvent::MouseButtonRelease:
            return true;
        default:
            return false;
    }
}

std::string CurrentCellBytes(const TableGrid& grid) {
    return std::string(grid.Cell(grid.Col(), grid.Row()));
}

// Texts a table file can hold: as typed, or, where the cell shows undecodable bytes, as an edit of
// the cell's bytes.
class CellTextValidator final : public QValidator {
public:
    explicit CellTextValidator(CellEditor* editor, std::function<TableGrid*()> grid)
        : QValidator(editor), grid_(std::move(grid)) {}
    State validate(QString& input, int& /*position*/) const override {
        if (EncodeTyped(input)) {
            return Acceptable;
        }
        const TableGrid* grid = grid_();
        return grid != nullptr && EncodeEditedText(CurrentCellBytes(*grid), input) ? Acceptable
                                                                                   : Invalid;
    }

private:
    std::function<TableGrid*()> grid_;
};

// Undo and redo act on the whole table, through the main window's shortcuts, not on the
// editor's own text.
bool IsTableUndoKey(const QKeyEvent& event) {
    return event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo) ||
           event.keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
           event.keyCombination() ==
               QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

}  // namespace

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setValidator(new CellTextValidator(this, [this] { return Grid(); }));
    hide();
}

TableGrid* CellEditor::Grid() const {
    for (QObject* owner = parent(); owner != nullptr; owner = owner->parent()) {
        if (auto* view = qobject_cast<GridView*>(owner)) {
            return &view->grid();
        }
    }
    return nullptr;
}

bool CellEditor::ShowsUndecodableBytes() const {
    return text().contains(QChar::ReplacementCharacter);
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
    if (MayEdit(*event) && ShowsUndecodableBytes()) {
        return EditUndecodableCell(event);
    }
    return QLineEdit::event(event);
}

// The grid view would store the edited text encoded whole, which U+FFFD cannot be: the edit is
// stored here, against the cell's bytes, without the view hearing of it.
bool CellEditor::EditUndecodableCell(QEvent* event) {
    const QString before = text();
    bool handled = false;
    {
        const QSignalBlocker quiet(this);
        handled = QLineEdit::event(event);
    }
    TableGrid* grid = Grid();
    if (text() == before || grid == nullptr) {
        return handled;
    }
    const std::optional<std::string> bytes = EncodeEditedText(CurrentCellBytes(*grid), text());
    if (!bytes) {
        // Undo brings back what the validator would refuse; the cell stays as it is.
        const int cursor = cursorPosition();
        setText(before);
        setCursorPosition(std::min(cursor, static_cast<int>(before.size())));
        return handled;
    }
    grid->SetCell(grid->Col(), grid->Row(), *bytes);
    return handled;
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

}  // namespace qv
