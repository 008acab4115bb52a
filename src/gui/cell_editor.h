#pragma once

#include <QLineEdit>
#include <functional>
#include <string>

class QKeyEvent;

namespace qv {

// The one-line editor the grid opens over its current cell: no frame, the grid's font, and only
// texts a table file can hold. The keys that move between cells or end the editing (Enter, Esc,
// Tab, Shift+Tab, Up, Down, Page Up, Page Down) are not handled here but handed to the grid
// through gridKeyPressed.
//
// `storedBytes` tells the bytes the cell holds. A cell holding bytes that are no valid CP932
// shows them as U+FFFD; its edits are accepted as edits of those bytes (EncodeEditedText), and
// the grid view stores them so. Line breaks pasted in are kept as the table file stores them
// (CR LF and CR become LF; 0x1A goes); a character CP932 cannot hold is refused and told through
// characterRefused.
//
// Undo and redo keys are left to the main window.
//
// A word an input method is composing (the pre-edit) is shown, whether the grid passed it on or
// the editor had the focus. When the focus leaves for another control, the word is typed as it
// stands rather than lost, should the input method not have committed it itself.
class CellEditor : public QLineEdit {
    Q_OBJECT
public:
    CellEditor(std::function<std::string()> storedBytes, QWidget* parent);

    const QString& Composition() const { return composition_; }
    // Types the word being composed as it stands, or drops it; the input method starts anew.
    void CommitComposition();
    void DropComposition();

signals:
    void gridKeyPressed(QKeyEvent* event);
    void characterRefused(char32_t character);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString composition_;
};

}  // namespace qv
