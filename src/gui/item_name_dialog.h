#pragma once

#include <optional>
#include <string>

#include "gui/ok_cancel_dialog.h"

namespace qv {

// OKBottomDlg, "項目名入力": asks for the item name of the current column. Each opening fills
// the box with the name given to Fill; OK confirms the box's text, Cancel drops it.
class ItemNameDialog : public OkCancelDialog {
    Q_OBJECT
public:
    explicit ItemNameDialog(QtWindowSystem& windows, QWidget* parent = nullptr);

    QLineEdit* EditColName() const { return Edit(); }
    // The item name (CP932) the box shows at the next opening.
    void Fill(const std::string& name) { shownName_ = name; }
    // The name confirmed with OK (CP932), or nothing.
    const std::optional<std::string>& ConfirmedName() const { return confirmed_; }

protected:
    void showEvent(QShowEvent* event) override;
    void OKBtnClick() override;

private:
    // The item name the box was filled with, as stored.
    std::string shownName_;
    std::optional<std::string> confirmed_;
};

}  // namespace qv
