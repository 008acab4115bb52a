#include "gui/match_count_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <limits>

#include "app/main_form.h"
#include "gui/cp932_input.h"
#include "gui/program_info.h"
#include "gui/qt_window_system.h"
#include "gui/window_placement.h"

namespace qv {

MatchCountDialog::MatchCountDialog(TFormMain& form, QtWindowSystem& windows, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags), form_(form), windows_(windows) {
    setObjectName(QStringLiteral("OKBottomDlgFind"));
    setWindowTitle(QStringLiteral("検索"));
    setFont(DesignFont(kGothicFont, 12));
    setFixedSize(226, 90);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKBtn"));
    okButton_->setGeometry(30, 58, 74, 24);
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelBtn"));
    cancelButton_->setGeometry(125, 58, 73, 24);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("EditChkStr"));
    edit_->setGeometry(24, 24, 177, 20);
    edit_->setMaxLength(std::numeric_limits<int>::max());
    edit_->setValidator(new Cp932Validator(edit_));
    auto* label = new QLabel(QStringLiteral("一致文字列"), this);
    label->setObjectName(QStringLiteral("Label1"));
    // The design's 60 x 12, or more where the installed font needs it to show the text whole.
    label->setGeometry(24, 8, std::max(60, label->sizeHint().width()),
                       std::max(12, label->sizeHint().height()));

    setTabOrder(okButton_, cancelButton_);
    setTabOrder(cancelButton_, edit_);
    okButton_->setFocus();

    connect(okButton_, &QPushButton::clicked, this, [this] {
        setResult(QDialog::Accepted);
        OKBtnClick();
        accept();
    });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void MatchCountDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOnScreen(*this);
    }
    QDialog::showEvent(event);
}

void MatchCountDialog::OKBtnClick() {
    windows_.RunCommand([this] {
        if (std::optional<std::string> text = EncodeTyped(edit_->text())) {
            form_.CountMatches(*text);
        }
    });
}

}  // namespace qv
