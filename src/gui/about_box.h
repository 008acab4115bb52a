#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace qv {

// AboutBox, "ﾊﾞｰｼﾞｮﾝ情報": the program's icon, name and version with an OK button. Centred on
// the screen the first time it opens; afterwards it opens where it was last.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    QPushButton* OKButton() const { return okButton_; }
    QLabel* ProductName() const { return productName_; }
    QLabel* Version() const { return version_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* okButton_ = nullptr;
    QLabel* productName_ = nullptr;
    QLabel* version_ = nullptr;
    bool placed_ = false;
};

}  // namespace qv
