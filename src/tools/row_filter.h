#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "table/table_grid.h"

namespace qv {

// The notice shown when the match limit stopped a regular expression on some cells.
inline constexpr const char* kRegexStoppedMessage =
    "正規表現の照合が長すぎるため、一部のセルで打ち切りました";

// The tests a filter condition puts to a cell. The number tests read the cell as the column
// statistics read it (a yen mark and commas allowed) and fail on a cell that is no number.
enum class FilterTest {
    Contains,
    Equals,
    StartsWith,
    EndsWith,
    NotContains,
    Empty,
    NotEmpty,
    Regex,
    NumberEqual,
    NumberNotEqual,
    Greater,
    GreaterOrEqual,
    Less,
    LessOrEqual,
};

// Exact compares bytes; Loose folds width, kana and letter case first (tools/loose_text.h); a
// regular expression then ignores letter case.
enum class FilterMatching { Exact, Loose };

// The grid column a condition looks at; kAnyFilterColumn for every data column.
inline constexpr int32_t kAnyFilterColumn = 0;

// One condition: `value` is CP932 for the text tests, UTF-8 for Regex, and the number for the
// number tests.
struct FilterCondition {
    int32_t col = kAnyFilterColumn;
    FilterTest test = FilterTest::Contains;
    std::string value;
};

// The rows that meet every condition. A condition on every column is met when some data cell of
// the row passes the test; its negative forms (含まない, 空) are the negations of that, met when no
// cell contains the value, when every cell is empty. A text test with an empty value (含む,
// 等しい...) and a number test without a number restrict nothing: while the value is still
// being typed every row shows.
class RowFilter {
public:
    // Raises Failure for a regular expression that does not compile (its message).
    RowFilter(std::vector<FilterCondition> conditions, FilterMatching matching);
    ~RowFilter();
    RowFilter(RowFilter&&) noexcept;
    RowFilter& operator=(RowFilter&&) noexcept;

    // The data rows (1 .. RowCount-1, in order) that meet every condition. When `cancelled`
    // becomes true the reading stops early and the rows it gives mean nothing.
    std::vector<int32_t> ShownRows(const TableGrid& grid,
                                   const std::atomic<bool>* cancelled = nullptr) const;
    bool Meets(const TableGrid& grid, int32_t row) const;
    // Whether a regular expression gave up on some cell at its limit (see CellRegex).
    bool StoppedAny() const;

private:
    class Test;
    std::vector<std::unique_ptr<Test>> tests_;
};

// The test's caption in the filter bar, and the test a caption names.
const char* FilterTestCaption(FilterTest test);
inline constexpr int kFilterTestCount = 14;

}  // namespace qv
