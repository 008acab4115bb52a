#pragma once

#include <QDialog>
#include <memory>

#include "app/window_system.h"
#include "print/table_pages.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;

namespace qv {

class PrintedPageView;

// The pages as they will print, one at a time, with the page setup beside them: paper,
// orientation, margins, fitting the columns to the page's width, which rows, grid lines and
// wrapping. PageUp and PageDown turn the pages, Ctrl++ and Ctrl+- zoom. Its main button prints
// (or writes the PDF): the dialog is then accepted, and Choices() tells what to print with.
class PrintPreviewDialog final : public QDialog {
    Q_OBJECT
public:
    PrintPreviewDialog(const PrintJob& job, PrintTarget target, QWidget* parent);
    ~PrintPreviewDialog() override;

    PrintChoices Choices() const;
    const TablePages& Pages() const { return *pages_; }
    int32_t CurrentPage() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildSetup(QWidget* panel);
    void Rebuild();
    void ShowPage(int32_t index);
    void Zoom(double factor);
    void UpdateLabels();

    PrintJob job_;
    std::unique_ptr<TablePages> pages_;
    QComboBox* paper_ = nullptr;
    QComboBox* orientation_ = nullptr;
    QSpinBox* margin_ = nullptr;
    QCheckBox* fitWidth_ = nullptr;
    QComboBox* rows_ = nullptr;
    QCheckBox* gridLines_ = nullptr;
    QCheckBox* wrap_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    PrintedPageView* view_ = nullptr;
};

}  // namespace qv
