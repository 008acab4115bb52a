#include "gui/import_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "gui/program_info.h"

namespace qv {

namespace {

// Enough rows to recognise the file by, few enough to show at once.
constexpr std::size_t kPreviewRows = 20;
constexpr std::size_t kPreviewColumns = 100;

QComboBox* ChoiceBox(QWidget* parent, const QString& name,
                     std::initializer_list<std::pair<const char*, int>> choices, int chosen) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const auto& [caption, value] : choices) {
        box->addItem(QString::fromUtf8(caption), value);
    }
    box->setCurrentIndex(std::max(0, box->findData(chosen)));
    return box;
}

QLabel* LabelFor(QWidget* parent, const char* caption, QWidget* buddy) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

ImportDialog::ImportDialog(const ImportDialogRequest& request, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      sample_(request.sample) {
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(QStringLiteral("CSV/TSVの読み込み"));
    setFont(DesignFont(kGothicFont, 12));
    resize(560, 400);

    const ImportSettings& detected = request.detected;
    delimiter_ = ChoiceBox(this, QStringLiteral("DelimiterBox"),
                           {{"カンマ ( , )", kCommaDelimiter},
                            {"タブ", kTabDelimiter},
                            {"セミコロン ( ; )", kSemicolonDelimiter}},
                           detected.delimiter);
    encoding_ = ChoiceBox(this, QStringLiteral("EncodingBox"),
                          {{"UTF-8 (BOMなし)", static_cast<int>(TextEncoding::Utf8)},
                           {"UTF-8 (BOM付き)", static_cast<int>(TextEncoding::Utf8WithBom)},
                           {"Shift-JIS (CP932)", static_cast<int>(TextEncoding::Cp932)}},
                          static_cast<int>(detected.encoding));
    itemNames_ = new QCheckBox(QStringLiteral("1行目を項目名にする(&N)"), this);
    itemNames_->setObjectName(QStringLiteral("ItemNamesBox"));
    itemNames_->setChecked(detected.firstRecord == FirstRecord::ItemNames);
    preview_ = new QTableWidget(this);
    preview_->setObjectName(QStringLiteral("Preview"));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setWordWrap(false);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("OKBtn"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* fileName = new QLabel(QFile::decodeName(QByteArray::fromStdString(request.path)), this);
    fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("ファイル:"), this), 0, 0);
    layout->addWidget(fileName, 0, 1);
    layout->addWidget(LabelFor(this, "区切り文字(&D):", delimiter_), 1, 0);
    layout->addWidget(delimiter_, 1, 1, Qt::AlignLeft);
    layout->addWidget(LabelFor(this, "文字コード(&E):", encoding_), 2, 0);
    layout->addWidget(encoding_, 2, 1, Qt::AlignLeft);
    layout->addWidget(itemNames_, 3, 0, 1, 2);
    layout->addWidget(LabelFor(this, "プレビュー(&P):", preview_), 4, 0, 1, 2);
    layout->addWidget(preview_, 5, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 6, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(5, 1);

    connect(delimiter_, &QComboBox::currentIndexChanged, this, &ImportDialog::ShowPreview);
    connect(encoding_, &QComboBox::currentIndexChanged, this, &ImportDialog::ShowPreview);
    connect(itemNames_, &QCheckBox::toggled, this, &ImportDialog::ShowPreview);
    ShowPreview();
    ok_->setFocus();
}

ImportSettings ImportDialog::Settings() const {
    ImportSettings settings;
    settings.delimiter = static_cast<char>(delimiter_->currentData().toInt());
    settings.encoding = static_cast<TextEncoding>(encoding_->currentData().toInt());
    settings.firstRecord = itemNames_->isChecked() ? FirstRecord::ItemNames : FirstRecord::Data;
    return settings;
}

void ImportDialog::ShowPreview() {
    const ImportPreview preview = PreviewImport(sample_, Settings(), kPreviewRows);
    std::size_t columns = preview.itemNames.size();
    for (const std::vector<std::string>& row : preview.rows) {
        columns = std::max(columns, row.size());
    }
    columns = std::min(columns, kPreviewColumns);
    preview_->clear();
    preview_->setColumnCount(static_cast<int>(columns));
    preview_->setRowCount(static_cast<int>(preview.rows.size()));
    QStringList headers;
    for (std::size_t col = 0; col < columns; ++col) {
        headers << (col < preview.itemNames.size() ? QString::fromStdString(preview.itemNames[col])
                                                   : QString::number(col + 1));
    }
    preview_->setHorizontalHeaderLabels(headers);
    for (std::size_t row = 0; row < preview.rows.size(); ++row) {
        for (std::size_t col = 0; col < std::min(columns, preview.rows[row].size()); ++col) {
            preview_->setItem(static_cast<int>(row), static_cast<int>(col),
                              new QTableWidgetItem(QString::fromStdString(preview.rows[row][col])));
        }
    }
}

}  // namespace qv
