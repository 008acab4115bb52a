#pragma once

#include <QDialog>
#include <functional>

namespace qv {

// Runs a modal dialog and returns its result. The program runs every modal window through one
// of these, so that a test can stand in for the user while the dialog is open instead of
// blocking in QDialog::exec().
using ModalRunner = std::function<int(QDialog&)>;

// The program's own runner: the dialog's event loop until it closes.
inline int RunDialogModally(QDialog& dialog) {
    return dialog.exec();
}

}  // namespace qv
