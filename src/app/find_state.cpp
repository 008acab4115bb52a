#include "app/find_state.h"

#include "app/status_texts.h"
#include "platform/cp932.h"

namespace qv {

std::optional<CellMatcher> MatcherOf(const FindState& state) {
    std::optional<std::string> text = Utf8ToCp932(state.text);
    if (!text) {
        return std::nullopt;
    }
    return CellMatcher(*text, state.options);
}

SearchArea AreaOf(const FindState& state, const TableGrid& grid) {
    return state.scope == FindScope::CurrentColumn ? ColumnArea(grid, grid.Col())
                                                   : WholeTableArea(grid);
}

std::string NotFoundNote(const FindState& state) {
    return "「" + state.text + "」は見つかりませんでした";
}

std::string ReplacedNote(std::size_t cells) {
    return GroupedNumber(static_cast<int64_t>(cells)) + " 個のセルを置換しました";
}

std::string MatchCountText(const FindState& state, const TableGrid& grid) {
    if (state.text.empty()) {
        return {};
    }
    const std::optional<CellMatcher> matcher = MatcherOf(state);
    if (!matcher) {
        return "Shift-JIS で表せない文字があります";
    }
    return "一致 " + GroupedNumber(CountMatchingCellsIn(grid, *matcher, AreaOf(state, grid))) +
           " 件";
}

}  // namespace qv
