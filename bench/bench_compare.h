#pragma once
// The figures of comparing two tables: a benchmark table beside copies of it with rows edited,
// and the worst cases, each beside hashing every row of both tables.
#include <string>

#include "bench_harness.h"

namespace qv::bench {

// Loads the table file at `path` (the largest benchmark table) and adds the comparison's lines.
void ReportCompare(const std::string& path, Report& report);

// The child process of the memory line: loads the table and its edited copy, then compares them
// (by position, or by the key column with `byKey`) and prints the rows of both tables, the
// resident memory before the comparison and its peak during it.
int CompareMemoryChild(const std::string& path, bool byKey);

}  // namespace qv::bench
