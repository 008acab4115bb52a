// Conversions write their cells as one CellListChange; the furigana column is a column added,
// moved beside the current one and filled, as one StepSequence.
#include "app/japanese_text_commands.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "app/status_texts.h"
#include "edit/bulk_changes.h"
#include "edit/row_column_changes.h"
#include "edit/step_sequence.h"
#include "tools/furigana.h"

namespace qv {

void JapaneseTextCommands::ConvertSelection(CharacterConversion conversion) {
    const SelectedBlock range = SelectedRange(Grid());
    const int32_t colBegin = std::max(range.first.col, 1);
    const int32_t rowBegin = std::max(range.first.row, 1);
    std::vector<int32_t> cols;
    for (int32_t col = colBegin; col <= range.last.col; ++col) {
        cols.push_back(col);
    }
    CellTextList changed =
        ConvertedCells(Grid(), cols, rowBegin, std::max(range.last.row + 1, rowBegin), conversion);
    const std::size_t count = changed.Size();
    if (count > 0) {
        Apply(std::make_unique<CellListChange>(std::move(changed), Grid().Current()));
    }
    windows_.ShowStatusNote(std::to_string(count) + " 個のセルを変換しました。");
}

void JapaneseTextCommands::MakeFuriganaColumn() {
    const int32_t source = Grid().Col();
    const int32_t added = Grid().ColCount();  // the new column's place before it moves
    if (source < 1 || added + 1 >= kGridCountLimit) {
        return;
    }
    const int32_t target = source + 1;
    std::optional<CellTextList> cells;
    {
        const std::unique_ptr<ProgressMonitor> progress =
            windows_.StartProgress("読みを調べています", ProgressKind::Load);
        cells = FuriganaCells(Grid(), source, target, [&](int64_t done, int64_t total) {
            return progress == nullptr ||
                   progress->Advance(static_cast<uint64_t>(done), static_cast<uint64_t>(total));
        });
    }
    if (!cells) {
        return;
    }
    // Texts kept beyond the column count (a deleted column's) would show in the new column.
    Grid().VisitColumnTexts(added, 1, Grid().RowCount(), [&](int32_t row, CellHandle) {
        if (Grid().Cell(source, row).empty()) {
            cells->Add(GridCell{target, row}, "");
        }
    });
    std::vector<std::unique_ptr<TableChange>> steps;
    steps.push_back(std::make_unique<ColumnCountChange>(1));
    steps.push_back(std::make_unique<ColumnMoveChange>(added, target));
    steps.push_back(std::make_unique<CellListChange>(std::move(*cells), Grid().Current()));
    Apply(std::make_unique<StepSequence>(std::move(steps)));
}

}  // namespace qv
