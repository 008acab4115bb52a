#include "gui/sort_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/program_info.h"
#include "tools/reading_dictionary.h"

namespace qv {

namespace {

constexpr int kNoColumn = 0;

// A combo box of "(なし)" (when `withNone`) and the data columns, each with its number as data.
QComboBox* ColumnBox(const SortDialogRequest& request, bool withNone, QWidget* parent) {
    auto* box = new QComboBox(parent);
    if (withNone) {
        box->addItem(QStringLiteral("(なし)"), kNoColumn);
    }
    for (std::size_t i = 0; i < request.itemNames.size(); ++i) {
        const int col = static_cast<int>(i) + 1;
        const QString name = QString::fromStdString(request.itemNames[i]);
        box->addItem(QStringLiteral("列 %1").arg(col) + (name.isEmpty() ? QString() : ": " + name),
                     col);
    }
    return box;
}

QComboBox* KindBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->addItem(QStringLiteral("文字"), static_cast<int>(SortKeyKind::Text));
    box->addItem(QStringLiteral("数値"), static_cast<int>(SortKeyKind::Number));
    box->addItem(QStringLiteral("日付"), static_cast<int>(SortKeyKind::Date));
    box->addItem(QStringLiteral("読み"), static_cast<int>(SortKeyKind::Reading));
    return box;
}

QComboBox* OrderBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->addItem(QStringLiteral("昇順"), static_cast<int>(SortOrder::Ascending));
    box->addItem(QStringLiteral("降順"), static_cast<int>(SortOrder::Descending));
    return box;
}

}  // namespace

SortDialog::SortDialog(const SortDialogRequest& request, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags) {
    setObjectName(QStringLiteral("SortDialog"));
    setWindowTitle(QStringLiteral("並べ替え"));
    setFont(DesignFont(kGothicFont, 12));

    auto* grid = new QGridLayout;
    const QStringList headings{QStringLiteral("列"), QStringLiteral("種類"), QStringLiteral("順序"),
                               QStringLiteral("ふりがなの列")};
    for (int i = 0; i < headings.size(); ++i) {
        grid->addWidget(new QLabel(headings[i], this), 0, i + 1);
    }
    const QStringList captions{QStringLiteral("最優先のキー(&1):"),
                               QStringLiteral("2番目のキー(&2):"),
                               QStringLiteral("3番目のキー(&3):")};
    for (int k = 0; k < kKeyCount; ++k) {
        KeyBoxes& boxes = keys_[static_cast<std::size_t>(k)];
        boxes.column = ColumnBox(request, k > 0, this);
        boxes.column->setObjectName(QStringLiteral("ColumnBox%1").arg(k + 1));
        boxes.kind = KindBox(this);
        boxes.kind->setObjectName(QStringLiteral("KindBox%1").arg(k + 1));
        boxes.order = OrderBox(this);
        boxes.order->setObjectName(QStringLiteral("OrderBox%1").arg(k + 1));
        boxes.furigana = ColumnBox(request, true, this);
        boxes.furigana->setObjectName(QStringLiteral("FuriganaBox%1").arg(k + 1));
        if (k == 0) {
            boxes.column->setCurrentIndex(
                std::max(0, boxes.column->findData(static_cast<int>(request.currentCol))));
        }
        auto* caption = new QLabel(captions[k], this);
        caption->setBuddy(boxes.column);
        grid->addWidget(caption, k + 1, 0);
        grid->addWidget(boxes.column, k + 1, 1);
        grid->addWidget(boxes.kind, k + 1, 2);
        grid->addWidget(boxes.order, k + 1, 3);
        grid->addWidget(boxes.furigana, k + 1, 4);
        for (QComboBox* box : {boxes.column, boxes.kind, boxes.furigana}) {
            connect(box, &QComboBox::currentIndexChanged, this, &SortDialog::KeysChanged);
        }
    }
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("SortNote"));
    note_->setWordWrap(true);

    const DialogButtons buttons = AddOkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(note_);
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    KeysChanged();
    keys_[0].column->setFocus();
}

void SortDialog::KeysChanged() {
    bool needsDictionary = false;
    for (const KeyBoxes& boxes : keys_) {
        const bool used = boxes.column->currentData().toInt() != kNoColumn;
        const bool reading =
            boxes.kind->currentData().toInt() == static_cast<int>(SortKeyKind::Reading);
        boxes.kind->setEnabled(used);
        boxes.order->setEnabled(used);
        boxes.furigana->setEnabled(used && reading);
        needsDictionary = needsDictionary ||
                          (used && reading && boxes.furigana->currentData().toInt() == kNoColumn);
    }
    // The dictionary is loaded here at the earliest: when a key first asks for readings.
    const bool missing = needsDictionary && !ReadingDictionary::Shared().Available();
    note_->setText(missing ? QString::fromUtf8(kReadingDictionaryMissingMessage) + "。"
                           : QString());
    note_->setVisible(missing);
}

std::vector<SortKey> SortDialog::Keys() const {
    std::vector<SortKey> keys;
    for (const KeyBoxes& boxes : keys_) {
        const int col = boxes.column->currentData().toInt();
        if (col == kNoColumn) {
            continue;
        }
        SortKey key;
        key.col = col;
        key.kind = static_cast<SortKeyKind>(boxes.kind->currentData().toInt());
        key.order = static_cast<SortOrder>(boxes.order->currentData().toInt());
        key.readingCol =
            key.kind == SortKeyKind::Reading ? boxes.furigana->currentData().toInt() : kNoColumn;
        keys.push_back(key);
    }
    return keys;
}

}  // namespace qv
