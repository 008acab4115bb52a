#pragma once

#include <QMainWindow>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QToolButton;

namespace qv {

class GridView;
class MainStatusBar;
class QtWindowSystem;
class MainForm;

// FormMain, "Quorvane Ver1.00": the toolbar of seven picture buttons, the title box and the
// table grid under a menu bar of three menus. It shows the logic's state and forwards every
// command and event to MainForm; a failure shows in the failure box.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(MainForm& form, QtWindowSystem& windows, QWidget* parent = nullptr);

    // Shows the title again after the logic changed it.
    void ShowTitle();
    // Shows the modified mark and which of undo and redo can be chosen now.
    void ShowEditState();

    QLineEdit* EditTitle() const { return editTitle_; }
    QLabel* Label1() const { return label1_; }
    QWidget* Panel2() const { return panel2_; }
    GridView* Grid() const { return grid_; }
    // The toolbar buttons, left to right.
    const std::vector<QToolButton*>& SpeedButtons() const { return speedButtons_; }
    // Every menu item that runs a command, in menu order.
    const std::vector<QAction*>& MenuItems() const { return menuItems_; }
    MainStatusBar* StatusBar() const { return statusBar_; }

signals:
    // The window closed for good: its close handler ran to its end. The program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    using Handler = void (MainForm::*)();
    using Availability = bool (MainForm::*)() const;
    void BuildMenus();
    void BuildToolbarPanel();
    void BuildTablePanel();
    QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, Handler handler);
    void RunHandler(Handler handler);
    void TitleEdited(const QString& text);
    bool EndWithoutStoringConfirmed();

    MainForm& form_;
    QtWindowSystem& windows_;
    QWidget* panel2_ = nullptr;
    QLabel* label1_ = nullptr;
    QLineEdit* editTitle_ = nullptr;
    GridView* grid_ = nullptr;
    std::vector<QToolButton*> speedButtons_;
    std::vector<QAction*> menuItems_;
    std::vector<std::pair<QAction*, Availability>> itemsAvailableAtTimes_;
    MainStatusBar* statusBar_ = nullptr;
};

}  // namespace qv
