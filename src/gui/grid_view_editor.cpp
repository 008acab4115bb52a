// GridView's in-place editor and input methods: the editor opens over the current cell, and every
// change typed in it goes into the table at once, as typing of one step.
#include <QApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QScopedValueRollback>
#include <algorithm>

#include "gui/cell_editor.h"
#include "gui/cp932_input.h"
#include "gui/edited_text.h"
#include "gui/grid_view.h"
#include "gui/long_text_dialog.h"
#include "gui/message_dialog.h"
#include "view/cell_text_extent.h"

namespace qv {

namespace {

constexpr const char* kTooLongToEditMessage =
    "セルの文字数が 2,000,000 を超えるため編集できません。入力した文字でセル全体を置き換える"
    "ことはできます";

}  // namespace

// --- Input methods ---

// Composing text through an input method starts editing like a typed character does. The
// composition goes on in the editor, shown in the cell, while the grid keeps the focus (the input
// method resets itself when the focus moves); the editor takes the focus once nothing is left
// composing.
void GridView::inputMethodEvent(QInputMethodEvent* event) {
    const bool empty = event->commitString().isEmpty() && event->preeditString().isEmpty() &&
                       event->replacementLength() == 0;
    if (!editing_ && empty) {
        event->ignore();
        return;
    }
    if (!OpenEditor(EditorFocus::LeaveWithGrid, Opening::ToTypeOver)) {
        return;
    }
    ForwardToEditor(event);
    if (editing_ && editor_->Composition().isEmpty()) {
        // Not at once: Qt asks the input method to commit in the midst of moving the focus to
        // another control, and taking the focus then would route it through the editor on its
        // way, telling the input method of a focus that comes and goes at once.
        QMetaObject::invokeMethod(this, &GridView::TakeFocusIntoEditor, Qt::QueuedConnection);
    }
}

void GridView::TakeFocusIntoEditor() {
    if (editing_ && editor_->Composition().isEmpty() && hasFocus()) {
        editor_->setFocus();
    }
}

// The input method is asked first: it sends its own text to the grid (see inputMethodEvent). A
// platform without one, or an input method that lets the composition go, leaves the pre-edit
// shown, which then goes into the cell as it stands.
void GridView::CommitComposition() {
    if (!editing_ || editor_->Composition().isEmpty()) {
        return;
    }
    if (hasFocus()) {
        QGuiApplication::inputMethod()->commit();
    }
    if (editing_) {
        editor_->CommitComposition();
    }
}

// While the editor is open, the input method asks the editor (its cursor, its text) through
// the grid; otherwise the current cell is where the composition will show.
QVariant GridView::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (editing_) {
        const QVariant answer = editor_->inputMethodQuery(query);
        if (query == Qt::ImCursorRectangle || query == Qt::ImAnchorRectangle) {
            return answer.toRect().translated(editor_->mapTo(this, QPoint(0, 0)));
        }
        return answer;
    }
    if (query == Qt::ImCursorRectangle) {
        if (const std::optional<CellBox> box = Geometry().BoxOf(grid_.Current())) {
            return QRect(viewport()->mapToParent(QPoint(box->x, box->y)),
                         QSize(box->width, box->height));
        }
    }
    return QAbstractScrollArea::inputMethodQuery(query);
}

// --- In-place editor ---

bool GridView::OpenEditor(EditorFocus focus, Opening opening) {
    if (editing_) {
        return true;
    }
    if (!Geometry().BoxOf(grid_.Current())) {
        return false;
    }
    const bool fits = FitsInCellEditor(grid_.Cell(grid_.Col(), grid_.Row()));
    if (!fits && opening == Opening::ToShow) {
        EditLongText();
        return false;
    }
    editing_ = true;
    input_.EditorOpened();
    textAtOpening_ = grid_.CellText(grid_.Col(), grid_.Row());
    if (fits) {
        ReloadEditor();
    } else {
        // What is typed replaces the whole text, as in a cell whose text is all selected.
        lastStoredText_.clear();
        editor_->clear();
    }
    PlaceEditor();
    editor_->show();
    if (focus == EditorFocus::Take) {
        editor_->setFocus();
    }
    viewport()->update();
    emit editingStarted();
    return true;
}

// A text longer than the in-place editor holds is edited in a dialog, stored when it is accepted.
void GridView::EditLongText() {
    const GridCell cell = grid_.Current();
    if (!FitsInLongTextEditor(grid_.Cell(cell.col, cell.row))) {
        runModal_(*MessageDialog::FailureBox(QString::fromUtf8(kTooLongToEditMessage), this));
        return;
    }
    LongTextDialog dialog(grid_.CellText(cell.col, cell.row), font(), this);
    if (runModal_(dialog) != QDialog::Accepted || !dialog.Edited() || grid_.Current() != cell ||
        *dialog.Edited() == grid_.Cell(cell.col, cell.row)) {
        return;
    }
    emit editingStarted();  // one step of the undo history, as an edit in place is
    input_.EditorOpened();
    input_.TypeInCurrentCell(*dialog.Edited());
    input_.EditorClosed();
    emit editingFinished();
}

void GridView::closeEditor() {
    if (!editing_) {
        return;
    }
    editor_->DropComposition();  // the current cell may have moved: it is not the word's
    editing_ = false;
    input_.EditorClosed();
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
    editor_->setGeometry(QRect(box->x, box->y, box->width, box->height));
}

// Shows the current cell's text, all of it selected, unless the editor shows it already. A text
// the editor would cut (written by a command meanwhile) closes it instead: typing on would store
// the cut text.
void GridView::ReloadEditor() {
    if (!FitsInCellEditor(grid_.Cell(grid_.Col(), grid_.Row()))) {
        closeEditor();
        return;
    }
    const QString text = DecodeCp932(grid_.Cell(grid_.Col(), grid_.Row()));
    lastStoredText_ = text;
    if (editor_->text() != text || !editor_->isVisible()) {
        editor_->setText(text);
        editor_->selectAll();
    }
}

// Every change typed is written into the current cell at once. A text the table file cannot
// hold never gets this far (the editor's validator refuses it); should one come all the same,
// it is undone rather than stored with stand-in characters.
void GridView::StoreEditorText(const QString& text) {
    std::optional<std::string> bytes = EncodeTyped(text);
    const bool typedWhole = bytes.has_value();
    if (!typedWhole) {
        bytes = EncodeEditedText(grid_.Cell(grid_.Col(), grid_.Row()), text);
    }
    const QString shown = !bytes ? lastStoredText_ : typedWhole ? text : DecodeCp932(*bytes);
    if (bytes) {
        QScopedValueRollback<bool> writing(writingFromEditor_, true);
        input_.TypeInCurrentCell(std::move(*bytes));
    }
    // Bytes kept from an undecodable cell may read otherwise beside what was typed (a lone lead
    // byte takes a typed character as its second byte): the editor shows what the cell holds.
    if (shown != text) {
        const int cursor = editor_->cursorPosition();
        editor_->setText(shown);
        editor_->setCursorPosition(std::min(cursor, static_cast<int>(shown.size())));
    }
    lastStoredText_ = shown;
}

void GridView::ForwardToEditor(QEvent* event) {
    QApplication::sendEvent(editor_, event);
}

}  // namespace qv
