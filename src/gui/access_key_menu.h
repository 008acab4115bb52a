#pragma once

#include <QMenu>

namespace qv {

// A drop-down menu in which an access letter that two items share chooses the first of them, as
// a letter of its own would, instead of only moving between them: an item added to a menu may
// reuse a designed item's letter (the edit menu's "下方向へコピー(&D)" and "現在行を削除(&D)"), and
// the designed item must still run at its letter. The added item keeps its shortcut.
class AccessKeyMenu : public QMenu {
    Q_OBJECT
public:
    explicit AccessKeyMenu(const QString& title, QWidget* parent = nullptr)
        : QMenu(title, parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qv
