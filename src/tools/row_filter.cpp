#include "tools/row_filter.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "platform/failure.h"
#include "table/cell_handle.h"
#include "tools/cell_regex.h"
#include "tools/cp932_characters.h"
#include "tools/japanese_numbers.h"
#include "tools/loose_text.h"
#include "tools/row_bits.h"
#include "tools/statistics_number.h"

namespace qv {

namespace {

bool IsBoundary(std::string_view text, std::size_t at) {
    std::size_t boundary = 0;
    while (boundary < at) {
        boundary = NextCp932Boundary(text, boundary);
    }
    return boundary == at;
}

bool IsNegative(FilterTest test) {
    return test == FilterTest::NotContains || test == FilterTest::Empty;
}

bool CompareNumbers(FilterTest test, double a, double b) {
    switch (test) {
        case FilterTest::NumberEqual:
            return a == b;
        case FilterTest::NumberNotEqual:
            return a != b;
        case FilterTest::Greater:
            return a > b;
        case FilterTest::GreaterOrEqual:
            return a >= b;
        case FilterTest::Less:
            return a < b;
        default:
            return a <= b;
    }
}

// A number as the column statistics read it, or else as Japanese lists write it ("１，２００円",
// "▲100", "1.2万").
std::optional<double> ReadNumber(std::string_view text, std::string& buffer) {
    double value = 0;
    switch (ReadCellNumber(text, buffer, value)) {
        case NumberReading::Number:
            return value;
        case NumberReading::OutOfRange:
            return std::nullopt;
        case NumberReading::NotANumber:
            break;
    }
    return ReadJapaneseNumber(text);
}

}  // namespace

// One condition made ready: a test of a single cell, which the negative forms invert per row.
class RowFilter::Test {
public:
    Test(const FilterCondition& condition, FilterMatching matching)
        : col_(condition.col), negate_(IsNegative(condition.test)) {
        const bool loose = matching == FilterMatching::Loose;
        const std::string& value = condition.value;
        const std::string folded = loose ? LooseFold(value) : value;
        switch (condition.test) {
            case FilterTest::Contains:
            case FilterTest::NotContains:
                if (loose) {
                    auto matcher = std::make_shared<LooseMatcher>(value, LooseExtent::PartOfText);
                    passes_ = [matcher](std::string_view c) { return matcher->Matches(c); };
                } else {
                    passes_ = [value](std::string_view c) {
                        return FindAtCharacterBoundary(c, value) != std::string_view::npos;
                    };
                    exactPart_ = value;
                }
                restricts_ = !value.empty();
                break;
            case FilterTest::Equals:
                passes_ = Folding(loose, [folded](std::string_view c) { return c == folded; });
                restricts_ = !value.empty();
                break;
            case FilterTest::StartsWith:
                passes_ =
                    Folding(loose, [folded](std::string_view c) { return c.starts_with(folded); });
                restricts_ = !value.empty();
                break;
            case FilterTest::EndsWith:
                passes_ = Folding(loose, [folded](std::string_view c) {
                    return c.ends_with(folded) && IsBoundary(c, c.size() - folded.size());
                });
                restricts_ = !value.empty();
                break;
            case FilterTest::Empty:
            case FilterTest::NotEmpty:
                passes_ = [](std::string_view c) { return !c.empty(); };
                break;
            case FilterTest::Regex: {
                if (value.empty()) {
                    restricts_ = false;
                    break;
                }
                regex_ = std::make_shared<CellRegex>(
                    value, loose ? RegexCase::Insensitive : RegexCase::Sensitive,
                    RegexExtent::PartOfText);
                // A cell the match limit stops counts as no match; the filter says so after.
                passes_ = [regex = regex_, stopped = stopped_](std::string_view c) {
                    try {
                        return regex->Matches(c);
                    } catch (const Failure&) {
                        *stopped = true;
                        return false;
                    }
                };
                break;
            }
            default: {
                std::string buffer;
                const std::optional<double> number = ReadNumber(value, buffer);
                restricts_ = number.has_value();
                passes_ = [test = condition.test, x = number.value_or(0),
                           buffer = std::string()](std::string_view c) mutable {
                    const std::optional<double> cell = ReadNumber(c, buffer);
                    return cell && CompareNumbers(test, *cell, x);
                };
            }
        }
        if (restricts_) {
            emptyPasses_ = passes_(std::string_view());
        }
    }

    bool Restricts() const { return restricts_; }
    bool StoppedAny() const { return *stopped_; }

    bool Meets(const TableGrid& grid, int32_t row) const {
        if (!restricts_) {
            return true;
        }
        bool hit = false;
        if (col_ != kAnyFilterColumn) {
            hit = passes_(grid.Cell(col_, row));
        } else {
            for (int32_t c = 1; c < grid.ColCount() && !hit; ++c) {
                hit = passes_(grid.Cell(c, row));
            }
        }
        return hit != negate_;
    }

    // Sets the bits of the rows of [1, RowCount) where some cell of the condition's columns
    // passes. Only stored cells are read when an empty cell cannot pass.
    void MarkHits(const TableGrid& grid, RowBits& hits, const std::atomic<bool>* cancelled) const {
        const int32_t rowCount = grid.RowCount();
        const int32_t colBegin = col_ == kAnyFilterColumn ? 1 : col_;
        const int32_t colEnd = col_ == kAnyFilterColumn ? grid.ColCount() : col_ + 1;
        const std::vector<int32_t> stored = grid.StoredColumnNumbers(colBegin, colEnd);
        if (emptyPasses_ && static_cast<int32_t>(stored.size()) < colEnd - colBegin) {
            hits.SetAll();  // a column of empty cells
            return;
        }
        for (const int32_t c : stored) {
            for (int32_t begin = 1; begin < rowCount; begin += kRowsPerCancelCheck) {
                if (cancelled != nullptr && cancelled->load(std::memory_order_relaxed)) {
                    return;
                }
                MarkHitsIn(grid, c, begin, std::min(rowCount, begin + kRowsPerCancelCheck), hits,
                           cancelled);
            }
        }
    }

    bool Negated() const { return negate_; }

private:
    // How many rows of a column are read between looks at the cancel flag.
    static constexpr int32_t kRowsPerCancelCheck = 16384;

    // A regular expression may take long on a cell: the other tests look at the cancel flag
    // before each cell.
    void MarkHitsIn(const TableGrid& grid, int32_t c, int32_t rowBegin, int32_t rowEnd,
                    RowBits& hits, const std::atomic<bool>* cancelled) const {
        const auto passes = [&](std::string_view text) {
            return !(cancelled != nullptr && cancelled->load(std::memory_order_relaxed)) &&
                   passes_(text);
        };
        if (!exactPart_.empty()) {  // the commonest test, without a call through passes_
            grid.VisitColumnTexts(c, rowBegin, rowEnd, [&](int32_t row, CellHandle h) {
                if (ContainsAtCharacterBoundary(cell_handle::Text(h), exactPart_)) {
                    hits.Set(row);
                }
            });
        } else if (emptyPasses_) {
            int32_t row = rowBegin;
            grid.VisitColumn(c, rowBegin, rowEnd, [&](std::string_view text) {
                if (passes(text)) {
                    hits.Set(row);
                }
                ++row;
            });
        } else {
            grid.VisitColumnTexts(c, rowBegin, rowEnd, [&](int32_t row, CellHandle h) {
                if (passes(cell_handle::Text(h))) {
                    hits.Set(row);
                }
            });
        }
    }

    // The test on the cell's fold when matching loosely (the value is folded already).
    template <class F>
    static std::function<bool(std::string_view)> Folding(bool loose, F compare) {
        if (!loose) {
            return compare;
        }
        return [compare, folded = std::string()](std::string_view c) mutable {
            folded.clear();
            AppendLooseFold(c, folded);
            return compare(folded);
        };
    }

    int32_t col_;
    bool negate_;
    bool restricts_ = true;
    bool emptyPasses_ = false;
    std::function<bool(std::string_view)> passes_;
    std::string exactPart_;  // the value of an exact 含む or 含まない
    std::shared_ptr<CellRegex> regex_;
    std::shared_ptr<bool> stopped_ = std::make_shared<bool>(false);
};

RowFilter::RowFilter(std::vector<FilterCondition> conditions, FilterMatching matching) {
    for (const FilterCondition& condition : conditions) {
        auto test = std::make_unique<Test>(condition, matching);
        if (test->Restricts()) {
            tests_.push_back(std::move(test));
        }
    }
}

RowFilter::~RowFilter() = default;
RowFilter::RowFilter(RowFilter&&) noexcept = default;
RowFilter& RowFilter::operator=(RowFilter&&) noexcept = default;

std::vector<int32_t> RowFilter::ShownRows(const TableGrid& grid,
                                          const std::atomic<bool>* cancelled) const {
    const int32_t rowEnd = std::max(grid.RowCount(), 1);
    RowBits meets(rowEnd);
    meets.SetAll();
    RowBits hits(rowEnd);
    for (const auto& test : tests_) {
        hits.Clear();
        test->MarkHits(grid, hits, cancelled);
        meets.KeepWhere(hits, test->Negated() ? RowBits::State::Unset : RowBits::State::Set);
    }
    meets.Unset(0);  // the item names
    return meets.Rows();
}

bool RowFilter::Meets(const TableGrid& grid, int32_t row) const {
    return std::all_of(tests_.begin(), tests_.end(),
                       [&](const auto& test) { return test->Meets(grid, row); });
}

bool RowFilter::StoppedAny() const {
    return std::any_of(tests_.begin(), tests_.end(),
                       [](const auto& test) { return test->StoppedAny(); });
}

const char* FilterTestCaption(FilterTest test) {
    static constexpr const char* kCaptions[kFilterTestCount] = {
        "含む",     "等しい", "で始まる", "で終わる", "含まない", "空", "空でない",
        "正規表現", "=",      "≠",        ">",        "≥",        "<",  "≤"};
    return kCaptions[static_cast<int>(test)];
}

}  // namespace qv
