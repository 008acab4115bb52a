#include "gui/long_text_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/cp932_input.h"
#include "gui/edited_text.h"

namespace qv {

LongTextDialog::LongTextDialog(std::string original, const QFont& font, QWidget* parent)
    : QDialog(parent),
      original_(std::move(original)),
      editor_(new QPlainTextEdit(this)),
      refusal_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("セルの編集"));
    editor_->setFont(font);
    // Breaking anywhere, as Japanese text breaks, rather than at spaces: a long line without
    // one would otherwise be laid out over and over in search of a break (a 100,000-character
    // line: 1.6 s rather than 0.16 s).
    editor_->setWordWrapMode(QTextOption::WrapAnywhere);
    editor_->setPlainText(DecodeCp932(original_));
    refusal_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, &LongTextDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LongTextDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(editor_);
    layout->addWidget(refusal_);
    layout->addWidget(buttons);
    resize(560, 360);
    editor_->setFocus();
}

void LongTextDialog::accept() {
    // The document's own paragraph separators read back as LF, as a cell stores a line break.
    const QString text = editor_->toPlainText().remove(QChar(u'\x1a'));
    edited_ = EncodeEditedText(original_, text);
    if (!edited_) {
        const std::optional<char32_t> character = FirstUnencodableCharacter(text);
        refusal_->setText(RefusedCharacterNotice(character.value_or(U'\uFFFD')));
        refusal_->show();
        return;
    }
    QDialog::accept();
}

}  // namespace qv
