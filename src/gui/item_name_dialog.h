#pragma once

#include <string>

#include "gui/ok_cancel_dialog.h"

namespace qv {

class MainForm;

// OKBottomDlg, "項目名入力": edits the item name of the current column. Each opening fills the
// box from the cell; OK stores the box's text in the cell, Cancel drops it.
class ItemNameDialog : public OkCancelDialog {
    Q_OBJECT
public:
    ItemNameDialog(MainForm& form, QtWindowSystem& windows, QWidget* parent = nullptr);

    QLineEdit* EditColName() const { return Edit(); }

protected:
    void showEvent(QShowEvent* event) override;
    void OKBtnClick() override;

private:
    MainForm& form_;
    // The item name the box was filled with, as stored.
    std::string shownName_;
};

}  // namespace qv
