#pragma once
// The list tools' figures of the table of figures: fill down and its undo, removing duplicate
// rows, splitting a column, fitting the widths and a regular-expression count, each beside a
// floor measured in the same run.
#include <cstdint>

#include "bench_harness.h"

namespace qv {
class MainForm;
}

namespace qv::bench {

struct ListFigures {
    int32_t rows = 0;
    double fillMs = 0, fillUndoMs = 0, fillFloorMs = 0;  // floor: the texts assigned to strings
    double dedupeMs = 0, dedupeFloorMs = 0;              // floor: an unordered_set of the keys
    double splitMs = 0, splitFloorMs = 0;                // floor: the texts split into strings
    double fitMs = 0, fitFloorMs = 0;                    // floor: the longest text of each column
    double regexMs = 0, regexFloorMs = 0;                // floor: PCRE2's loop over UTF-8 texts
};

// Measures on the table `form` holds (at least 8 data columns); leaves it as it was.
ListFigures MeasureLists(MainForm& form, int runs);

void ReportLists(const ListFigures& f, Report& report);

// Fill down over the first data column of the whole table (10,000,000 cells at 10,000,000 rows)
// through the command, its undo and redo, beside the top text assigned to strings.
void ReportWholeColumnFill(MainForm& form, Report& report);

}  // namespace qv::bench
