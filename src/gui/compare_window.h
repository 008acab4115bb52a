#pragma once

#include <QWidget>

#include "table/table_grid.h"

class QCheckBox;
class QLabel;
class QTableView;

namespace qv {

class CompareModel;
class CompareSession;
class QtWindowSystem;

// The compare window: the current table and the other side by side in one view (so they scroll
// together, rows aligned), the counts of what differs, notes on columns and keys, a filter to
// differing rows, F8 and Shift+F8 to the next and previous difference, and taking differences
// over into the current table (Ctrl+Z and Ctrl+Y undo and redo them here too). It watches the
// current table and shows the comparison made again after each change.
class CompareWindow : public QWidget, private TableGridObserver {
    Q_OBJECT
public:
    explicit CompareWindow(QtWindowSystem& windows);
    ~CompareWindow() override;

    // The session to show, or nullptr to let go of the one shown.
    void SetSession(CompareSession* session);
    QTableView* View() const { return view_; }

    // What the keys and buttons do.
    void GoToDifference(bool forward);
    void TakeOverSelected();
    void TakeOverAll();

protected:
    void changeEvent(QEvent* event) override;

private:
    // TableGridObserver: the current table changed; the comparison is made again once the
    // events of the change are through.
    void CellChanged(int32_t col, int32_t row) override;
    void CellsChanged() override;
    void LayoutChanged() override;
    void ScheduleRefresh();
    void Refresh();
    void ShowTexts();
    void FilterChanged();

    QtWindowSystem& windows_;
    CompareSession* session_ = nullptr;
    CompareModel* model_;
    QTableView* view_;
    QLabel* counts_;
    QLabel* notes_;
    QCheckBox* differencesOnly_;
    bool refreshDue_ = false;
    uint64_t shownGeneration_ = 0;  // the session's comparison shown
};

}  // namespace qv
