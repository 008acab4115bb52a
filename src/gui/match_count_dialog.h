#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qv {

class QtWindowSystem;
class TFormMain;

// OKBottomDlgFind, "検索": asks for a text and reports how many data cells of the current
// column hold it. The box keeps the last text typed for the whole run.
class MatchCountDialog : public QDialog {
    Q_OBJECT
public:
    MatchCountDialog(TFormMain& form, QtWindowSystem& windows, QWidget* parent = nullptr);

    QLineEdit* EditChkStr() const { return edit_; }
    QPushButton* OKBtn() const { return okButton_; }
    QPushButton* CancelBtn() const { return cancelButton_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OKBtnClick();

    TFormMain& form_;
    QtWindowSystem& windows_;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QLineEdit* edit_ = nullptr;
};

}  // namespace qv
