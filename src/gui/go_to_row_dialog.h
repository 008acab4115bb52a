#pragma once

#include <functional>
#include <string>
#include <utility>

#include "gui/ok_cancel_dialog.h"

namespace qv {

// GoToRowDialog, "行へ移動": asks for a row number and hands it (UTF-8) to the mover given to
// SetMover, which makes that row current. The box keeps the last number typed, selected, with
// the focus, so that typing replaces it. When the mover refuses the text (it names no row and
// has said so), the dialog stays open with the text selected.
class GoToRowDialog : public OkCancelDialog {
    Q_OBJECT
public:
    explicit GoToRowDialog(QtWindowSystem& windows, QWidget* parent = nullptr);

    QLineEdit* EditRow() const { return Edit(); }
    void SetMover(std::function<bool(const std::string&)> go) { go_ = std::move(go); }

protected:
    void showEvent(QShowEvent* event) override;
    void OKBtnClick() override;

private:
    std::function<bool(const std::string&)> go_;
};

}  // namespace qv
