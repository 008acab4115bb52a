#pragma once

#include <string>

#include "gui/ok_cancel_dialog.h"

namespace qv {

class TFormMain;

// OKBottomDlg, "項目名入力": edits the item name of the current column. Each opening fills the
// box from the cell; OK stores the box's text in the cell, Cancel drops it.
class ItemNameDialog : public OkCancelDialog {
    Q_OBJECT
public:
    ItemNameDialog(TFormMain& form, QtWindowSystem& windows, QWidget* parent = nullptr);

    QLineEdit* EditColName() const { return Edit(); }

protected:
    void showEvent(QShowEvent* event) override;
    void OKBtnClick() override;

private:
    TFormMain& form_;
    // The item name the box was filled with, as stored.
    std::string shownName_;
};

}  // namespace qv
