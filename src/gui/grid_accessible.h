#pragma once

#include "table/table_grid.h"

namespace qv {

class GridView;

// What a screen reader sees of a grid view: a table (QAccessibleTableInterface) whose cells
// read their decoded texts, the item names as column headers, the row labels as row headers, and
// the current cell as the focused child. The interface is made by a factory that GridView
// installs; the functions below tell the reader of changes and cost nothing while no reader
// listens.
void InstallGridAccessibleFactory();

// The current cell moved: a focus event for the new one (and a selection change).
void AnnounceCurrentCell(GridView& view);
// One cell's text was written.
void AnnounceCellChanged(GridView& view, GridCell cell);
// Many texts or the counts changed.
void AnnounceTableReset(GridView& view);

}  // namespace qv
