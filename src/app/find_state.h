#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "table/table_grid.h"
#include "tools/cell_search.h"

namespace qv {

// Where the find bar looks: every data cell, or the data cells of the current column.
enum class FindScope { WholeTable, CurrentColumn };

// What the find bar holds: the texts as the user typed them (UTF-8) and how cells are compared.
// It lives as long as the main window, so the bar shows the last search when it opens again.
struct FindState {
    std::string text;
    std::string replacement;
    SearchOptions options{MatchExtent::PartOfCell, LetterCase::Insensitive};
    FindScope scope = FindScope::WholeTable;
};

// The notes of the find bar's commands (UTF-8), shown in the status bar.
inline constexpr const char* kFindTextNotInCp932Note =
    "検索する文字列に Shift-JIS で表せない文字があるため、見つかりません";
inline constexpr const char* kReplacementNotInCp932Message =
    "置換後の文字列に Shift-JIS で表せない文字があります";
inline constexpr const char* kWrappedToStartNote = "末尾まで検索したので、先頭から続けました";
inline constexpr const char* kWrappedToEndNote = "先頭まで検索したので、末尾から続けました";

// The matcher of the state's text and options; nothing when CP932 cannot hold the text (or it
// is not UTF-8).
std::optional<CellMatcher> MatcherOf(const FindState& state);
// The cells the state searches in `grid`, whose current column is the one a column search takes.
SearchArea AreaOf(const FindState& state, const TableGrid& grid);

// "「abc」は見つかりませんでした".
std::string NotFoundNote(const FindState& state);
// How many cells a replace changed: "3 個のセルを置換しました".
std::string ReplacedNote(std::size_t cells);
// The find bar's count of the cells that match: "一致 1,234 件", or why none can.
std::string MatchCountText(const FindState& state, const TableGrid& grid);
// The same count as a job that may run on another thread: the matcher and the area are taken
// from `state` and `grid` now, the cells are read when the job runs (the grid must then be the
// same object and unchanged). When `cancelled` becomes true the job stops early and its text
// means nothing.
using MatchCountJob = std::function<std::string(const std::atomic<bool>& cancelled)>;
MatchCountJob MakeMatchCountJob(const FindState& state, const TableGrid& grid);

}  // namespace qv
