#pragma once

#include <QWidget>
#include <functional>

class QListWidget;
class QPushButton;

namespace qv {

class QtWindowSystem;
class TitleListForm;

// Form_History, "タイトル一覧（保存履歴）": the titles of the saved tables, most recent first,
// over a strip of four buttons. It shows the main window's title list and passes the selected
// line to TitleListForm's handlers. Closing it only hides it.
class TitleListWindow : public QWidget {
    Q_OBJECT
public:
    TitleListWindow(TitleListForm& logic, QtWindowSystem& windows, QWidget* parent = nullptr);

    // Shows the title list again after the logic changed it. The selected entry stays
    // selected when it is still in the list.
    void ShowTitles();
    // The selected line, -1 when none is.
    int SelectedIndex() const;

    QListWidget* TitleListBox() const { return list_; }
    QPushButton* EraseButton() const { return eraseButton_; }
    QPushButton* DeleteButton() const { return deleteButton_; }
    QPushButton* SelectButton() const { return selectButton_; }
    QPushButton* CloseButton() const { return closeButton_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* AddButton(const char* name, const char* caption);
    void FitButtons();
    void Run(const std::function<void()>& handler);

    TitleListForm& logic_;
    QtWindowSystem& windows_;
    QListWidget* list_ = nullptr;
    QWidget* strip_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QPushButton* eraseButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
};

}  // namespace qv
