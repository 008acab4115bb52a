// quorvane-cli stats FILE COL: the statistics report of one column, as the program's "計算"
// command shows it, lines joined by LF and one LF at the end.
//
// Numbers are written with "." as the decimal separator whatever the machine's locale (the
// program itself uses the locale's), so that the output is the same on every machine.
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"
#include "platform/failure.h"
#include "tools/column_statistics.h"

namespace qv::cli {

namespace {

constexpr std::string_view kDecimalSeparator = ".";

}  // namespace

int RunStats(const std::string& file, int32_t col, std::ostream& out, std::ostream& err) {
    return RunOnColumn(file, col, err, [&](const TableGrid& grid) {
        out << ColumnStatisticsReport(grid, col, kDecimalSeparator) << '\n';
    });
}

}  // namespace qv::cli
