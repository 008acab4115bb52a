#pragma once

#include "gui/ok_cancel_dialog.h"

namespace qv {

class TFormMain;

// OKBottomDlgFind, "検索": asks for a text and reports how many data cells of the current
// column hold it. The box keeps the last text typed for the whole run.
class MatchCountDialog : public OkCancelDialog {
    Q_OBJECT
public:
    MatchCountDialog(TFormMain& form, QtWindowSystem& windows, QWidget* parent = nullptr);

    QLineEdit* EditChkStr() const { return Edit(); }

protected:
    void OKBtnClick() override;

private:
    TFormMain& form_;
};

}  // namespace qv
