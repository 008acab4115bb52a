#include "gui/item_name_dialog.h"

#include <QLineEdit>
#include <QShowEvent>

#include "gui/cp932_input.h"
#include "gui/edited_text.h"
#include "gui/qt_window_system.h"

namespace qv {

ItemNameDialog::ItemNameDialog(QtWindowSystem& windows, QWidget* parent)
    : OkCancelDialog({QStringLiteral("OKBottomDlg"),
                      QStringLiteral("項目名入力"),
                      {194, 65},
                      {22, 34, 74, 24},
                      {101, 34, 73, 24},
                      QStringLiteral("EditColName"),
                      {8, 8, 177, 20}},
                     windows, parent) {
    Edit()->setValidator(new EditedTextValidator([this] { return shownName_; }, Edit()));
}

void ItemNameDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        confirmed_.reset();
        Edit()->setText(DecodeCp932(shownName_));
    }
    OkCancelDialog::showEvent(event);
}

void ItemNameDialog::OKBtnClick() {
    // The validator lets through only what can be stored.
    confirmed_ = EncodeEditedText(shownName_, Edit()->text());
}

}  // namespace qv
