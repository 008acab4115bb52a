#pragma once

#include "gui/ok_cancel_dialog.h"

namespace qv {

class MainForm;

// GoToRowDialog, "行へ移動": asks for a row number and makes that row current. The box keeps
// the last number typed, selected, with the focus, so that typing replaces it. A text that
// names no row is warned of and the dialog stays open with it selected.
class GoToRowDialog : public OkCancelDialog {
    Q_OBJECT
public:
    GoToRowDialog(MainForm& form, QtWindowSystem& windows, QWidget* parent = nullptr);

    QLineEdit* EditRow() const { return Edit(); }

protected:
    void showEvent(QShowEvent* event) override;
    void OKBtnClick() override;

private:
    MainForm& form_;
};

}  // namespace qv
