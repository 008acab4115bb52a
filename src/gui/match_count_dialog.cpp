#include "gui/match_count_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "gui/cp932_input.h"
#include "gui/qt_window_system.h"

namespace qv {

MatchCountDialog::MatchCountDialog(QtWindowSystem& windows, QWidget* parent)
    : OkCancelDialog({QStringLiteral("OKBottomDlgFind"),
                      QStringLiteral("検索"),
                      {226, 90},
                      {30, 58, 74, 24},
                      {125, 58, 73, 24},
                      QStringLiteral("EditChkStr"),
                      {24, 24, 177, 20}},
                     windows, parent) {
    Edit()->setValidator(new Cp932Validator(Edit()));
    auto* label = new QLabel(QStringLiteral("一致文字列"), this);
    label->setObjectName(QStringLiteral("Label1"));
    // The design's 60 x 12, or more where the installed font needs it to show the text whole.
    label->setGeometry(24, 8, std::max(60, label->sizeHint().width()),
                       std::max(12, label->sizeHint().height()));
}

void MatchCountDialog::OKBtnClick() {
    Windows().RunCommand([this] {
        std::optional<std::string> text = EncodeTyped(Edit()->text());
        if (text && count_) {
            count_(*text);
        }
    });
}

}  // namespace qv
