#include "app/filter_commands.h"

#include <memory>

#include "app/status_texts.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "tools/cell_regex.h"

namespace qv {

namespace {

// The conditions in the table's bytes; Failure for a value Shift-JIS cannot hold.
std::vector<FilterCondition> TableConditions(const std::vector<FilterBarCondition>& conditions) {
    std::vector<FilterCondition> converted;
    for (const FilterBarCondition& c : conditions) {
        if (c.test == FilterTest::Regex) {
            converted.push_back({c.col, c.test, c.valueUtf8});
            continue;
        }
        std::optional<std::string> value = Utf8ToCp932(c.valueUtf8);
        if (!value) {
            throw Failure("「" + c.valueUtf8 + "」には Shift-JIS にない文字があります");
        }
        converted.push_back({c.col, c.test, std::move(*value)});
    }
    return converted;
}

}  // namespace

void FilterCommands::OpenFilterBar() {
    windows_.ShowFilterBar();
    windows_.EditStateChanged();  // a menu item that was chosen turns its own mark: put it right
}

std::string FilterCommands::ApplyFilter(const std::vector<FilterBarCondition>& conditions,
                                        FilterMatching matching) {
    filtering_.Stop();
    std::optional<RowFilter> filter;
    try {
        filter.emplace(TableConditions(conditions), matching);
    } catch (const Failure& failure) {
        return failure.message();  // the filter stays as it was
    }
    Show(filter->ShownRows(Grid()));
    return filter->StoppedAny() ? kRegexStoppedMessage : "";
}

void FilterCommands::FilterInBackground(const std::vector<FilterBarCondition>& conditions,
                                        FilterMatching matching,
                                        std::function<void(const std::string&)> done) {
    std::shared_ptr<const RowFilter> filter;
    try {
        filter = std::make_shared<const RowFilter>(TableConditions(conditions), matching);
    } catch (const Failure& failure) {
        filtering_.Stop();
        done(failure.message());  // the filter stays as it was
        return;
    }
    filtering_.Start([this, filter, done = std::move(done)](
                         const std::atomic<bool>& cancelled) -> std::function<void()> {
        auto rows = std::make_shared<std::vector<int32_t>>(filter->ShownRows(Grid(), &cancelled));
        return [this, filter, rows, done] {
            Show(std::move(*rows));
            done(filter->StoppedAny() ? kRegexStoppedMessage : "");
        };
    });
}

void FilterCommands::Show(std::vector<int32_t> rows) {
    const GridCell current = Grid().Current();
    document_.Shown().Show(std::move(rows));
    const int32_t fixed = Grid().FixedRows();
    if (document_.Shown().DisplayCount(Grid().RowCount(), fixed) > fixed) {
        const int32_t nearest = document_.Shown().NearestDisplayRow(current.row, fixed);
        document_.Select(GridCell{current.col, document_.Shown().TableRow(nearest, fixed)});
    }
    windows_.EditStateChanged();
}

void FilterCommands::ClearFilter() {
    filtering_.Stop();
    document_.Shown().ShowAll();
    windows_.EditStateChanged();
}

std::string FilterCommands::StatusText() const {
    if (!IsFiltered()) {
        return {};
    }
    const auto shown = static_cast<int64_t>(document_.Shown().Rows().size());
    return "表示 " + GroupedNumber(shown) + " / " + GroupedNumber(Grid().RowCount() - 1) + " 行";
}

}  // namespace qv
