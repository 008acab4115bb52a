#pragma once

#include <QDialog>

#include "app/window_system.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QTableWidget;

namespace qv {

// "列の分割" and "列の結合": the separator (読点, comma, tab, space, full-width space or a text
// typed), for a split whether only the first one counts, and a preview of the first rows as they
// would become. OK (Enter) goes on; ｷｬﾝｾﾙ (Esc) gives up.
class SeparatorDialog : public QDialog {
    Q_OBJECT
public:
    SeparatorDialog(const SeparatorRequest& request, QWidget* parent = nullptr);

    SeparatorChoice Choice() const;

    QLineEdit* OtherBox() const { return other_; }
    QTableWidget* Preview() const { return preview_; }

private:
    void ShowPreview();

    SeparatorRequest request_;
    QButtonGroup* separators_ = nullptr;
    QLineEdit* other_ = nullptr;
    QCheckBox* firstOnly_ = nullptr;
    QTableWidget* preview_ = nullptr;
};

}  // namespace qv
