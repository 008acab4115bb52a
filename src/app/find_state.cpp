#include "app/find_state.h"

#include "app/status_texts.h"
#include "platform/failure.h"

namespace qv {

std::optional<CellPattern> MatcherOf(const FindState& state) {
    return CellPattern::FromUtf8(
        state.text, PatternOptions{state.syntax, state.options.extent, state.options.letterCase});
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
    try {
        const std::optional<CellPattern> matcher = MatcherOf(state);
        if (!matcher) {
            return "Shift-JIS で表せない文字があります";
        }
        return "一致 " + GroupedNumber(CountMatchingCellsIn(grid, *matcher, AreaOf(state, grid))) +
               " 件";
    } catch (const Failure& failure) {
        return failure.message();  // a pattern that does not compile, or runs too long
    }
}

}  // namespace qv
