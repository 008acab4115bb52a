#pragma once

#include <QDialog>
#include <string>

#include "app/delimited_file_settings.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QTableWidget;

namespace qv {

// "CSV/TSVの読み込み": the delimiter and encoding detected for a file, each changeable, whether
// its first row holds the item names, and a preview of its first rows that follows every
// change. OK (Enter) takes the settings shown; ｷｬﾝｾﾙ (Esc) gives the import up.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    ImportDialog(const ImportDialogRequest& request, QWidget* parent = nullptr);

    ImportSettings Settings() const;

    QComboBox* DelimiterBox() const { return delimiter_; }
    QComboBox* EncodingBox() const { return encoding_; }
    QCheckBox* ItemNamesBox() const { return itemNames_; }
    QTableWidget* Preview() const { return preview_; }
    QPushButton* OKBtn() const { return ok_; }

private:
    void ShowPreview();

    std::string sample_;
    QComboBox* delimiter_ = nullptr;
    QComboBox* encoding_ = nullptr;
    QCheckBox* itemNames_ = nullptr;
    QTableWidget* preview_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace qv
