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

private:
    MessageDialog(const QString& caption, QStyle::StandardPixmap icon, const QString& text,
                  MessageButtons buttons, QWidget* parent);
    void Build(QStyle::StandardPixmap icon, MessageButtons buttons);

    QString text_;
    std::vector<QPushButton*> buttonRow_;
    MessageButton cancelButton_ = MessageButton::None;
    bool closingByCloseBox_ = false;
};

}  // namespace qv
