#include "tools/cell_search.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "tools/cp932_characters.h"

namespace qv {

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A cell's place in row order, wide enough for "one past" any column.
struct Key {
    int64_t row;
    int64_t col;
    auto operator<=>(const Key&) const = default;
};

constexpr Key kBeforeAll{std::numeric_limits<int32_t>::min(), 0};
constexpr Key kAfterAll{int64_t{std::numeric_limits<int32_t>::max()} + 1, 0};

// Rows searched at a time across all columns: a match near the start costs little, and each
// column is still read in long runs.
constexpr int32_t kRowsPerPass = 4096;
// Rows of a column counted between two looks at whether the count was cancelled: well under a
// millisecond of work, so a cancelling keystroke never waits on it.
constexpr int32_t kRowsPerCancelCheck = 16384;

class AreaSearch {
public:
    AreaSearch(const TableGrid& grid, const CellTest& matcher, const SearchArea& area)
        : grid_(grid),
          matcher_(matcher),
          area_(area),
          columns_(grid.StoredColumnNumbers(area.colBegin, area.colEnd)),
          rowEnd_(std::min(area.rowEnd, grid.StoredRowEnd(area.colBegin, area.colEnd))) {}

    // The first matching cell with lo <= key < hi.
    std::optional<GridCell> First(Key lo, Key hi) const {
        const int32_t begin = ClampRow(lo.row);
        const int32_t end = ClampRow(hi.row + 1);
        for (int32_t passBegin = begin; passBegin < end; passBegin += kRowsPerPass) {
            const int32_t passEnd = passBegin + std::min(kRowsPerPass, end - passBegin);
            std::optional<Key> best;
            for (int32_t col : columns_) {
                const int32_t stop = best ? static_cast<int32_t>(best->row) + 1 : passEnd;
                bool found = false;
                grid_.VisitColumnTexts(col, passBegin, stop, [&](int32_t row, CellHandle h) {
                    const Key key{row, col};
                    if (!found && lo <= key && key < hi && (!best || key < *best) &&
                        matcher_.Matches(cell_handle::Text(h))) {
                        best = key;
                        found = true;
                    }
                });
            }
            if (best) {
                return GridCell{static_cast<int32_t>(best->col), static_cast<int32_t>(best->row)};
            }
        }
        return std::nullopt;
    }

    // The last matching cell with lo <= key < hi.
    std::optional<GridCell> Last(Key lo, Key hi) const {
        const int32_t begin = ClampRow(lo.row);
        const int32_t end = ClampRow(hi.row + 1);
        for (int32_t passEnd = end; passEnd > begin; passEnd -= kRowsPerPass) {
            const int32_t passBegin = passEnd - std::min(kRowsPerPass, passEnd - begin);
            std::optional<Key> best;
            for (int32_t col : columns_) {
                const int32_t start = best ? static_cast<int32_t>(best->row) : passBegin;
                grid_.VisitColumnTexts(col, start, passEnd, [&](int32_t row, CellHandle h) {
                    const Key key{row, col};
                    if (lo <= key && key < hi && (!best || *best < key) &&
                        matcher_.Matches(cell_handle::Text(h))) {
                        best = key;
                    }
                });
            }
            if (best) {
                return GridCell{static_cast<int32_t>(best->col), static_cast<int32_t>(best->row)};
            }
        }
        return std::nullopt;
    }

    int64_t Count(const std::atomic<bool>* cancelled) const {
        int64_t count = 0;
        for (int32_t col : columns_) {
            for (int32_t begin = area_.rowBegin; begin < rowEnd_; begin += kRowsPerCancelCheck) {
                if (cancelled != nullptr && cancelled->load(std::memory_order_relaxed)) {
                    return count;
                }
                const int32_t end = begin + std::min(kRowsPerCancelCheck, rowEnd_ - begin);
                grid_.VisitColumnTexts(col, begin, end, [&](int32_t, CellHandle h) {
                    count += matcher_.Matches(cell_handle::Text(h)) ? 1 : 0;
                });
            }
        }
        return count;
    }

private:
    int32_t ClampRow(int64_t row) const {
        return static_cast<int32_t>(
            std::clamp<int64_t>(row, area_.rowBegin, std::max(area_.rowBegin, rowEnd_)));
    }

    const TableGrid& grid_;
    const CellTest& matcher_;
    SearchArea area_;
    std::vector<int32_t> columns_;
    int32_t rowEnd_;
};

}  // namespace

CellMatcher::CellMatcher(std::string_view searchText, SearchOptions options) : options_(options) {
    std::vector<bool> folds;
    std::string pattern;
    std::size_t i = 0;
    while (i < searchText.size()) {
        if (IsCp932LeadByte(searchText[i])) {
            if (i + 1 == searchText.size()) {
                return;  // ends inside a character: it could only match half of one
            }
            pattern.append(searchText.substr(i, 2));
            folds.insert(folds.end(), 2, false);
            i += 2;
            continue;
        }
        const bool fold =
            options.letterCase == LetterCase::Insensitive && IsAsciiLetter(searchText[i]);
        pattern += fold ? LowerAscii(searchText[i]) : searchText[i];
        folds.push_back(fold);
        anyFold_ = anyFold_ || fold;
        ++i;
    }
    pattern_ = std::move(pattern);
    folds_ = std::move(folds);
}

bool CellMatcher::EqualAt(const char* cell) const {
    if (!anyFold_) {
        return std::memcmp(cell, pattern_.data(), pattern_.size()) == 0;
    }
    for (std::size_t j = 0; j < pattern_.size(); ++j) {
        if ((folds_[j] ? LowerAscii(cell[j]) : cell[j]) != pattern_[j]) {
            return false;
        }
    }
    return true;
}

bool CellMatcher::Matches(std::string_view cell) const {
    if (cell.size() < pattern_.size() || pattern_.empty()) {
        return false;
    }
    if (options_.extent == MatchExtent::WholeCell) {
        return cell.size() == pattern_.size() && EqualAt(cell.data());
    }
    return Find(cell, 0) != std::string_view::npos;
}

std::size_t CellMatcher::Find(std::string_view cell, std::size_t from) const {
    const std::size_t n = pattern_.size();
    if (n == 0 || from > cell.size() || cell.size() - from < n) {
        return std::string_view::npos;
    }
    if (options_.extent == MatchExtent::WholeCell) {
        return from == 0 && cell.size() == n && EqualAt(cell.data()) ? 0 : std::string_view::npos;
    }
    if (anyFold_) {
        return FindFolded(cell, from);
    }
    const char* const text = cell.data();
    std::size_t boundary = from;
    std::size_t at = from;
    while (cell.size() - at >= n) {
        // A one-byte pattern (the yen sign, a comma) is common: memchr is memmem's own
        // search for it, without memmem's call around it.
        const void* hit = n == 1 ? std::memchr(text + at, pattern_[0], cell.size() - at)
                                 : memmem(text + at, cell.size() - at, pattern_.data(), n);
        if (hit == nullptr) {
            break;
        }
        const auto position = static_cast<std::size_t>(static_cast<const char*>(hit) - text);
        while (boundary < position) {
            boundary = NextCp932Boundary(cell, boundary);
        }
        if (boundary == position) {
            return position;
        }
        at = boundary;  // the hit began on a second byte: go on from the character after it
    }
    return std::string_view::npos;
}

std::size_t CellMatcher::FindFolded(std::string_view cell, std::size_t from) const {
    for (std::size_t at = from; cell.size() - at >= pattern_.size();
         at = NextCp932Boundary(cell, at)) {
        if (EqualAt(cell.data() + at)) {
            return at;
        }
    }
    return std::string_view::npos;
}

SearchArea WholeTableArea(const TableGrid& grid) {
    return SearchArea{1, grid.ColCount(), 1, grid.RowCount()};
}

SearchArea ColumnArea(const TableGrid& grid, int32_t col) {
    if (col < 1 || col >= grid.ColCount()) {
        return SearchArea{1, 1, 1, 1};
    }
    return SearchArea{col, col + 1, 1, grid.RowCount()};
}

std::optional<FoundCell> FindNextCell(const TableGrid& grid, const CellTest& matcher,
                                      const SearchArea& area, GridCell from,
                                      SearchDirection direction) {
    if (matcher.FindsNothing()) {
        return std::nullopt;
    }
    const AreaSearch search(grid, matcher, area);
    const Key at{from.row, from.col};
    const Key after{from.row, int64_t{from.col} + 1};
    std::optional<GridCell> found;
    if (direction == SearchDirection::Forward) {
        if ((found = search.First(after, kAfterAll))) {
            return FoundCell{*found, false};
        }
        found = search.First(kBeforeAll, after);
    } else {
        if ((found = search.Last(kBeforeAll, at))) {
            return FoundCell{*found, false};
        }
        found = search.Last(at, kAfterAll);
    }
    if (found) {
        return FoundCell{*found, true};
    }
    return std::nullopt;
}

int64_t CountMatchingCellsIn(const TableGrid& grid, const CellTest& matcher, const SearchArea& area,
                             const std::atomic<bool>* cancelled) {
    if (matcher.FindsNothing()) {
        return 0;
    }
    return AreaSearch(grid, matcher, area).Count(cancelled);
}

}  // namespace qv
