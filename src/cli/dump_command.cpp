// quorvane-cli dump FILE: the table as the main window would hold it after opening FILE.
#include <nlohmann/json.hpp>

#include <ostream>
#include <string>

#include "cli/cli_commands.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "table/main_table_shape.h"
#include "table/table_file_format.h"
#include "table/table_file_reader.h"
#include "table/table_grid.h"

namespace qv::cli {

namespace {

// The main grid as the main window creates it.
nlohmann::json CellsAsJson(const TableGrid& grid) {
    nlohmann::json rows = nlohmann::json::array();
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        nlohmann::json texts = nlohmann::json::array();
        for (int32_t col = 1; col < grid.ColCount(); ++col) {
            texts.push_back(Cp932ToUtf8(grid.Cell(col, row)));
        }
        rows.push_back(std::move(texts));
    }
    return rows;
}

nlohmann::json TableAsJson(const WindowGeometry& window, const std::string& title,
                           const TableGrid& grid) {
    nlohmann::json widths = nlohmann::json::array();
    for (int32_t col = 1; col < grid.ColCount(); ++col) {
        widths.push_back(grid.ColWidth(col));
    }
    return {
        {"left", window.left},         {"top", window.top},
        {"width", window.width},       {"height", window.height},
        {"title", Cp932ToUtf8(title)}, {"colCount", grid.ColCount()},
        {"rowCount", grid.RowCount()}, {"colWidths", std::move(widths)},
        {"cells", CellsAsJson(grid)},
    };
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
        out << TableAsJson(window, title, grid).dump(2) << '\n';
        return kExitOk;
    } catch (const Failure& failure) {
        err << failure.what() << ".\n";
        return kExitFailure;
    }
}

}  // namespace qv::cli
