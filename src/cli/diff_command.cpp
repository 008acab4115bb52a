// quorvane-cli diff A B [--key N[,M...]] [--loose]: the differences between two table files,
// one per line, tab-separated, in UTF-8, in the order the rows line up:
//   -<TAB>rowA<TAB>cells...               a row only in A, with its data cells
//   +<TAB>rowB<TAB>cells...               a row only in B
//   ~<TAB>rowA<TAB>rowB<TAB>col<TAB>old<TAB>new   a changed cell (row 0: an item name)
// Item names come first. Columns pair by position, every column of either table (a column one
// table lacks reads as empty), so that the lines, applied to A, give B. Rows pair by a diff of
// their contents, or by the key columns given. With --loose, cells that differ only in width,
// kana or case (the program's one loose fold) count as equal. The exit status is diff's: 0 for
// the same cells, 1 when they differ, 2 for bad usage or a failure.
#include <ostream>
#include <string_view>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"
#include "interchange/text_encoding.h"
#include "platform/cp932.h"
#include "tools/table_compare.h"

namespace qv::cli {

namespace {

// A field in UTF-8; quoted as in CSV (quotes doubled) only when it holds a tab or a line end,
// or starts with a quote, so that ordinary cells read as they are.
void WriteField(std::ostream& out, std::string_view cp932) {
    out << '\t';
    std::string utf8 = TryCp932ToUtf8(cp932).value_or(std::string(kGetaMarkUtf8));
    if (utf8.find_first_of("\t\r\n") == std::string::npos && !utf8.starts_with('"')) {
        out << utf8;
        return;
    }
    out << '"';
    for (const char c : utf8) {
        out << c;
        if (c == '"') {
            out << c;
        }
    }
    out << '"';
}

void WriteRow(std::ostream& out, char mark, const TableGrid& grid, int32_t row) {
    out << mark << '\t' << row;
    for (int32_t col = 1; col < grid.ColCount(); ++col) {
        WriteField(out, grid.Cell(col, row));
    }
    out << '\n';
}

void WriteCell(std::ostream& out, const TableGrid& a, const TableGrid& b, const ColumnPair& pair,
               int32_t rowA, int32_t rowB) {
    out << "~\t" << rowA << '\t' << rowB << '\t' << (pair.colA >= 0 ? pair.colA : pair.colB);
    WriteField(out, PairedCell(a, pair.colA, rowA));
    WriteField(out, PairedCell(b, pair.colB, rowB));
    out << '\n';
}

void WriteRun(std::ostream& out, const TableGrid& a, const TableGrid& b,
              const TableComparison& comparison, const RowRun& run) {
    for (int32_t k = 0; k < run.count; ++k) {
        switch (run.kind) {
            case RowPairKind::Same:
                return;
            case RowPairKind::OnlyA:
                WriteRow(out, '-', a, run.rowA + k);
                break;
            case RowPairKind::OnlyB:
                WriteRow(out, '+', b, run.rowB + k);
                break;
            case RowPairKind::Changed:
                for (const int32_t pair :
                     ChangedColumns(a, b, comparison, run.rowA + k, run.rowB + k)) {
                    WriteCell(out, a, b, comparison.columns.PairAt(pair), run.rowA + k,
                              run.rowB + k);
                }
                break;
        }
    }
}

void WarnOfDuplicateKeys(std::ostream& err, std::string_view table,
                         const std::vector<int32_t>& rows) {
    if (rows.empty()) {
        return;
    }
    err << table << ": " << rows.size() << " rows repeat the key of an earlier row (row "
        << rows.front() << (rows.size() > 1 ? " and more" : "") << ")\n";
}

int CheckKeyColumns(const std::vector<int32_t>& keys, const TableGrid& a, const TableGrid& b,
                    std::ostream& err) {
    for (const int32_t key : keys) {
        if (key < 1 || key >= a.ColCount() || key >= b.ColCount()) {
            err << "--key " << key << " is not a data column of both tables\n";
            return kExitUsage;
        }
    }
    return kExitOk;
}

}  // namespace

int RunDiff(const DiffArguments& args, std::ostream& out, std::ostream& err) {
    try {
        const std::unique_ptr<LoadedTable> a = LoadTable(args.a, err);
        const std::unique_ptr<LoadedTable> b = a ? LoadTable(args.b, err) : nullptr;
        if (!b) {
            return kExitUsage;
        }
        if (CheckKeyColumns(args.keys, a->grid, b->grid, err) != kExitOk) {
            return kExitUsage;
        }
        const TableComparison comparison = CompareTables(
            a->grid, b->grid,
            PairColumns(a->grid, b->grid, ColumnMatching::ByPosition, ColumnExtent::Both),
            args.keys, args.loose ? TextMatching::Loose : TextMatching::Exact);
        WarnOfDuplicateKeys(err, "A", comparison.duplicateKeysA);
        WarnOfDuplicateKeys(err, "B", comparison.duplicateKeysB);
        for (const int32_t pair : comparison.columns.renamed) {
            WriteCell(out, a->grid, b->grid, comparison.columns.PairAt(pair), 0, 0);
        }
        for (const RowRun& run : comparison.runs) {
            WriteRun(out, a->grid, b->grid, comparison, run);
        }
        out.flush();
        if (!out) {
            err << kOutputFailedMessage << '\n';
            return kExitUsage;
        }
        return comparison.Same() ? kExitOk : kExitFailure;
    } catch (const std::exception& failure) {
        ReportFailure(failure, err);
        return kExitUsage;
    }
}

}  // namespace qv::cli
