#pragma once

#include <QDialog>
#include <QRect>
#include <QString>

class QLineEdit;
class QPushButton;

namespace qv {

class QtWindowSystem;

// Where the controls of a small tool dialog stand, in pixels of its client area.
struct OkCancelLayout {
    QString objectName;
    QString title;
    QSize clientSize;
    QRect okButton;
    QRect cancelButton;
    QString editName;
    QRect edit;
};

// The two small tool dialogs share their shape: a fixed, centred box with an OK button (the
// default, Enter), a Cancel button (Esc) and one edit box, in that tab order, the focus on OK
// at the first opening. OK runs OKBtnClick, through the failure box, before the dialog closes,
// unless OKBtnClick kept it open.
class OkCancelDialog : public QDialog {
    Q_OBJECT
public:
    QPushButton* OKBtn() const { return okButton_; }
    QPushButton* CancelBtn() const { return cancelButton_; }

protected:
    OkCancelDialog(const OkCancelLayout& layout, QtWindowSystem& windows, QWidget* parent);

    QLineEdit* Edit() const { return edit_; }
    QtWindowSystem& Windows() const { return windows_; }
    void showEvent(QShowEvent* event) override;
    virtual void OKBtnClick() = 0;
    // Called from OKBtnClick: the dialog stays open, what was typed could not be used.
    void StayOpen() { stayOpen_ = true; }

private:
    QtWindowSystem& windows_;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QLineEdit* edit_ = nullptr;
    bool stayOpen_ = false;
};

}  // namespace qv
