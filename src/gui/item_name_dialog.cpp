#include "gui/item_name_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <limits>

#include "app/main_form.h"
#include "gui/cp932_input.h"
#include "gui/edited_text.h"
#include "gui/program_info.h"
#include "gui/qt_window_system.h"
#include "gui/window_placement.h"

namespace qv {

ItemNameDialog::ItemNameDialog(TFormMain& form, QtWindowSystem& windows, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags), form_(form), windows_(windows) {
    setObjectName(QStringLiteral("OKBottomDlg"));
    setWindowTitle(QStringLiteral("項目名入力"));
    setFont(DesignFont(kGothicFont, 12));
    setFixedSize(194, 65);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKBtn"));
    okButton_->setGeometry(22, 34, 74, 24);
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelBtn"));
    cancelButton_->setGeometry(101, 34, 73, 24);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("EditColName"));
    edit_->setGeometry(8, 8, 177, 20);
    edit_->setMaxLength(std::numeric_limits<int>::max());
    edit_->setValidator(new EditedTextValidator([this] { return shownName_; }, edit_));

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

void ItemNameDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        shownName_ = form_.ItemNameForDialog();
        edit_->setText(DecodeCp932(shownName_));
        CentreOnScreen(*this);
    }
    QDialog::showEvent(event);
}

void ItemNameDialog::OKBtnClick() {
    windows_.RunCommand([this] {
        // The validator lets through only what can be stored.
        if (std::optional<std::string> name = EncodeEditedText(shownName_, edit_->text())) {
            form_.SetItemName(*name);
        }
    });
}

}  // namespace qv
