#include "gui/ok_cancel_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <limits>

#include "gui/program_info.h"
#include "gui/window_placement.h"

namespace qv {

OkCancelDialog::OkCancelDialog(const OkCancelLayout& layout, QtWindowSystem& windows,
                               QWidget* parent)
    : QDialog(parent, kFixedDialogFlags), windows_(windows) {
    setObjectName(layout.objectName);
    setWindowTitle(layout.title);
    setFont(DesignFont(kGothicFont, 12));
    setFixedSize(layout.clientSize);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKBtn"));
    okButton_->setGeometry(layout.okButton);
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelBtn"));
    cancelButton_->setGeometry(layout.cancelButton);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(layout.editName);
    edit_->setGeometry(layout.edit);
    edit_->setMaxLength(std::numeric_limits<int>::max());

    setTabOrder(okButton_, cancelButton_);
    setTabOrder(cancelButton_, edit_);
    okButton_->setFocus();

    // The result is set first and the dialog closes once the handler has returned.
    connect(okButton_, &QPushButton::clicked, this, [this] {
        setResult(QDialog::Accepted);
        stayOpen_ = false;
        OKBtnClick();
        if (stayOpen_) {
            setResult(QDialog::Rejected);
        } else {
            accept();
        }
    });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void OkCancelDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOnScreen(*this);
    }
    QDialog::showEvent(event);
}

}  // namespace qv
