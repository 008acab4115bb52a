#include "gui/go_to_row_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "gui/qt_window_system.h"

namespace qv {

GoToRowDialog::GoToRowDialog(QtWindowSystem& windows, QWidget* parent)
    : OkCancelDialog({QStringLiteral("GoToRowDialog"),
                      QStringLiteral("行へ移動"),
                      {226, 90},
                      {30, 58, 74, 24},
                      {125, 58, 73, 24},
                      QStringLiteral("EditRow"),
                      {24, 24, 177, 20}},
                     windows, parent) {
    auto* label = new QLabel(QStringLiteral("行番号(&N):"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setBuddy(Edit());
    label->setGeometry(24, 6, std::max(60, label->sizeHint().width()),
                       std::max(12, label->sizeHint().height()));
    Edit()->setFocus();
}

void GoToRowDialog::showEvent(QShowEvent* event) {
    OkCancelDialog::showEvent(event);
    Edit()->selectAll();
}

void GoToRowDialog::OKBtnClick() {
    bool moved = false;
    Windows().RunCommand(
        [this, &moved] { moved = !go_ || go_(Edit()->text().toUtf8().toStdString()); });
    if (!moved) {
        // A typo is mended where it was made: the text stays, selected, to be typed over.
        StayOpen();
        Edit()->setFocus();
        Edit()->selectAll();
    }
}

}  // namespace qv
