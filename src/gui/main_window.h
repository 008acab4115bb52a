#pragma once

#include <QMainWindow>
#include <optional>
#include <vector>

#include "app/status_texts.h"
#include "app/window_system.h"
#include "table/table_grid.h"

class QAction;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;

namespace qv {

class FilterBar;
class FindBar;
class GridView;
class MainStatusBar;
class QtWindowSystem;
class MainForm;

// FormMain, "Quorvane Ver1.00": the toolbar of seven picture buttons, the title box and the
// table grid under a menu bar of three menus. It shows the logic's state and forwards every
// command and event to MainForm; a failure shows in the failure box. Its status bar follows the
// current cell and the selection.
class MainWindow : public QMainWindow, private TableGridObserver {
    Q_OBJECT
public:
    MainWindow(MainForm& form, QtWindowSystem& windows, QWidget* parent = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

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
    // The find bar below the grid, hidden until Ctrl+F or Ctrl+H.
    FindBar* Find() const { return findBar_; }
    void ShowFindBar(FindBarFocus focus);
    FilterBar* Filter() const { return filterBar_; }
    void ShowFilterBar();
    // A short note at the left of the status bar, until the next command or for a while; its
    // tool tip is the whole text, or `whole` where the note is a shortened one. An empty note
    // takes the one shown away.
    void ShowStatusNote(const QString& note, const QString& whole = {});

signals:
    // The window closed for good: its close handler ran to its end. The program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    // A file dropped on the window opens as the desktop's files do (InterchangeCommands::OpenFile).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    using Handler = void (*)(MainForm& form);
    using Availability = bool (*)(const MainForm&);
    void BuildMenus();
    void BuildToolbarPanel();
    void BuildTablePanel();
    QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, Handler handler);
    void RunHandler(Handler handler);
    void TitleEdited(const QString& text);
    // A character CP932 cannot hold was refused in the title box or a cell: says which, beeps.
    void ShowRefusedCharacter(char32_t character);
    bool EndWithoutStoringConfirmed();

    enum class Figures { Kept, Stale };
    // TableGridObserver: the status bar is shown again once the events of a change are over;
    // the selection's figures (a whole column is a million cells) only when they may differ.
    void CellChanged(int32_t col, int32_t row) override;
    void CellsChanged() override { StatusChanged(Figures::Stale); }
    void LayoutChanged() override { StatusChanged(Figures::Stale); }
    void CurrentCellChanged(GridCell /*previous*/) override { StatusChanged(Figures::Kept); }
    void RowMoved(int32_t, int32_t) override { StatusChanged(Figures::Stale); }
    void ColumnMoved(int32_t, int32_t) override { StatusChanged(Figures::Stale); }
    void StatusChanged(Figures figures);
    void ShowStatus();

    MainForm& form_;
    QtWindowSystem& windows_;
    QWidget* panel2_ = nullptr;
    QLabel* label1_ = nullptr;
    QLineEdit* editTitle_ = nullptr;
    GridView* grid_ = nullptr;
    std::vector<QToolButton*> speedButtons_;
    std::vector<QAction*> menuItems_;
    std::vector<std::pair<QAction*, Availability>> itemsAvailableAtTimes_;
    std::vector<std::pair<QAction*, Availability>> itemsCheckedAtTimes_;
    MainStatusBar* statusBar_ = nullptr;
    FindBar* findBar_ = nullptr;
    FilterBar* filterBar_ = nullptr;
    QTimer* statusTimer_ = nullptr;
    bool figuresStale_ = true;
    std::optional<SelectedBlock> figuresRange_;  // the range the shown figures are of
};

}  // namespace qv
