#include "gui/main_status_bar.h"

#include <QLabel>

namespace qv {

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
}

QLabel* MainStatusBar::Label(Field field) {
    auto found = labels_.find(field);
    if (found != labels_.end()) {
        return found->second;
    }
    auto* label = new QLabel(this);
    int index = 0;
    for (const auto& [other, shown] : labels_) {
        index += other < field ? 1 : 0;
    }
    insertPermanentWidget(index, label);
    labels_.emplace(field, label);
    return label;
}

void MainStatusBar::SetField(Field field, const QString& text) {
    QLabel* label = Label(field);
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

QString MainStatusBar::FieldText(Field field) const {
    auto found = labels_.find(field);
    return found != labels_.end() ? found->second->text() : QString();
}

void MainStatusBar::ShowModified(bool modified) {
    SetField(Field::Modified, modified ? QStringLiteral("変更あり") : QString());
}

}  // namespace qv
