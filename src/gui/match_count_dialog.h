#pragma once

#include "gui/ok_cancel_dialog.h"

namespace qv {

class MainForm;

// OKBottomDlgFind, "検索": asks for a text and reports how many data cells of the current
// column hold it. The box keeps the last text typed for the whole run.
class MatchCountDialog : public OkCancelDialog {
    Q_OBJECT
public:
    MatchCountDialog(MainForm& form, QtWindowSystem& windows, QWidget* parent = nullptr);

    QLineEdit* EditChkStr() const { return Edit(); }

protected:
    void OKBtnClick() override;

private:
    MainForm& form_;
};

}  // namespace qv
