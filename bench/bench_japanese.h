#pragma once
// The Japanese text figures of the table of figures: the sort by reading, the sort by two keys
// and a conversion of a whole column, each beside its floor.
#include "app/main_form.h"

namespace qv::bench {

struct JapaneseFigures {
    double readingFirstMs = 0;   // sort by reading with a dictionary just loaded, readings unknown
    double readingKnownMs = 0;   // the same again, the readings known
    double bareCollationMs = 0;  // floor: stable_sort of (collation key, row), keys extracted
    double twoKeysMs = 0;        // sort by a number (descending) and a text
    double bareTwoKeysMs = 0;    // floor: stable_sort of (number, text, row), keys extracted
    double convertMs = 0;  // 半角カナ→全角カナ over a whole column, as the command does
    double convertedCells = 0;
};

// Measures on the loaded benchmark table of `form`, which it leaves as it found it.
JapaneseFigures MeasureJapanese(MainForm& form, int runs);

}  // namespace qv::bench
