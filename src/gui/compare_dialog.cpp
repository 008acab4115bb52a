#include "gui/compare_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/program_info.h"

namespace qv {

CompareDialog::CompareDialog(const CompareDialogRequest& request, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags) {
    setObjectName(QStringLiteral("CompareDialog"));
    setWindowTitle(QStringLiteral("表の比較"));
    setFont(DesignFont(kGothicFont, 12));

    auto* file = new QLabel(
        QStringLiteral("比較する表: %1").arg(QString::fromStdString(request.otherName)), this);
    byPosition_ = new QRadioButton(QStringLiteral("行の並びで対応させる(&P)"), this);
    byPosition_->setObjectName(QStringLiteral("ByPositionButton"));
    byPosition_->setChecked(true);
    byKey_ = new QRadioButton(QStringLiteral("キーの列で対応させる(&K):"), this);
    byKey_->setObjectName(QStringLiteral("ByKeyButton"));
    keys_ = new QListWidget(this);
    keys_->setObjectName(QStringLiteral("KeyColumnList"));
    for (std::size_t k = 0; k < request.itemNames.size(); ++k) {
        const QString name = QString::fromStdString(request.itemNames[k]);
        auto* item = new QListWidgetItem(
            name.isEmpty() ? QStringLiteral("(%1 列)").arg(k + 1) : name, keys_);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(k == 0 ? Qt::Checked : Qt::Unchecked);
    }
    keys_->setEnabled(false);
    connect(byKey_, &QRadioButton::toggled, keys_, &QWidget::setEnabled);

    const DialogButtons buttons = AddOkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(file);
    layout->addWidget(byPosition_);
    layout->addWidget(byKey_);
    layout->addWidget(keys_);
    layout->addLayout(buttons.row);
    buttons.ok->setFocus();
}

CompareSettings CompareDialog::Settings() const {
    CompareSettings settings;
    if (byKey_->isChecked()) {
        for (int k = 0; k < keys_->count(); ++k) {
            if (keys_->item(k)->checkState() == Qt::Checked) {
                settings.keyColumns.push_back(k + 1);
            }
        }
    }
    return settings;
}

}  // namespace qv
