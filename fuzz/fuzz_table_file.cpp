// The table file reader on any bytes: never crashes; what it accepts applies to a grid, the grid
// written back (whole or as a save's pieces, the same bytes) and read again gives the same table.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/failure.h"
#include "table/main_table_shape.h"
#include "table/table_file_reader.h"
#include "table/table_file_writer.h"
#include "table/table_grid.h"
#include "table/window_geometry.h"

namespace {

bool SameTable(const qv::TableGrid& a, const qv::TableGrid& b) {
    if (a.ColCount() != b.ColCount() || a.RowCount() != b.RowCount()) {
        return false;
    }
    for (int32_t c = 1; c < a.ColCount(); ++c) {
        if (a.ColWidth(c) != b.ColWidth(c)) {
            return false;
        }
        for (int32_t r = 0; r < a.RowCount(); ++r) {
            if (a.Cell(c, r) != b.Cell(c, r)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::optional<qv::TableFileContent> content;
    try {
        content = qv::ParseTableFile(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const qv::Failure&) {
        return 0;
    }
    if (!content) {
        return 0;
    }
    // Keep the round trip small enough to stay fast; huge declared counts are still parsed.
    if (static_cast<int64_t>(content->colCount) * content->rowCount > 4096) {
        return 0;
    }
    const qv::WindowGeometry window = content->window;
    qv::TableGrid grid(qv::kMainTableShape);
    std::string title;
    qv::ApplyTableFile(std::move(*content), grid, title);

    const std::string written = qv::BuildTableFile(grid, title, window);
    // A save writes the same bytes as pieces, partly straight from the loaded buffer.
    std::string joined;
    for (std::string_view piece : qv::BuildTableFilePieces(grid, title, window).pieces) {
        joined += piece;
    }
    if (joined != written) {
        std::abort();
    }
    std::optional<qv::TableFileContent> again = qv::ParseTableFile(written);
    if (!again) {
        std::abort();
    }
    qv::TableGrid reread(qv::kMainTableShape);
    std::string rereadTitle;
    qv::ApplyTableFile(std::move(*again), reread, rereadTitle);
    // Texts holding a CR or 0x1A cannot come out of a read, so the round trip is exact.
    if (rereadTitle != title || !SameTable(grid, reread)) {
        std::abort();
    }
    return 0;
}
