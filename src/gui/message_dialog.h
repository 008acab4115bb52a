#pragma once

#include <QDialog>
#include <QString>
#include <QStyle>
#include <memory>
#include <vector>

#include "app/window_system.h"

class QPushButton;

namespace qv {

// The caption of each kind of message dialog.
QString MessageCaption(MessageKind kind);
// The caption of a message dialog button.
QString MessageButtonCaption(MessageButton button);
// The buttons asked for, in the order they stand in the dialog.
std::vector<MessageButton> MessageButtonsInOrder(MessageButtons buttons);
// The button Enter presses: OK, else Yes, else Retry; None when none of them is asked for.
MessageButton MessageDefaultButton(MessageButtons buttons);
// The button Esc presses: Cancel, else No, else OK; None when none of them is asked for.
MessageButton MessageCancelButton(MessageButtons buttons);

// The key of the access letter marked with "&" in a button's caption; 0 when it has none.
int MessageButtonLetterKey(MessageButton button);

// The program's modal message box: a caption, a system icon left of a word-wrapped text, and a
// centred row of buttons. Laid out in dialog units of its font, centred on the screen. Its
// result is the MessageButton pressed, as an int; the close box gives Cancel.
class MessageDialog : public QDialog {
    Q_OBJECT
public:
    MessageDialog(const QString& text, MessageKind kind, MessageButtons buttons,
                  QWidget* parent = nullptr);

    // The box that reports a failure: the program title as caption, the stop icon, one OK
    // button and the message followed by ".".
    static std::unique_ptr<MessageDialog> FailureBox(const QString& message,
                                                     QWidget* parent = nullptr);

    const QString& Text() const { return text_; }
    // The buttons left to right.
    const std::vector<QPushButton*>& ButtonRow() const { return buttonRow_; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // A screen reader hears the box as an alert, its text first.
    void showEvent(QShowEvent* event) override;
    // The access letter of a button presses it without Alt, as in the message boxes of the
    // desktop this program's look comes from.
    void keyPressEvent(QKeyEvent* event) override;

private:
    MessageDialog(const QString& caption, QStyle::StandardPixmap icon, const QString& text,
                  MessageButtons buttons, QWidget* parent);
    void Build(QStyle::StandardPixmap icon, MessageButtons buttons);
    // The width the title bar needs to show the whole caption beside its icon and close box.
    int CaptionWidth() const;

    QString text_;
    std::vector<QPushButton*> buttonRow_;
    std::vector<MessageButton> buttonKinds_;  // what each button of the row answers
    MessageButton cancelButton_ = MessageButton::None;
    bool closingByCloseBox_ = false;
};

}  // namespace qv
