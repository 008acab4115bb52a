// quorvane-cli dump FILE: the table as the main window would hold it after opening FILE.
#include <nlohmann/json.hpp>

#include <ostream>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "table/main_table_shape.h"
#include "table/table_file_format.h"
#include "table/table_file_reader.h"
#include "table/table_grid.h"

namespace qv::cli {

namespace {

// A text as a JSON string: decoded from CP932, escaped as JSON needs.
std::string JsonText(std::string_view cp932) {
    if (cp932.empty()) {
        return "\"\"";  // most cells of a big table: no decoding needed
    }
    return nlohmann::json(Cp932ToUtf8(cp932)).dump();
}

// The table as one JSON object, written as it goes, a row per line, so that the output never
// costs more memory than one row of it.
void WriteTableAsJson(const WindowGeometry& window, const std::string& title, const TableGrid& grid,
                      std::ostream& out) {
    out << "{\n  \"left\": " << window.left << ",\n  \"top\": " << window.top
        << ",\n  \"width\": " << window.width << ",\n  \"height\": " << window.height
        << ",\n  \"title\": " << JsonText(title) << ",\n  \"colCount\": " << grid.ColCount()
        << ",\n  \"rowCount\": " << grid.RowCount() << ",\n  \"colWidths\": [";
    for (int32_t col = 1; col < grid.ColCount(); ++col) {
        out << (col > 1 ? ", " : "") << grid.ColWidth(col);
    }
    out << "],\n  \"cells\": [";
    std::string line;
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        line.assign(row > 0 ? ",\n    [" : "\n    [");
        for (int32_t col = 1; col < grid.ColCount(); ++col) {
            line.append(col > 1 ? ", " : "").append(JsonText(grid.Cell(col, row)));
        }
        line.push_back(']');
        out << line;
    }
    out << (grid.RowCount() > 0 ? "\n  ]\n}\n" : "]\n}\n");
}

}  // namespace

int RunDump(const std::string& file, std::ostream& out, std::ostream& err) {
    try {
        std::optional<TableFileContent> content = ReadTableFile(file);
        if (!content) {
            err << kUnusableFileMessage << '\n';
            return kExitFailure;
        }
        TableGrid grid(kMainTableShape);
        SetMainTableColWidths(grid);
        const WindowGeometry window = content->window;
        std::string title;
        ApplyTableFile(std::move(*content), grid, title);
        WriteTableAsJson(window, title, grid, out);
        if (!out.flush()) {
            err << kOutputFailedMessage << '\n';
            return kExitFailure;
        }
        return kExitOk;
    } catch (const std::exception& failure) {
        return ReportFailure(failure, err);
    }
}

}  // namespace qv::cli
