#include "gui/export_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/program_info.h"

namespace qv {

ExportDialog::ExportDialog(const ExportSettings& offered, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags) {
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(QStringLiteral("CSV/TSVへの書き出し"));
    setFont(DesignFont(kGothicFont, 12));

    csv_ = new QRadioButton(QStringLiteral("CSV (カンマ区切り)(&C)"), this);
    csv_->setObjectName(QStringLiteral("CsvButton"));
    tsv_ = new QRadioButton(QStringLiteral("TSV (タブ区切り)(&T)"), this);
    tsv_->setObjectName(QStringLiteral("TsvButton"));
    (offered.delimiter == kTabDelimiter ? tsv_ : csv_)->setChecked(true);
    encoding_ = new QComboBox(this);
    encoding_->setObjectName(QStringLiteral("EncodingBox"));
    encoding_->addItem(QStringLiteral("UTF-8 (BOM付き、Excel でそのまま開けます)"),
                       static_cast<int>(TextEncoding::Utf8WithBom));
    encoding_->addItem(QStringLiteral("UTF-8 (BOMなし)"), static_cast<int>(TextEncoding::Utf8));
    encoding_->addItem(QStringLiteral("Shift-JIS (CP932)"), static_cast<int>(TextEncoding::Cp932));
    encoding_->setCurrentIndex(
        std::max(0, encoding_->findData(static_cast<int>(offered.encoding))));

    const DialogButtons buttons = AddOkCancelButtons(this);

    auto* formats = new QVBoxLayout;
    formats->addWidget(csv_);
    formats->addWidget(tsv_);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("形式:"), formats);
    auto* encodingLabel = new QLabel(QStringLiteral("文字コード(&E):"), this);
    encodingLabel->setBuddy(encoding_);
    form->addRow(encodingLabel, encoding_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    buttons.ok->setFocus();
}

ExportSettings ExportDialog::Settings() const {
    ExportSettings settings;
    settings.delimiter = tsv_->isChecked() ? kTabDelimiter : kCommaDelimiter;
    settings.encoding = static_cast<TextEncoding>(encoding_->currentData().toInt());
    return settings;
}

}  // namespace qv
