#pragma once
// The figures of comparing two tables: a benchmark table beside copies of it with rows edited,
// and the worst cases, each beside hashing every row of both tables.
#include <string>

#include "bench_harness.h"

namespace qv::bench {

// Loads the table file at `path` (the largest benchmark table) and adds the comparison's lines.
void ReportCompare(const std::string& path, Report& report);

}  // namespace qv::bench
