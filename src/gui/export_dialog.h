#pragma once

#include <QDialog>

#include "app/delimited_file_settings.h"

class QComboBox;
class QPushButton;
class QRadioButton;

namespace qv {

// "CSV/TSVへの書き出し": the format (CSV or TSV) and the encoding of an export, offered as last
// chosen. OK (Enter) takes them; the save dialog follows. ｷｬﾝｾﾙ (Esc) gives the export up.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    ExportDialog(const ExportSettings& offered, QWidget* parent = nullptr);

    ExportSettings Settings() const;

    QRadioButton* TsvButton() const { return tsv_; }
    QComboBox* EncodingBox() const { return encoding_; }

private:
    QRadioButton* csv_ = nullptr;
    QRadioButton* tsv_ = nullptr;
    QComboBox* encoding_ = nullptr;
};

}  // namespace qv
