#include "gui/grid_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <map>

#include "gui/cp932_input.h"
#include "gui/grid_view.h"

namespace qv {

namespace {

// A reader walks the rows the view shows: under a filter, the fixed rows and the shown rows
// only. Its rows count from the top of the grid, fixed rows included.
int32_t ReaderRowCount(const GridView& view) {
    return view.shownRows().DisplayCount(view.grid().RowCount(), view.grid().FixedRows());
}
int32_t ReaderRow(const GridView& view, int32_t tableRow) {
    return view.shownRows().NearestDisplayRow(tableRow, view.grid().FixedRows());
}
int32_t TableRow(const GridView& view, int32_t readerRow) {
    return view.shownRows().TableRow(readerRow, view.grid().FixedRows());
}

// A cell's place among the table's children: row by row over the rows shown, fixed lines
// included, as a reader walks it. Grids bigger than an int can number stop at INT_MAX.
int ChildIndexOf(const GridView& view, GridCell cell) {
    const long long index =
        static_cast<long long>(ReaderRow(view, cell.row)) * view.grid().ColCount() + cell.col;
    return static_cast<int>(std::min<long long>(index, INT_MAX - 1));
}

GridCell CellOfChild(const GridView& view, int index) {
    const int32_t cols = view.grid().ColCount();
    return GridCell{index % cols, TableRow(view, index / cols)};
}

bool InGrid(const TableGrid& grid, GridCell cell) {
    return cell.col >= 0 && cell.row >= 0 && cell.col < grid.ColCount() &&
           cell.row < grid.RowCount();
}

bool Between(int32_t value, int32_t a, int32_t b) {
    return value >= std::min(a, b) && value <= std::max(a, b);
}

bool IsSelected(const TableGrid& grid, GridCell cell) {
    return cell.col >= grid.FixedCols() && cell.row >= grid.FixedRows() &&
           Between(cell.col, grid.Anchor().col, grid.Col()) &&
           Between(cell.row, grid.Anchor().row, grid.Row());
}

class GridAccessible;

// One cell; it reads everything from the grid when asked, so it never goes stale while the
// cell stays within the counts.
class CellAccessible final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CellAccessible(GridView* view, GridCell cell) : view_(view), cell_(cell) {}

    bool isValid() const override { return !view_.isNull() && InGrid(Grid(), cell_); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value)) {
            return {};
        }
        return DecodeCp932(Grid().Cell(cell_.col, cell_.row));
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        const std::optional<QRect> box = isValid() ? view_->cellRect(cell_) : std::nullopt;
        if (!box) {
            return {};
        }
        return QRect(view_->viewport()->mapToGlobal(box->topLeft()), box->size());
    }

    QAccessible::Role role() const override {
        if (view_.isNull()) {
            return QAccessible::Cell;
        }
        if (cell_.row < Grid().FixedRows()) {
            return QAccessible::ColumnHeader;
        }
        return cell_.col < Grid().FixedCols() ? QAccessible::RowHeader : QAccessible::Cell;
    }

    QAccessible::State state() const override {
        QAccessible::State st;
        if (!isValid()) {
            st.invalid = true;
            return st;
        }
        const TableGrid& grid = Grid();
        const bool data = cell_.col >= grid.FixedCols() && cell_.row >= grid.FixedRows();
        st.focusable = data;
        st.selectable = data;
        st.editable = data;
        st.selected = IsSelected(grid, cell_);
        st.focused = data && cell_ == grid.Current() && view_->hasFocus();
        st.invisible = !view_->cellRect(cell_).has_value();
        st.offscreen = st.invisible;
        return st;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    // QAccessibleTableCellInterface: indexes count the data cells only.
    int columnIndex() const override { return cell_.col - (view_ ? Grid().FixedCols() : 0); }
    int rowIndex() const override {
        return view_ ? ReaderRow(*view_, cell_.row) - Grid().FixedRows() : cell_.row;
    }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    bool isSelected() const override { return isValid() && IsSelected(Grid(), cell_); }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    QAccessibleInterface* table() const override { return parent(); }

private:
    const TableGrid& Grid() const { return view_->grid(); }

    QPointer<GridView> view_;
    GridCell cell_;
};

class GridAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(GridView* view) : QAccessibleWidget(view, QAccessible::Table) {}
    ~GridAccessible() override { ForgetCells(); }

    GridView* View() const { return static_cast<GridView*>(widget()); }
    const TableGrid& Grid() const { return View()->grid(); }

    // The cell's interface, made once and kept (the accessibility registry owns it) until the
    // table changes as a whole.
    QAccessibleInterface* Cell(GridCell cell) const {
        if (!InGrid(Grid(), cell)) {
            return nullptr;
        }
        const auto key = std::pair(cell.row, cell.col);
        if (const auto found = cells_.find(key); found != cells_.end()) {
            return QAccessible::accessibleInterface(found->second);
        }
        if (cells_.size() >= kKeptCells) {
            ForgetCells();  // a reader walking a huge table keeps only what it looks at now
        }
        auto* made = new CellAccessible(View(), cell);
        cells_.emplace(key, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    void ForgetCells() const {
        for (const auto& [key, id] : cells_) {
            QAccessible::deleteAccessibleInterface(id);
        }
        cells_.clear();
    }

    // QAccessibleInterface
    int childCount() const override {
        const long long count = static_cast<long long>(Grid().ColCount()) * ReaderRowCount(*View());
        return static_cast<int>(std::min<long long>(count, INT_MAX - 1));
    }
    QAccessibleInterface* child(int index) const override {
        return index >= 0 && index < childCount() ? Cell(CellOfChild(*View(), index)) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr || child->role() == QAccessible::ScrollBar) {
            return -1;
        }
        auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
        if (cell == nullptr) {
            return -1;
        }
        return ChildIndexOf(*View(),
                            GridCell{cell->columnIndex() + Grid().FixedCols(),
                                     TableRow(*View(), cell->rowIndex() + Grid().FixedRows())});
    }
    QAccessibleInterface* focusChild() const override {
        return View()->hasFocus() ? Cell(Grid().Current()) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = View()->viewport()->mapFromGlobal(QPoint(x, y));
        const std::optional<GridCell> cell = View()->cellAt(at);
        return cell ? Cell(*cell) : nullptr;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface*>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }

    // QAccessibleTableInterface: rows and columns of data cells; the fixed lines are headers.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        return Cell(
            GridCell{column + Grid().FixedCols(), TableRow(*View(), row + Grid().FixedRows())});
    }
    int columnCount() const override { return Grid().ColCount() - Grid().FixedCols(); }
    int rowCount() const override { return ReaderRowCount(*View()) - Grid().FixedRows(); }
    QString columnDescription(int column) const override {
        return HeaderText(GridCell{column + Grid().FixedCols(), 0}, Grid().FixedRows());
    }
    QString rowDescription(int row) const override {
        return HeaderText(GridCell{0, TableRow(*View(), row + Grid().FixedRows())},
                          Grid().FixedCols());
    }
    int selectedCellCount() const override {
        const GridCell a = Grid().Anchor();
        const GridCell c = Grid().Current();
        const long long rows =
            std::abs(static_cast<long long>(ReaderRow(*View(), a.row)) - ReaderRow(*View(), c.row));
        const long long count = (std::abs(static_cast<long long>(a.col) - c.col) + 1) * (rows + 1);
        return static_cast<int>(std::min<long long>(count, INT_MAX));
    }
    QList<QAccessibleInterface*> selectedCells() const override {
        // The current cell stands for the range: a reader asks for it, not for a million cells.
        QList<QAccessibleInterface*> cells;
        if (QAccessibleInterface* current = Cell(Grid().Current())) {
            cells << current;
        }
        return cells;
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override {
        if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged) {
            ForgetCells();
        }
    }

private:
    static constexpr std::size_t kKeptCells = 4096;

    QString HeaderText(GridCell cell, int32_t fixedLines) const {
        return fixedLines > 0 && InGrid(Grid(), cell) ? DecodeCp932(Grid().Cell(cell.col, cell.row))
                                                      : QString();
    }

    mutable std::map<std::pair<int32_t, int32_t>, QAccessible::Id> cells_;
};

QList<QAccessibleInterface*> CellAccessible::columnHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    auto* table = isValid() ? static_cast<GridAccessible*>(parent()) : nullptr;
    for (int32_t row = 0; table != nullptr && row < Grid().FixedRows(); ++row) {
        headers << table->Cell(GridCell{cell_.col, row});
    }
    return headers;
}

QList<QAccessibleInterface*> CellAccessible::rowHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    auto* table = isValid() ? static_cast<GridAccessible*>(parent()) : nullptr;
    for (int32_t col = 0; table != nullptr && col < Grid().FixedCols(); ++col) {
        headers << table->Cell(GridCell{col, cell_.row});
    }
    return headers;
}

QAccessibleInterface* MakeGridAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("qv::GridView") && object != nullptr && object->isWidgetType()) {
        return new GridAccessible(static_cast<GridView*>(object));
    }
    return nullptr;
}

}  // namespace

void InstallGridAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(MakeGridAccessible);
        return true;
    }();
    (void)installed;
}

void AnnounceCurrentCell(GridView& view) {
    if (!QAccessible::isActive()) {
        return;
    }
    const int index = ChildIndexOf(view, view.grid().Current());
    QAccessibleEvent selection(&view, QAccessible::SelectionWithin);
    QAccessible::updateAccessibility(&selection);
    if (view.hasFocus()) {
        QAccessibleEvent focus(&view, QAccessible::Focus);
        focus.setChild(index);
        QAccessible::updateAccessibility(&focus);
    }
}

void AnnounceCellChanged(GridView& view, GridCell cell) {
    if (!QAccessible::isActive()) {
        return;
    }
    const TableGrid& grid = view.grid();
    QAccessibleTableModelChangeEvent event(&view, QAccessibleTableModelChangeEvent::DataChanged);
    const int32_t row = ReaderRow(view, cell.row) - grid.FixedRows();
    event.setFirstRow(row);
    event.setLastRow(row);
    event.setFirstColumn(cell.col - grid.FixedCols());
    event.setLastColumn(cell.col - grid.FixedCols());
    QAccessible::updateAccessibility(&event);
}

void AnnounceTableReset(GridView& view) {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleTableModelChangeEvent event(&view, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
}

}  // namespace qv
