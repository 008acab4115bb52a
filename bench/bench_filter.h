#pragma once
// The filter's figures of the table of figures: a "含む" filter on one column and on every
// column, each beside a memmem loop over the same cells; a number filter beside the statistics'
// number reading of the column; and the memory the shown rows keep.
#include <cstdint>

#include "bench_harness.h"

namespace qv {
class MainForm;
}

namespace qv::bench {

struct FilterFigures {
    int32_t rows = 0;
    double oneColumnMs = 0, oneColumnFloorMs = 0;  // 含む "\" on the yen column
    double allColumnsMs = 0, allColumnsFloorMs = 0;
    double numberMs = 0, numberFloorMs = 0;  // > 1000 on the yen column
    uint64_t shownRows = 0, shownBytes = 0;  // after the number filter
};

// Measures on the table `form` holds; leaves it unfiltered.
FilterFigures MeasureFilter(MainForm& form, int runs);
void ReportFilter(const FilterFigures& f, bool judged, Report& report);

}  // namespace qv::bench
