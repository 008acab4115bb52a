#include "bench_interchange.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "bench_floors.h"
#include "bench_harness.h"
#include "interchange/delimited_export.h"
#include "interchange/delimited_import.h"
#include "platform/files.h"
#include "table/main_table_shape.h"
#include "table/table_file_reader.h"

namespace qv::bench {

namespace {

std::string Export(const TableGrid& grid, TextEncoding encoding) {
    std::string bytes;
    WriteDelimitedCells(
        grid, TableCellRange(grid), ',', encoding, [&](std::string_view piece) { bytes += piece; },
        {}, FieldQuoting::AnyDelimiter);
    return bytes;
}

// The export as the program does it.
void ExportToFile(const TableGrid& grid, TextEncoding encoding, const std::string& path) {
    ExportDelimitedFile(path, grid, TableCellRange(grid), ',', encoding);
}

std::optional<double> SqliteImportMs(const std::string& csv) {
    const std::string sqlite = "/usr/bin/sqlite3";
    if (!IsExistingFile(sqlite)) {
        return std::nullopt;
    }
    const double start = NowMs();
    if (!RunChild({sqlite, "-batch", ":memory:", ".import --csv " + csv + " t"})) {
        return std::nullopt;
    }
    return NowMs() - start;
}

}  // namespace

void ExportTsv(const TableGrid& grid, const std::string& path) {
    ExportDelimitedFile(path, grid, TableCellRange(grid), '\t', TextEncoding::Cp932);
}

InterchangeFigures MeasureInterchange(const TableGrid& grid, const std::string& folder, int rows,
                                      int runs) {
    const std::string csv = folder + "/table-" + std::to_string(rows) + ".csv";
    const std::string target = folder + "/exported.csv";
    const std::string floorTarget = folder + "/written.csv";
    WriteAndRename(csv, Export(grid, TextEncoding::Utf8));
    const std::string utf8Bom = Export(grid, TextEncoding::Utf8WithBom);
    const std::string qvd = folder + "/table-" + std::to_string(rows) + ".qvd";
    InterchangeFigures f;
    f.importMs = f.loadMs = f.exportMs = f.exportCp932Ms = f.writeCsvMs = 1e300;
    for (int i = 0; i < runs; ++i) {
        // The import and the load it is set against take turns and are timed alike: the grid
        // made before and dropped after.
        auto imported = std::make_unique<TableGrid>(kMainTableShape);
        std::string title;
        f.importMs = std::min(f.importMs, BestOf(1, [&] {
                                  DelimitedImportOptions options;
                                  options.firstRecord = FirstRecord::ItemNames;
                                  DelimitedImport result =
                                      ImportDelimitedText(ReadWholeFile(csv), options);
                                  ApplyTableFile(std::move(result.content), *imported, title);
                              }));
        imported.reset();
        auto loaded = std::make_unique<TableGrid>(kMainTableShape);
        f.loadMs = std::min(f.loadMs, BestOf(1, [&] {
                                ApplyTableFile(std::move(*ReadTableFile(qvd)), *loaded, title);
                            }));
        loaded.reset();
        f.exportMs = std::min(
            f.exportMs, BestOf(1, [&] { ExportToFile(grid, TextEncoding::Utf8WithBom, target); }));
        f.exportCp932Ms = std::min(
            f.exportCp932Ms, BestOf(1, [&] { ExportToFile(grid, TextEncoding::Cp932, target); }));
        f.writeCsvMs =
            std::min(f.writeCsvMs, BestOf(1, [&] { WriteAndRename(floorTarget, utf8Bom); }));
    }
    f.sqliteMs = SqliteImportMs(csv);
    DeleteFileQuietly(target);
    DeleteFileQuietly(floorTarget);
    return f;
}

}  // namespace qv::bench
