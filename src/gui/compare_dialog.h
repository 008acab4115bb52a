#pragma once

#include <QDialog>

#include "app/window_system.h"

class QListWidget;
class QRadioButton;

namespace qv {

// "表の比較": how the rows of the other table pair with the current one's, by their position
// (the default) or by key columns checked among the current table's item names.
class CompareDialog : public QDialog {
    Q_OBJECT
public:
    CompareDialog(const CompareDialogRequest& request, QWidget* parent = nullptr);
    CompareSettings Settings() const;

private:
    QRadioButton* byPosition_;
    QRadioButton* byKey_;
    QListWidget* keys_;
};

}  // namespace qv
