#pragma once
// The CSV figures of the table of figures: import and export of each benchmark table.
#include <optional>
#include <string>

#include "table/table_grid.h"

namespace qv::bench {

struct InterchangeFigures {
    double importMs = 0;             // read a UTF-8 CSV, parse, convert to CP932, put into a grid
    double loadMs = 0;               // floor: load the same table's .qvd, measured in turn with it
    double exportMs = 0;             // write the table as a UTF-8 CSV with BOM, atomically
    double exportCp932Ms = 0;        // the same in CP932
    double writeCsvMs = 0;           // floor: write, fsync, rename of the exported bytes
    std::optional<double> sqliteMs;  // sqlite3's .import of the same CSV into memory
};

// Exports `grid` (a loaded benchmark table) to FOLDER/table-ROWS.csv and measures.
// Writes the table's item names and data cells to `path` as TSV in CP932, as the export does.
void ExportTsv(const TableGrid& grid, const std::string& path);

InterchangeFigures MeasureInterchange(const TableGrid& grid, const std::string& folder, int rows,
                                      int runs);

}  // namespace qv::bench
