// The current table compared with another: the aligned entries, moving between differences and
// taking them over.
#include "app/compare_session.h"

#include <algorithm>

#include "edit/take_over_changes.h"
#include "platform/cp932.h"

namespace qv {

namespace {

// How many repeated keys the notes name.
constexpr std::size_t kKeysNamed = 5;

std::string ColumnNames(const TableGrid& grid, const std::vector<int32_t>& cols) {
    std::string names;
    for (const int32_t col : cols) {
        const std::string_view name = grid.Cell(col, 0);
        names += (names.empty() ? "" : "、") +
                 (name.empty() ? std::to_string(col) + " 列" : "「" + Cp932ToUtf8(name) + "」");
    }
    return names;
}

std::string RowNumbers(const std::vector<int32_t>& rows) {
    std::string text;
    for (std::size_t k = 0; k < rows.size() && k < kKeysNamed; ++k) {
        text += (k > 0 ? "、" : "") + std::to_string(rows[k]);
    }
    return text + (rows.size() > kKeysNamed ? " ほか" : "") + " 行";
}

}  // namespace

CompareSession::CompareSession(TableDocument& document, WindowSystem& windows,
                               std::unique_ptr<TableGrid> other, std::string otherName,
                               std::vector<int32_t> keyColumns)
    : CommandGroup(document, windows),
      other_(std::move(other)),
      otherName_(std::move(otherName)),
      keyColumns_(std::move(keyColumns)) {
    Compare();
}

void CompareSession::Compare() {
    const TableGrid& current = Grid();
    comparison_ = CompareTables(
        current, *other_,
        PairColumns(current, *other_, PreferredMatching(current, *other_), ColumnExtent::Common),
        keyColumns_);
    comparedChange_ = document_.ChangeCount();
    ++generation_;
    IndexEntries();
}

bool CompareSession::Refresh() {
    if (document_.ChangeCount() == comparedChange_) {
        return false;
    }
    Compare();
    return true;
}

void CompareSession::SetFilter(ComparedRows filter) {
    filter_ = filter;
    IndexEntries();
}

void CompareSession::IndexEntries() {
    shownRuns_.clear();
    shownStarts_.assign(1, 0);
    for (std::size_t k = 0; k < comparison_.runs.size(); ++k) {
        const RowRun& run = comparison_.runs[k];
        if (filter_ == ComparedRows::DifferencesOnly && run.kind == RowPairKind::Same) {
            continue;
        }
        shownRuns_.push_back(k);
        shownStarts_.push_back(shownStarts_.back() + run.count);
    }
}

int32_t CompareSession::EntryCount() const {
    return shownStarts_.back();
}

std::pair<std::size_t, int32_t> CompareSession::Locate(int32_t index) const {
    const auto after = std::upper_bound(shownStarts_.begin(), shownStarts_.end(), index);
    const auto shown = static_cast<std::size_t>(after - shownStarts_.begin() - 1);
    return {shown, index - shownStarts_[shown]};
}

CompareEntry CompareSession::EntryAt(int32_t index) const {
    const auto [shown, offset] = Locate(index);
    const RowRun& run = comparison_.runs[shownRuns_[shown]];
    switch (run.kind) {
        case RowPairKind::OnlyA:
            return {run.kind, run.rowA + offset, -1, run.rowA + offset};
        case RowPairKind::OnlyB:
            return {run.kind, -1, run.rowB + offset, run.rowA};
        default:
            return {run.kind, run.rowA + offset, run.rowB + offset, run.rowA + offset};
    }
}

int32_t CompareSession::NextDifference(int32_t from, SearchDirection direction) const {
    const int32_t step = direction == SearchDirection::Forward ? 1 : -1;
    int32_t index = from + step;
    if (index < 0 || index >= EntryCount()) {
        return -1;
    }
    for (auto [shown, offset] = Locate(index);;) {
        const RowRun& run = comparison_.runs[shownRuns_[shown]];
        if (run.kind != RowPairKind::Same) {
            return shownStarts_[shown] + offset;
        }
        // A stretch of equal rows is passed whole.
        if (step > 0 ? shown + 1 >= shownRuns_.size() : shown == 0) {
            return -1;
        }
        shown = step > 0 ? shown + 1 : shown - 1;
        offset = step > 0 ? 0 : comparison_.runs[shownRuns_[shown]].count - 1;
    }
}

std::vector<int32_t> CompareSession::ChangedPairs(const CompareEntry& entry) const {
    if (entry.kind != RowPairKind::Changed) {
        return {};
    }
    return ChangedColumns(Grid(), *other_, comparison_, entry.rowA, entry.rowB);
}

std::string CompareSession::NotesText() const {
    const ColumnPairing& columns = comparison_.columns;
    std::string notes;
    const auto add = [&notes](const std::string& note) {
        notes += (notes.empty() ? "" : "\n") + note;
    };
    if (!columns.onlyA.empty()) {
        add("この表だけの列: " + ColumnNames(Grid(), columns.onlyA));
    }
    if (!columns.onlyB.empty()) {
        add("比較する表だけの列: " + ColumnNames(*other_, columns.onlyB));
    }
    for (const int32_t pair : columns.renamed) {
        const ColumnPair& cols = columns.PairAt(pair);
        add(std::to_string(cols.colA) + " 列の項目名が違います: 「" +
            Cp932ToUtf8(Grid().Cell(cols.colA, 0)) + "」と「" +
            Cp932ToUtf8(other_->Cell(cols.colB, 0)) + "」");
    }
    if (comparison_.keysUnpaired) {
        add("キーの列が比較する表にないため、行の並びで対応させました");
    }
    if (!comparison_.duplicateKeysA.empty()) {
        add("この表でキーが重複している行: " + RowNumbers(comparison_.duplicateKeysA));
    }
    if (!comparison_.duplicateKeysB.empty()) {
        add("比較する表でキーが重複している行: " + RowNumbers(comparison_.duplicateKeysB));
    }
    return notes;
}

namespace {

// What taking over one entry adds to the step.
void AddTakeOver(const TableGrid& current, const TableGrid& other, const ColumnPairing& columns,
                 const CompareEntry& entry, const std::vector<int32_t>& pairs,
                 TakenOverRows& rows) {
    switch (entry.kind) {
        case RowPairKind::Same:
            break;
        case RowPairKind::Changed:
            for (const int32_t pair : pairs) {
                const ColumnPair& cols = columns.PairAt(pair);
                rows.cells.Add({cols.colA, entry.rowA}, other.Cell(cols.colB, entry.rowB));
            }
            break;
        case RowPairKind::OnlyA:
            rows.removedRows.push_back(entry.rowA);
            break;
        case RowPairKind::OnlyB: {
            const int32_t row = current.RowCount() + static_cast<int32_t>(rows.addedBefore.size());
            rows.addedBefore.push_back(entry.insertBefore);
            for (const ColumnPair& cols : columns.pairs) {
                const std::string_view text = other.Cell(cols.colB, entry.rowB);
                if (!text.empty()) {
                    rows.addedCells.Add({cols.colA, row}, text);
                }
            }
            break;
        }
    }
}

}  // namespace

void CompareSession::TakeOver(int32_t entry, int32_t pair) {
    Refresh();
    if (entry < 0 || entry >= EntryCount()) {
        return;
    }
    const CompareEntry chosen = EntryAt(entry);
    std::vector<int32_t> pairs = ChangedPairs(chosen);
    if (pair >= 0) {
        pairs.erase(
            std::remove_if(pairs.begin(), pairs.end(), [pair](int32_t k) { return k != pair; }),
            pairs.end());
    }
    TakenOverRows rows;
    AddTakeOver(Grid(), *other_, comparison_.columns, chosen, pairs, rows);
    GridCell where = Grid().Current();
    if (chosen.kind == RowPairKind::Changed && !pairs.empty()) {
        where = {comparison_.columns.PairAt(pairs.front()).colA, chosen.rowA};
    }
    Apply(std::make_unique<TakeOverChange>(std::move(rows), where));
    Refresh();
}

void CompareSession::TakeOverAll() {
    Refresh();
    TakenOverRows rows;
    for (const RowRun& run : comparison_.runs) {
        for (int32_t k = 0; k < run.count && run.kind != RowPairKind::Same; ++k) {
            const CompareEntry entry =
                run.kind == RowPairKind::OnlyB
                    ? CompareEntry{run.kind, -1, run.rowB + k, run.rowA}
                    : CompareEntry{run.kind, run.rowA + k, run.rowB + k, run.rowA + k};
            AddTakeOver(Grid(), *other_, comparison_.columns, entry, ChangedPairs(entry), rows);
        }
    }
    Apply(std::make_unique<TakeOverChange>(std::move(rows), Grid().Current()));
    Refresh();
}

}  // namespace qv
