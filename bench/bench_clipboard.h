#pragma once
// The clipboard figures of the table of figures: copying a selection of 100,000 rows x 8 columns
// and pasting it back, each beside a floor measured in the same run.
#include <cstdint>

#include "bench_harness.h"

namespace qv {
class MainForm;
}

namespace qv::bench {

struct ClipboardFigures {
    int32_t rows = 0;         // rows selected, from row 1, across every data column
    double copyMs = 0;        // Ctrl+C: the selection as the spreadsheets' UTF-8 text
    double pasteMs = 0;       // Ctrl+V of that text over the same cells, one undo step
    double undoPasteMs = 0;   // taking the paste back
    double joinFloorMs = 0;   // the same cells joined with tabs and CR LF, converted to UTF-8
    double splitFloorMs = 0;  // that text converted to CP932, split with memchr into strings
};

// Measures on the table `form` holds (at least 8 data columns); leaves it as it was.
ClipboardFigures MeasureClipboard(MainForm& form, int32_t rows, int runs);

// The two lines of the table: copy and paste, each with the goal of staying under 1 s.
void ReportClipboard(const ClipboardFigures& f, Report& report);

}  // namespace qv::bench
