#include "bench_japanese.h"

#include <algorithm>
#include <cstdio>
#include <tuple>
#include <vector>

#include "bench_floors.h"
#include "bench_harness.h"
#include "platform/cp932.h"
#include "tools/japanese_numbers.h"
#include "tools/multi_key_sort.h"
#include "tools/reading_collation.h"
#include "tools/reading_dictionary.h"

namespace qv::bench {

namespace {

// 品名 (words in kanji and kana), ﾌﾘｶﾞﾅ (half-width katakana) and 単価 (yen amounts).
constexpr int32_t kWordColumn = 1;
constexpr int32_t kKanaColumn = 2;
constexpr int32_t kPriceColumn = 4;

void MeasureReadingSort(const TableGrid& grid, int runs, JapaneseFigures& f) {
    ReadingDictionary dictionary;  // its own: loaded and filled by the first sort
    const SortKey key{kWordColumn, SortOrder::Ascending, SortKeyKind::Reading};
    f.readingFirstMs = BestOf(1, [&] { MultiKeySortedRowOrder(grid, {&key, 1}, {}, &dictionary); });
    f.readingKnownMs = BestOf(runs, [&] {
        MultiKeySortedRowOrder(grid, {&key, 1}, {}, &dictionary);
    });
    // The floor's keys are made once, outside the timing.
    const ReadingCollation collation;
    std::vector<std::string> keys;
    grid.VisitColumn(kWordColumn, 1, grid.RowCount(), [&](std::string_view text) {
        std::string utf8 = Cp932ToUtf8(text);
        keys.emplace_back();
        collation.AppendSortKey(NeedsDictionary(utf8) ? dictionary.Reading(utf8) : utf8,
                                keys.back());
    });
    std::vector<std::pair<std::string_view, int32_t>> pairs, sorted;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        pairs.emplace_back(keys[i], static_cast<int32_t>(i) + 1);
    }
    f.bareCollationMs = BestOf(
        runs, [&] { sorted = pairs; }, [&] { StableSortPairs(sorted); });
}

void MeasureTwoKeySort(const TableGrid& grid, int runs, JapaneseFigures& f) {
    const SortKey keys[] = {{kPriceColumn, SortOrder::Descending, SortKeyKind::Number},
                            {kWordColumn, SortOrder::Ascending, SortKeyKind::Text}};
    f.twoKeysMs = BestOf(runs, [&] { MultiKeySortedRowOrder(grid, keys); });
    using Extracted = std::tuple<double, std::string_view, int32_t>;
    std::vector<Extracted> extracted, sorted;
    for (int32_t row = 1; row < grid.RowCount(); ++row) {
        extracted.emplace_back(ReadJapaneseNumber(grid.Cell(kPriceColumn, row)).value_or(-1e300),
                               grid.Cell(kWordColumn, row), row);
    }
    f.bareTwoKeysMs = BestOf(
        runs, [&] { sorted = extracted; },
        [&] {
            std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
                if (std::get<0>(a) != std::get<0>(b)) {
                    return std::get<0>(a) > std::get<0>(b);
                }
                return std::get<1>(a) < std::get<1>(b);
            });
        });
}

void MeasureConversion(MainForm& form, int runs, JapaneseFigures& f) {
    const GridCell current = form.Table().Current();
    form.Document().Select({kKanaColumn, 1});
    form.Document().Select({kKanaColumn, form.Table().RowCount() - 1},
                           TableGrid::Selection::Extend);
    const std::size_t steps = form.History().Steps();
    f.convertMs = BestOf(
        runs,
        [&] {
            if (form.History().Steps() != steps) {
                form.Undo();
            }
        },
        [&] { form.JapaneseText().ConvertSelection(CharacterConversion::ToFullWidthKana); });
    f.convertedCells = 0;
    for (int32_t row = 1; row < form.Table().RowCount(); ++row) {
        f.convertedCells += form.Table().Cell(kKanaColumn, row).empty() ? 0 : 1;
    }
    form.Undo();
    form.Document().Select(current);
}

}  // namespace

JapaneseFigures MeasureJapanese(MainForm& form, int runs) {
    JapaneseFigures f;
    MeasureReadingSort(form.Table(), runs, f);
    MeasureTwoKeySort(form.Table(), runs, f);
    MeasureConversion(form, runs, f);
    return f;
}

}  // namespace qv::bench
