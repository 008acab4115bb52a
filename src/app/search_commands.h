#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "app/document_change.h"
#include "app/find_state.h"
#include "edit/background_reading.h"

namespace qv {

// Find and replace in the main table: the find bar writes its texts and options into Find();
// each replace is one step of the undo history, and each command says in the status bar when it
// wrapped around, found nothing or how many cells it changed.
class SearchCommands : private CommandGroup {
public:
    SearchCommands(TableDocument& document, WindowSystem& windows)
        : CommandGroup(document, windows),
          counting_(document, [&windows](std::function<void()> task) {
              windows.PostToWindowThread(std::move(task));
          }) {}

    FindState& Find() { return find_; }
    const FindState& Find() const { return find_; }
    void OpenFindBar();
    void OpenReplaceBar();
    // The current cell moves to the next (previous) matching cell in row order, going on from
    // the other end of the area; with no search text yet, the find bar opens instead.
    void FindNext();
    void FindPrevious();
    // Replaces the matches in the current cell when it matches, then moves to the next match;
    // when it does not match, only moves. Raises Failure, changing nothing, for a replacement
    // that CP932 cannot hold or that holds a CR or 0x1A.
    void ReplaceCurrent();
    // Replaces the matches in every cell of the area; returns the count of cells changed.
    std::size_t ReplaceAll();
    // What the find bar shows of the matches now.
    std::string FindCountText() const { return MatchCountText(find_, Grid()); }
    // The same text counted on a thread of its own, handed to `show` on the window's thread;
    // a later count, StopCounting and any change of the table drop it unshown.
    void CountInBackground(std::function<void(const std::string&)> show);
    void StopCounting() { counting_.Stop(); }

private:
    std::optional<CellMatcher> MatcherForCommand(FindBarFocus barFocus);
    void FindFrom(SearchDirection direction);

    FindState find_;
    BackgroundReading counting_;
};

}  // namespace qv
