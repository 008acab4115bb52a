// quorvane-cli export FILE: the item names and data cells of a table as CSV or TSV on standard
// output, as the program's export command writes them. Cells that are not valid CP932 are
// written as "〓" in the UTF-8 encodings and listed on stderr; the export still succeeds.
#include <cstdio>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"
#include "interchange/delimited_export.h"
#include "platform/failure.h"

namespace qv::cli {

namespace {

void WriteToStandardOutput(std::string_view piece) {
    if (std::fwrite(piece.data(), 1, piece.size(), stdout) != piece.size()) {
        throw Failure("標準出力に書き込めません");
    }
}

void ReportInvalidCells(const DelimitedWriteReport& report, std::ostream& err) {
    if (report.invalidCount == 0) {
        return;
    }
    err << "Shift-JIS として正しくないセルが " << report.invalidCount
        << " 個あり、「〓」で書き出しました:";
    for (const GridCell& cell : report.invalidCells) {
        err << " (" << cell.row << " 行, " << cell.col << " 列)";
    }
    err << '\n';
}

}  // namespace

int RunExport(const std::string& file, char delimiter, TextEncoding encoding, std::ostream& err) {
    try {
        const std::unique_ptr<LoadedTable> table = LoadTable(file, err);
        if (!table) {
            return kExitFailure;
        }
        const DelimitedWriteReport report =
            WriteDelimitedCells(table->grid, TableCellRange(table->grid), delimiter, encoding,
                                WriteToStandardOutput, {}, FieldQuoting::AnyDelimiter);
        if (std::fflush(stdout) != 0) {
            throw Failure("標準出力に書き込めません");
        }
        ReportInvalidCells(report, err);
        return kExitOk;
    } catch (const std::exception& failure) {
        return ReportFailure(failure, err);
    }
}

}  // namespace qv::cli
