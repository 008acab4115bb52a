#include "cli/cli_table_loading.h"

#include <new>
#include <ostream>

#include "cli/cli_commands.h"
#include "platform/failure.h"
#include "table/main_table_shape.h"
#include "table/table_file_format.h"
#include "table/table_file_reader.h"

namespace qv::cli {

LoadedTable::LoadedTable() : grid(kMainTableShape) {
    SetMainTableColWidths(grid);
}

std::unique_ptr<LoadedTable> LoadTable(const std::string& path, std::ostream& err) {
    std::optional<TableFileContent> content = ReadTableFile(path);
    if (!content) {
        err << kUnusableFileMessage << '\n';
        return nullptr;
    }
    auto table = std::make_unique<LoadedTable>();
    table->window = content->window;
    ApplyTableFile(std::move(*content), table->grid, table->title);
    return table;
}

int ReportFailure(const std::exception& failure, std::ostream& err) {
    const bool outOfMemory = dynamic_cast<const std::bad_alloc*>(&failure) != nullptr;
    err << (outOfMemory ? kOutOfMemoryMessage : failure.what()) << ".\n";
    return kExitFailure;
}

int CheckColumnArgument(int32_t col, std::ostream& err) {
    if (col >= 1) {
        return kExitOk;
    }
    err << "COL must be a data column of the table, 1 or more (got " << col << ")\n";
    return kExitUsage;
}

int CheckColumnInTable(int32_t col, const TableGrid& grid, std::ostream& err) {
    if (col < grid.ColCount()) {
        return kExitOk;
    }
    err << "COL " << col << " is not a data column of this table: ";
    if (grid.ColCount() <= 1) {
        err << "it has no data column\n";
    } else {
        err << "its data columns are 1 to " << grid.ColCount() - 1 << '\n';
    }
    return kExitUsage;
}

int RunOnColumn(const std::string& path, int32_t col, std::ostream& err,
                const std::function<void(const TableGrid&)>& report) {
    if (const int usage = CheckColumnArgument(col, err); usage != kExitOk) {
        return usage;
    }
    try {
        const std::unique_ptr<LoadedTable> table = LoadTable(path, err);
        if (!table) {
            return kExitFailure;
        }
        if (const int usage = CheckColumnInTable(col, table->grid, err); usage != kExitOk) {
            return usage;
        }
        report(table->grid);
        return kExitOk;
    } catch (const std::exception& failure) {
        return ReportFailure(failure, err);
    }
}

}  // namespace qv::cli
