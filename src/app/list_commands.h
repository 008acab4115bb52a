#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/document_change.h"
#include "tools/fill_cells.h"

namespace qv {

// The list tools of the main table: filling down, removing duplicate rows. Each acts
// on an explicit list of data rows (today every selected or every data row) and is one step of
// the undo history.
class ListCommands : private CommandGroup {
public:
    ListCommands(TableDocument& document, WindowSystem& windows)
        : CommandGroup(document, windows) {}

    // Each selected column takes the text of the selection's top cell in the selected rows
    // below it.
    void FillDown();
    // Asks for the key columns, removes the rows whose keys an earlier row has, and says how
    // many went.
    void RemoveDuplicateRows();
    // The current column's cells split at a separator into new columns to its right, named
    // after it; asks first beyond kManySplitColumns, says so when no cell holds the separator.
    void SplitColumn();
    // The selected columns' cells joined into the leftmost one, the others taken away.
    void JoinColumns();
    // The selected columns (all data columns when one cell is selected) fitted to their texts.
    void FitColumnWidths();

private:
    // Every data row, or (ShownOnly) the rows a filter shows.
    enum class Rows { All, ShownOnly };
    std::vector<int32_t> DataRows(Rows rows = Rows::All) const;
};

// The selected data rows, top to bottom; while a filter is on, the shown ones only.
std::vector<int32_t> SelectedRows(const TableGrid& grid, const ShownRows& shown);
// The selected columns over `rows`, which must outlive the span.
RowSpan SelectedCells(const TableGrid& grid, const std::vector<int32_t>& rows);

// The step that fills `cells` (at least one row) with `text`, or with none with each column's
// top text downwards. A run of rows (no filter between them) is filled as a block, whose undo
// exchanges chunks however many cells there are; a list with gaps cell by cell. Raises
// WorkCancelled when `progress` says stop.
std::unique_ptr<TableChange> FillChange(const TableGrid& grid, const RowSpan& cells,
                                        std::optional<std::string_view> text,
                                        const WorkProgress& progress);

// A split into more columns than this asks first.
inline constexpr int32_t kManySplitColumns = 10'000;
// How many rows the separator dialog previews.
inline constexpr int32_t kSeparatorPreviewRows = 5;

// "3 行を削除しました。", or "重複行はありませんでした。" for none.
std::string RemovedRowsMessage(std::size_t rows);

}  // namespace qv
