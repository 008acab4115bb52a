// quorvane-cli sort: the data rows sorted by one or more keys, as the window's sort dialog sorts
// them, written to a new table file.
#include <charconv>
#include <optional>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"
#include "tools/multi_key_sort.h"

namespace qv::cli {

namespace {

std::optional<int32_t> ColumnNumber(std::string_view text) {
    int32_t col = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), col);
    if (error != std::errc() || end != text.data() + text.size() || col < 1) {
        return std::nullopt;
    }
    return col;
}

// "N[:desc][:number|:date|:reading|:reading=M]": the parts after the column in any order, the
// kind at most once.
std::optional<SortKey> ParseSortKey(std::string_view text) {
    SortKey key;
    const std::size_t colon = text.find(':');
    const auto col = ColumnNumber(text.substr(0, colon));
    if (!col) {
        return std::nullopt;
    }
    key.col = *col;
    bool kindGiven = false;
    std::string_view rest = colon == std::string_view::npos ? "" : text.substr(colon);
    while (!rest.empty()) {
        rest.remove_prefix(1);
        const std::string_view part = rest.substr(0, rest.find(':'));
        rest.remove_prefix(part.size());
        const bool isKind = part != "desc" && part != "asc";
        if (isKind && kindGiven) {
            return std::nullopt;
        }
        kindGiven = kindGiven || isKind;
        if (part == "desc" || part == "asc") {
            key.order = part == "desc" ? SortOrder::Descending : SortOrder::Ascending;
        } else if (part == "number" || part == "date" || part == "reading" || part == "text") {
            key.kind = part == "number" ? SortKeyKind::Number
                       : part == "date" ? SortKeyKind::Date
                       : part == "text" ? SortKeyKind::Text
                                        : SortKeyKind::Reading;
        } else if (part.starts_with("reading=")) {
            const auto readingCol = ColumnNumber(part.substr(8));
            if (!readingCol) {
                return std::nullopt;
            }
            key.kind = SortKeyKind::Reading;
            key.readingCol = *readingCol;
        } else {
            return std::nullopt;
        }
    }
    return key;
}

}  // namespace

int RunSort(const SortArguments& args, std::ostream& err) {
    std::vector<SortKey> keys;
    for (const std::string& text : args.keys) {
        const auto key = ParseSortKey(text);
        if (!key) {
            err << "--key must be N[:desc][:number|:date|:reading|:reading=M] with columns of 1 "
                   "or more (got "
                << text << ")\n";
            return kExitUsage;
        }
        keys.push_back(*key);
    }
    return RewriteTable(args.in, args.out, args.force, err, [&](LoadedTable& table) {
        for (const SortKey& key : keys) {
            for (const int32_t col : {key.col, key.readingCol}) {
                if (col > 0 && CheckColumnInTable(col, table.grid, err) != kExitOk) {
                    return kExitUsage;
                }
            }
        }
        const auto order = MultiKeySortedRowOrder(table.grid, keys);
        ApplyRowOrder(table.grid, *order);
        return kExitOk;
    });
}

}  // namespace qv::cli
