#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/document_change.h"
#include "edit/background_reading.h"
#include "tools/row_filter.h"

namespace qv {

// One condition as the filter bar holds it: the value as typed (UTF-8).
struct FilterBarCondition {
    int32_t col = kAnyFilterColumn;
    FilterTest test = FilterTest::Contains;
    std::string valueUtf8;
};

// The filter of the main table: which rows show. It is no step of the history; the steps keep the
// shown rows in line with the rows they move (TableDocument::Shown).
class FilterCommands : private CommandGroup {
public:
    FilterCommands(TableDocument& document, WindowSystem& windows)
        : CommandGroup(document, windows),
          filtering_(document, [&windows](std::function<void()> task) {
              windows.PostToWindowThread(std::move(task));
          }) {}

    // "データ(&D)" > "フィルター(&F)...": opens the filter bar.
    void OpenFilterBar();
    // Shows the rows meeting every condition and moves the current cell onto a shown row.
    // Returns what the bar shows beside the conditions: empty, or why nothing was filtered (a
    // regular expression that does not compile, a character Shift-JIS lacks), or the notice that
    // a regular expression was stopped on some cells.
    std::string ApplyFilter(const std::vector<FilterBarCondition>& conditions,
                            FilterMatching matching);
    // The same while the user types: the rows are found on a thread of their own and shown on
    // the window's thread, where `done` then gets what the bar shows. A later filter,
    // StopFiltering, ApplyFilter, ClearFilter and any change of the table drop it unshown.
    void FilterInBackground(const std::vector<FilterBarCondition>& conditions,
                            FilterMatching matching, std::function<void(const std::string&)> done);
    void StopFiltering() { filtering_.Stop(); }
    // "フィルターの解除(&C)": every row shows again.
    void ClearFilter();
    bool IsFiltered() const { return document_.Shown().Filtered(); }

    // "表示 1,234 / 1,000,000 行" while a filter is on, else empty.
    std::string StatusText() const;

private:
    // Shows the rows found and keeps the current cell on a shown row.
    void Show(std::vector<int32_t> rows);

    BackgroundReading filtering_;
};

}  // namespace qv
