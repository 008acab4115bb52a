#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace qv {

// The OK (the default: Enter) and "ｷｬﾝｾﾙ" (Esc) buttons of a dialog, right-aligned in a row of
// their own, accepting and rejecting the dialog; the caller puts the row in its layout.
struct DialogButtons {
    QHBoxLayout* row;
    QPushButton* ok;
    QPushButton* cancel;
};
DialogButtons AddOkCancelButtons(QDialog* dialog);

}  // namespace qv
