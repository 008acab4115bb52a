#include "gui/duplicate_rows_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/program_info.h"

namespace qv {

namespace {

// A column without an item name is named by its place, so that it can still be told apart.
QString ColumnCaption(const std::string& itemName, int col) {
    return itemName.empty() ? QStringLiteral("(%1 列目)").arg(col)
                            : QString::fromStdString(itemName);
}

}  // namespace

DuplicateRowsDialog::DuplicateRowsDialog(const std::vector<std::string>& itemNames, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags) {
    setObjectName(QStringLiteral("DuplicateRowsDialog"));
    setWindowTitle(QStringLiteral("重複行の削除"));
    setFont(DesignFont(kGothicFont, 12));

    columns_ = new QListWidget(this);
    columns_->setObjectName(QStringLiteral("KeyColumnList"));
    for (std::size_t i = 0; i < itemNames.size(); ++i) {
        auto* item =
            new QListWidgetItem(ColumnCaption(itemNames[i], static_cast<int>(i) + 1), columns_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    auto* label = new QLabel(QStringLiteral("比べる列(&C):"), this);
    label->setBuddy(columns_);
    loose_ = new QCheckBox(QStringLiteral("全角/半角・かな・大小を区別しない"), this);
    loose_->setObjectName(QStringLiteral("LooseBox"));

    const DialogButtons buttons = AddOkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(columns_);
    layout->addWidget(loose_);
    layout->addLayout(buttons.row);
    columns_->setFocus();
}

DuplicateRowsChoice DuplicateRowsDialog::Choice() const {
    DuplicateRowsChoice choice;
    for (int i = 0; i < columns_->count(); ++i) {
        if (columns_->item(i)->checkState() == Qt::Checked) {
            choice.keyCols.push_back(i + 1);
        }
    }
    choice.comparison = loose_->isChecked() ? KeyComparison::Loose : KeyComparison::Exact;
    return choice;
}

}  // namespace qv
