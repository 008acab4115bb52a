#pragma once

#include <functional>
#include <string>
#include <utility>

#include "gui/ok_cancel_dialog.h"

namespace qv {

// OKBottomDlgFind, "検索": asks for a text and hands it (CP932) to the counter given to
// SetCounter, which reports how many data cells of the current column hold it before the dialog
// closes. The box keeps the last text typed for the whole run.
class MatchCountDialog : public OkCancelDialog {
    Q_OBJECT
public:
    explicit MatchCountDialog(QtWindowSystem& windows, QWidget* parent = nullptr);

    QLineEdit* EditChkStr() const { return Edit(); }
    void SetCounter(std::function<void(const std::string&)> count) { count_ = std::move(count); }

protected:
    void OKBtnClick() override;

private:
    std::function<void(const std::string&)> count_;
};

}  // namespace qv
