#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLabel;
class QPlainTextEdit;

namespace qv {

// Edits a cell whose text is longer than the in-place editor holds, in a text box of many lines
// (see kLongTextEditorMaxLength for how long a text it is given). OK takes the edit only when a
// table file can hold it: the untouched parts keep their exact bytes (see EncodeEditedText), line
// breaks are kept and the byte 0x1A goes; a character CP932 cannot hold is named in the dialog,
// which stays open.
class LongTextDialog : public QDialog {
    Q_OBJECT
public:
    LongTextDialog(std::string original, const QFont& font, QWidget* parent);

    QPlainTextEdit* Editor() const { return editor_; }
    // The cell's new bytes once the dialog was accepted.
    const std::optional<std::string>& Edited() const { return edited_; }

    void accept() override;

private:
    std::string original_;
    std::optional<std::string> edited_;
    QPlainTextEdit* editor_;
    QLabel* refusal_;
};

}  // namespace qv
