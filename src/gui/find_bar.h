#pragma once

#include <QFrame>
#include <functional>

#include "app/window_system.h"
#include "table/table_grid.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QKeyEvent;
class QTimer;
class QWidget;

namespace qv {

class MainForm;
class QtWindowSystem;
class TableChange;

// The find bar along the bottom of the main window: the text to find, the replacement (shown
// from Ctrl+H on), whole-cell, letter case and current-column options, buttons for the next and
// previous match, replace and replace-all, and the count of matching cells. It is modeless:
// the grid stays usable while it is open. Everything it does runs in MainForm; it only holds the
// typed texts there (MainForm::Find). Enter finds the next match (Shift+Enter the previous), in
// the replacement box replaces; Esc closes the bar and gives the focus back to the grid. Undo and
// redo keys undo the box's typing, else (and right after the bar's own replace) the table's.
class FindBar : public QFrame, private TableGridObserver {
    Q_OBJECT
public:
    FindBar(MainForm& form, QtWindowSystem& windows, QWidget* focusAfterClosing, QWidget* parent);
    ~FindBar() override;
    FindBar(const FindBar&) = delete;
    FindBar& operator=(const FindBar&) = delete;

    // Shows the bar with the focus, its text selected, in the box asked for; the replacement box
    // only when there is a text to find already.
    void Open(FindBarFocus focus);
    void Close();

    QLineEdit* SearchBox() const { return searchBox_; }
    QLineEdit* ReplaceBox() const { return replaceBox_; }
    QLabel* CountLabel() const { return countLabel_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildFindRows(QWidget* row, QWidget* optionsRow);
    void BuildReplaceRow(QWidget* row);
    void StoreOptions();
    void RunReplace(const std::function<void()>& replace);
    // Whether an undo or redo key in the box is the table's to take (the main window's menu
    // item) rather than the box's own.
    bool TableTakesKey(const QLineEdit& box, const QKeyEvent& key) const;
    void ScheduleCount();
    void ShowCount();
    void StopCount();

    // TableGridObserver: the count may change with the table, and with the current column
    // when only that column is searched.
    void CellChanged(int32_t, int32_t) override { ScheduleCount(); }
    void CellsChanged() override { ScheduleCount(); }
    void LayoutChanged() override { ScheduleCount(); }
    void CurrentCellChanged(GridCell previous) override;
    void RowMoved(int32_t, int32_t) override { ScheduleCount(); }
    void ColumnMoved(int32_t, int32_t) override { ScheduleCount(); }

    MainForm& form_;
    QtWindowSystem& windows_;
    QWidget* focusAfterClosing_;
    QLineEdit* searchBox_ = nullptr;
    QLineEdit* replaceBox_ = nullptr;
    QWidget* replaceRow_ = nullptr;
    QCheckBox* wholeCell_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QCheckBox* columnOnly_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QTimer* countTimer_ = nullptr;
    QTimer* countingNoteTimer_ = nullptr;
    // The step of the bar's last replace, until something is typed into the bar.
    const TableChange* ownReplace_ = nullptr;
};

}  // namespace qv
