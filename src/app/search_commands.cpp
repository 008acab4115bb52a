// Find and replace in the main table: the find bar's buttons, F3 and Shift+F3. The search runs
// over the cells' CP932 bytes (tools/cell_search.h); the texts typed in the bar are UTF-8 and
// are converted here. Each replace is one step of the undo history.
#include <memory>

#include "app/search_commands.h"

#include "app/command_progress.h"
#include "edit/bulk_changes.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "tools/cell_replace.h"

namespace qv {

namespace {

bool InArea(const SearchArea& area, GridCell cell) {
    return cell.col >= area.colBegin && cell.col < area.colEnd && cell.row >= area.rowBegin &&
           cell.row < area.rowEnd;
}

// The replacement as cell bytes; Failure when a cell cannot or may not hold it.
std::string ReplacementBytes(const FindState& state) {
    std::optional<std::string> bytes = Utf8ToCp932(state.replacement);
    if (!bytes) {
        throw Failure(kReplacementNotInCp932Message);
    }
    CheckReplacementText(*bytes);
    return std::move(*bytes);
}

// Whether `cell` comes after `start` in the order the search goes (row by row).
bool Beyond(GridCell cell, GridCell start, SearchDirection direction) {
    const auto key = [](GridCell c) { return std::pair(c.row, c.col); };
    return direction == SearchDirection::Forward ? key(cell) >= key(start)
                                                 : key(cell) <= key(start);
}

// The next match on a row the filter shows: matches on hidden rows are passed over, and once the
// search has gone round past where it started there is none.
std::optional<FoundCell> FindShownCell(const TableGrid& grid, const ShownRows& shown,
                                       const CellTest& matcher, const SearchArea& area,
                                       GridCell start, SearchDirection direction) {
    GridCell from = start;
    bool wrapped = false;
    for (;;) {
        std::optional<FoundCell> found = FindNextCell(grid, matcher, area, from, direction);
        if (!found) {
            return std::nullopt;
        }
        // Round a second time, or beyond the start after the first: every match is hidden.
        const bool passedStart =
            (wrapped && found->wrapped) ||
            ((wrapped || found->wrapped) && Beyond(found->cell, start, direction));
        wrapped = wrapped || found->wrapped;
        if (shown.IsShown(found->cell.row)) {
            found->wrapped = wrapped;
            return found;
        }
        if (passedStart) {
            return std::nullopt;
        }
        from = found->cell;
    }
}

// The texts of the rows the filter shows only.
CellTextList OnShownRows(CellTextList texts, const ShownRows& shown) {
    if (!shown.Filtered()) {
        return texts;
    }
    CellTextList kept;
    for (std::size_t i = 0; i < texts.Size(); ++i) {
        if (shown.IsShown(texts.CellAt(i).row)) {
            kept.Add(texts.CellAt(i), texts.TextAt(i));
        }
    }
    return kept;
}

}  // namespace

void SearchCommands::CountInBackground(std::function<void(const std::string&)> show) {
    counting_.Start([job = MakeMatchCountJob(find_, Grid()),
                     show = std::move(show)](const std::atomic<bool>& cancelled) {
        return [text = job(cancelled), show] { show(text); };
    });
}

void SearchCommands::OpenFindBar() {
    windows_.ShowFindBar(FindBarFocus::SearchText);
}

void SearchCommands::OpenReplaceBar() {
    windows_.ShowFindBar(FindBarFocus::Replacement);
}

void SearchCommands::FindNext() {
    FindFrom(SearchDirection::Forward);
}

void SearchCommands::FindPrevious() {
    FindFrom(SearchDirection::Backward);
}

// With no text yet the bar opens for one; a text the cells' encoding cannot hold finds nothing
// and says so. Either way there is no matcher and the command ends there.
std::optional<CellPattern> SearchCommands::MatcherForCommand(FindBarFocus barFocus) {
    if (find_.text.empty()) {
        windows_.ShowFindBar(barFocus);
        return std::nullopt;
    }
    RememberText(history_.texts, find_.text);
    if (barFocus == FindBarFocus::Replacement) {
        RememberText(history_.replacements, find_.replacement);
    }
    std::optional<CellPattern> matcher;
    try {
        matcher = MatcherOf(find_);
    } catch (const Failure& failure) {
        windows_.ShowStatusNote(failure.message());  // the bar shows it too, beside the box
        return std::nullopt;
    }
    if (!matcher) {
        windows_.ShowStatusNote(kFindTextNotInCp932Note);
    }
    return matcher;
}

void SearchCommands::FindFrom(SearchDirection direction) {
    const std::optional<CellPattern> matcher = MatcherForCommand(FindBarFocus::SearchText);
    if (!matcher) {
        return;
    }
    const std::optional<FoundCell> found = FindShownCell(
        Grid(), document_.Shown(), *matcher, AreaOf(find_, Grid()), Grid().Current(), direction);
    if (!found) {
        windows_.ShowStatusNote(NotFoundNote(find_));
        return;
    }
    document_.Select(found->cell);
    const char* note = "";
    if (found->wrapped) {
        note = direction == SearchDirection::Forward ? kWrappedToStartNote : kWrappedToEndNote;
    }
    windows_.ShowStatusNote(note);
}

void SearchCommands::ReplaceCurrent() {
    const std::optional<CellPattern> matcher = MatcherForCommand(FindBarFocus::Replacement);
    if (!matcher) {
        return;
    }
    const std::string replacement = ReplacementBytes(find_);
    const GridCell here = Grid().Current();
    if (InArea(AreaOf(find_, Grid()), here) && matcher->Matches(Grid().Cell(here.col, here.row))) {
        const SearchArea cell{here.col, here.col + 1, here.row, here.row + 1};
        Apply(std::make_unique<CellListChange>(
            ReplacementsIn(Grid(), *matcher, cell, replacement, find_.replacement), here));
    }
    FindFrom(SearchDirection::Forward);
}

std::size_t SearchCommands::ReplaceAll() {
    const std::optional<CellPattern> matcher = MatcherForCommand(FindBarFocus::Replacement);
    if (!matcher) {
        return 0;
    }
    const std::string replacement = ReplacementBytes(find_);
    std::optional<CellTextList> found =
        ComputeWithProgress(windows_, "置換しています", [&](const WorkProgress& progress) {
            return ReplacementsIn(Grid(), *matcher, AreaOf(find_, Grid()), replacement,
                                  find_.replacement, progress);
        });
    if (!found) {
        return 0;
    }
    CellTextList texts = OnShownRows(std::move(*found), document_.Shown());
    const std::size_t changed = texts.Size();
    Apply(std::make_unique<CellListChange>(std::move(texts), Grid().Current()));
    windows_.ShowStatusNote(ReplacedNote(changed));
    return changed;
}

}  // namespace qv
