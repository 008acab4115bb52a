#pragma once

#include <QDialog>
#include <array>
#include <vector>

#include "app/window_system.h"

class QComboBox;
class QLabel;

namespace qv {

// "並べ替え": up to three keys, each a column, its kind (文字, 数値, 日付, 読み), 昇順 or 降順,
// and for 読み an optional ふりがな column. The second and third keys start as "(なし)". When a
// 読み key would need the reading dictionary and it is missing, the dialog says which package
// to install. OK (Enter) sorts; ｷｬﾝｾﾙ (Esc) changes nothing.
class SortDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kKeyCount = 3;

    SortDialog(const SortDialogRequest& request, QWidget* parent = nullptr);

    std::vector<SortKey> Keys() const;

    struct KeyBoxes {
        QComboBox* column = nullptr;
        QComboBox* kind = nullptr;
        QComboBox* order = nullptr;
        QComboBox* furigana = nullptr;
    };
    const KeyBoxes& Boxes(int key) const { return keys_[static_cast<std::size_t>(key)]; }
    QLabel* Note() const { return note_; }

private:
    void KeysChanged();

    std::array<KeyBoxes, kKeyCount> keys_;
    QLabel* note_ = nullptr;
};

}  // namespace qv
