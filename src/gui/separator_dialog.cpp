#include "gui/separator_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/program_info.h"
#include "platform/cp932.h"

namespace qv {

namespace {

struct Separator {
    const char* caption;
    const char* text;  // UTF-8; null for the text typed
};
constexpr Separator kSeparators[] = {
    {"読点「、」(&T)", "、"}, {"カンマ(&C)", ","},        {"タブ(&B)", "\t"},
    {"空白(&P)", " "},        {"全角空白(&Z)", "\u3000"}, {"その他(&O):", nullptr},
};
constexpr int kOther = 5;

}  // namespace

SeparatorDialog::SeparatorDialog(const SeparatorRequest& request, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags), request_(request) {
    const bool split = request.use == SeparatorUse::Split;
    setObjectName(QStringLiteral("SeparatorDialog"));
    setWindowTitle(split ? QStringLiteral("列の分割") : QStringLiteral("列の結合"));
    setFont(DesignFont(kGothicFont, 12));

    separators_ = new QButtonGroup(this);
    auto* choices = new QGridLayout;
    for (int i = 0; i < static_cast<int>(std::size(kSeparators)); ++i) {
        auto* button = new QRadioButton(QString::fromUtf8(kSeparators[i].caption), this);
        separators_->addButton(button, i);
        choices->addWidget(button, i / 3, i % 3);
    }
    separators_->button(0)->setChecked(true);
    other_ = new QLineEdit(this);
    other_->setObjectName(QStringLiteral("OtherSeparator"));
    choices->addWidget(other_, 2, 0, 1, 3);
    firstOnly_ = new QCheckBox(QStringLiteral("最初の区切り文字だけで分ける(&F)"), this);
    firstOnly_->setVisible(split);
    preview_ = new QTableWidget(this);
    preview_->setObjectName(QStringLiteral("Preview"));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->verticalHeader()->hide();
    preview_->setMinimumSize(360, 140);

    connect(separators_, &QButtonGroup::idClicked, this, [this] { ShowPreview(); });
    connect(other_, &QLineEdit::textEdited, this, [this] {
        separators_->button(kOther)->setChecked(true);
        ShowPreview();
    });
    connect(firstOnly_, &QCheckBox::toggled, this, [this] { ShowPreview(); });

    const DialogButtons buttons = AddOkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("区切り文字:"), this));
    layout->addLayout(choices);
    layout->addWidget(firstOnly_);
    layout->addWidget(new QLabel(QStringLiteral("プレビュー (先頭の行):"), this));
    layout->addWidget(preview_);
    layout->addLayout(buttons.row);
    ShowPreview();
}

SeparatorChoice SeparatorDialog::Choice() const {
    SeparatorChoice choice;
    const int id = separators_->checkedId();
    choice.separator = id == kOther || id < 0 ? other_->text().toStdString() : kSeparators[id].text;
    choice.at = firstOnly_->isChecked() ? SplitAt::FirstSeparator : SplitAt::EverySeparator;
    return choice;
}

// The rows as the command would leave them, each piece (or the joined text) a cell.
void SeparatorDialog::ShowPreview() {
    const SeparatorChoice choice = Choice();
    const std::string separator = Utf8ToCp932(choice.separator).value_or(std::string());
    std::vector<std::vector<std::string>> shown;
    for (const std::vector<std::string>& cells : request_.previewRows) {
        std::vector<std::string>& row = shown.emplace_back();
        if (request_.use == SeparatorUse::Split) {
            for (const std::string_view piece : SplitText(
                     cells.empty() ? std::string_view() : cells.front(), separator, choice.at)) {
                row.emplace_back(piece);
            }
        } else {
            std::string joined;
            for (const std::string& cell : cells) {
                if (!cell.empty()) {
                    joined += (joined.empty() ? std::string() : separator) + cell;
                }
            }
            row.push_back(joined);
        }
    }
    std::size_t columns = 1;
    for (const auto& row : shown) {
        columns = std::max(columns, row.size());
    }
    preview_->clear();
    preview_->setRowCount(static_cast<int>(shown.size()));
    preview_->setColumnCount(static_cast<int>(std::min<std::size_t>(columns, 50)));
    for (int r = 0; r < preview_->rowCount(); ++r) {
        const auto& row = shown[static_cast<std::size_t>(r)];
        for (int c = 0; c < preview_->columnCount() && c < static_cast<int>(row.size()); ++c) {
            preview_->setItem(r, c,
                              new QTableWidgetItem(QString::fromStdString(
                                  Cp932ToUtf8(row[static_cast<std::size_t>(c)]))));
        }
    }
}

}  // namespace qv
