#include "tools/match_count.h"

#include "platform/text.h"
#include "table/table_grid.h"

namespace qv {

int32_t CountMatchingCells(const TableGrid& grid, int32_t col, std::string_view searchText) {
    const std::string_view wanted = Trim(searchText);
    int32_t count = 0;
    grid.VisitColumn(col, 1, grid.RowCount(), [&](std::string_view text) {
        if (Trim(text) == wanted) {
            ++count;
        }
    });
    return count;
}

std::string MatchCountMessage(int32_t n) {
    return std::to_string(n) + " 件一致しました。";
}

}  // namespace qv
