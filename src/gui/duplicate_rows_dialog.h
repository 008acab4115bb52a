#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/window_system.h"

class QCheckBox;
class QListWidget;

namespace qv {

// "重複行の削除": the data columns by item name, each checked to make part of a row's key (all
// at first), and whether width, kana and case count. OK (Enter) removes; ｷｬﾝｾﾙ (Esc) does not.
class DuplicateRowsDialog : public QDialog {
    Q_OBJECT
public:
    DuplicateRowsDialog(const std::vector<std::string>& itemNames, QWidget* parent = nullptr);

    DuplicateRowsChoice Choice() const;

    QListWidget* Columns() const { return columns_; }
    QCheckBox* LooseBox() const { return loose_; }

private:
    QListWidget* columns_ = nullptr;
    QCheckBox* loose_ = nullptr;
};

}  // namespace qv
