#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace qv {

class QtWindowSystem;
class TFormMain;

// OKBottomDlg, "項目名入力": edits the item name of the current column. Each opening fills the
// box from the cell; OK stores the box's text in the cell, Cancel drops it.
class ItemNameDialog : public QDialog {
    Q_OBJECT
public:
    ItemNameDialog(TFormMain& form, QtWindowSystem& windows, QWidget* parent = nullptr);

    QLineEdit* EditColName() const { return edit_; }
    QPushButton* OKBtn() const { return okButton_; }
    QPushButton* CancelBtn() const { return cancelButton_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OKBtnClick();

    TFormMain& form_;
    QtWindowSystem& windows_;
    // The item name the box was filled with, as stored.
    std::string shownName_;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QLineEdit* edit_ = nullptr;
};

}  // namespace qv
