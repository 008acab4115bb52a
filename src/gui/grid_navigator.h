#pragma once

#include <optional>

#include "table/table_grid.h"
#include "view/grid_navigation.h"

class QKeyEvent;

namespace qv {

// A key press that moves the current cell: the navigation key, and whether Shift widens the
// selection (never with Tab and Shift+Tab).
struct NavigationPress {
    NavigationKey key;
    TableGrid::Selection selection;
};

// What a key press means for navigation; nothing for the keys that do not move the current cell.
std::optional<NavigationPress> NavigationPressOf(const QKeyEvent& event);

}  // namespace qv
