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
    const std::atomic<bool> running{false};
    return MakeMatchCountJob(state, grid)(running);
}

MatchCountJob MakeMatchCountJob(const FindState& state, const TableGrid& grid) {
    if (state.text.empty()) {
        return [](const std::atomic<bool>&) { return std::string(); };
    }
    std::optional<CellMatcher> matcher = MatcherOf(state);
    if (!matcher) {
        return [](const std::atomic<bool>&) {
            return std::string("Shift-JIS で表せない文字があります");
        };
    }
    return [&grid, matcher = std::move(*matcher),
            area = AreaOf(state, grid)](const std::atomic<bool>& cancelled) {
        return "一致 " + GroupedNumber(CountMatchingCellsIn(grid, matcher, area, &cancelled)) +
               " 件";
    };
}

}  // namespace qv
