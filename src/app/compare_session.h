#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/document_change.h"
#include "tools/cell_search.h"
#include "tools/table_compare.h"

namespace qv {

// One line of the compare window: rows of both tables side by side. rowA is -1 for a row only
// in the other table, rowB -1 for one only in the current table; insertBefore is where in the
// current table a row of the other alone would go.
struct CompareEntry {
    RowPairKind kind = RowPairKind::Same;
    int32_t rowA = -1;
    int32_t rowB = -1;
    int32_t insertBefore = 0;
};

enum class ComparedRows { AllRows, DifferencesOnly };

// The current table compared with another one, read once and never written. The comparison
// follows the current table: it is made again whenever the table changed since (Refresh). The
// compare window shows its entries; taking differences over is one step of the current table's
// history each time.
class CompareSession : private CommandGroup {
public:
    // `other` is the other table; `otherName` (UTF-8) names it; `keyColumns` are the current
    // table's columns whose paired cells make the key (none: rows pair by position).
    CompareSession(TableDocument& document, WindowSystem& windows, std::unique_ptr<TableGrid> other,
                   std::string otherName, std::vector<int32_t> keyColumns);

    // Compares again when the current table changed since the last time; true when it did.
    bool Refresh();
    // Counts the comparisons made: a view shows the latest while it shows this number.
    uint64_t Generation() const { return generation_; }
    const TableComparison& Comparison() const { return comparison_; }
    const TableGrid& Current() const { return Grid(); }
    const TableGrid& Other() const { return *other_; }
    const std::string& OtherName() const { return otherName_; }

    void SetFilter(ComparedRows filter);
    ComparedRows Filter() const { return filter_; }
    int32_t EntryCount() const;
    CompareEntry EntryAt(int32_t index) const;
    // The entry of the next (or previous) difference after (before) entry `from` (-1: before the
    // first); -1 when there is none.
    int32_t NextDifference(int32_t from, SearchDirection direction) const;
    // The compared columns (indexes into Comparison().columns.pairs) that differ in an entry.
    std::vector<int32_t> ChangedPairs(const CompareEntry& entry) const;

    // "追加 12 / 削除 3 / 変更 40 行 (セル 57)"; the columns only one table has, and repeated keys.
    std::string CountsText() const { return DifferenceCountsText(comparison_.counts); }
    std::string NotesText() const;

    // Copies one difference into the current table: a row only in the other, the absence of a
    // row only in this one, a changed row, or with `pair` (an index into the pairs) one changed
    // cell of it. One undo step; nothing when there is nothing to take over.
    void TakeOver(int32_t entry, int32_t pair = -1);
    // Every difference at once, one undo step.
    void TakeOverAll();
    // Undo and redo of the current table, for the compare window's keys.
    void Undo() { MoveInHistory(document_, windows_, HistoryMove::Undo); }
    void Redo() { MoveInHistory(document_, windows_, HistoryMove::Redo); }

private:
    void Compare();
    void IndexEntries();
    // The run shown as the `index`-th and the entry's place in it.
    std::pair<std::size_t, int32_t> Locate(int32_t index) const;

    std::unique_ptr<TableGrid> other_;
    std::string otherName_;
    std::vector<int32_t> keyColumns_;
    TableComparison comparison_;
    uint64_t comparedChange_ = 0;
    uint64_t generation_ = 0;
    ComparedRows filter_ = ComparedRows::AllRows;
    std::vector<std::size_t> shownRuns_;  // runs shown under the filter, in order
    std::vector<int32_t> shownStarts_;    // the first entry of each, and the count after the last
};

}  // namespace qv
