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
    const std::atomic<bool> running{false};
    return MakeMatchCountJob(state, grid)(running);
}

MatchCountJob MakeMatchCountJob(const FindState& state, const TableGrid& grid) {
    if (state.text.empty()) {
        return [](const std::atomic<bool>&) { return std::string(); };
    }
    std::optional<CellPattern> matcher;
    try {
        matcher = MatcherOf(state);
    } catch (const Failure& failure) {
        // A pattern that does not compile.
        return [message = std::string(failure.message())](const std::atomic<bool>&) {
            return message;
        };
    }
    if (!matcher) {
        return [](const std::atomic<bool>&) {
            return std::string("Shift-JIS で表せない文字があります");
        };
    }
    return [&grid, matcher = std::move(*matcher),
            area = AreaOf(state, grid)](const std::atomic<bool>& cancelled) -> std::string {
        try {
            return "一致 " + GroupedNumber(CountMatchingCellsIn(grid, matcher, area, &cancelled)) +
                   " 件";
        } catch (const Failure& failure) {
            return std::string(failure.message());  // a pattern that runs too long
        }
    };
}

}  // namespace qv
