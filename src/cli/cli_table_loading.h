#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "table/table_grid.h"
#include "table/window_geometry.h"

namespace qv::cli {

// A table file loaded into a main grid as the program creates it at start.
struct LoadedTable {
    LoadedTable();
    TableGrid grid;
    std::string title;      // CP932 bytes
    WindowGeometry window;  // as the file gave it, for writing the table back
};

// Loads the table file at `path` through the program's own reader. Returns nothing when the
// file is refused at its first line, after writing the program's refusal message to `err`.
// Raises Failure as the reader does (file system messages, bad number lines, too large).
std::unique_ptr<LoadedTable> LoadTable(const std::string& path, std::ostream& err);

// Writes a failure as the failure box shows it: the message and a full stop, then a line end;
// running out of memory reads "メモリが足りません.". Returns kExitFailure.
int ReportFailure(const std::exception& failure, std::ostream& err);

// The column tools work on the data columns 1 .. ColCount-1. A column below 1 is refused before
// the file is read; one beyond the table after it. Both write a usage message to `err` and
// return kExitUsage; otherwise kExitOk.
int CheckColumnArgument(int32_t col, std::ostream& err);
int CheckColumnInTable(int32_t col, const TableGrid& grid, std::ostream& err);

// The run of a column tool: checks the column, loads the table, checks the column against it
// and hands the grid to `report`. Whatever fails on the way goes to `err` as above. Returns the
// exit code.
// The run of a command that writes a changed table to OUT: refuses an existing OUT unless
// `force`, loads IN, lets `change` change it (returning an exit code) and saves it atomically
// when that gave kExitOk. Failures go to `err`.
int RewriteTable(const std::string& in, const std::string& out, bool force, std::ostream& err,
                 const std::function<int(LoadedTable&)>& change);

int RunOnColumn(const std::string& path, int32_t col, std::ostream& err,
                const std::function<void(const TableGrid&)>& report);

}  // namespace qv::cli
