#include "table/loaded_lines.h"

#include <algorithm>

namespace qv {

namespace {

constexpr std::size_t kLineEndSize = 2;  // CR LF

// The lines of the first `rows` rows of the segments as they lie in a loaded file's buffer, or
// nothing. They are found without visiting every cell: every column must hold these rows in one
// chunk read in file order from a table of this width, and the lines of the first and of the
// last row must follow each other in one buffer. The rows were then read together and not
// changed since, so their lines are one run of that buffer.
std::optional<std::string_view> LoadedLines(const TableGrid& grid, int32_t rows,
                                            const std::vector<CellColumn::Segment>& segments) {
    const auto dataCols = static_cast<int32_t>(segments.size());
    const char* begin = cell_handle::Text(segments[0].At(0)).data();
    const char* end = nullptr;
    for (const int32_t at : {0, rows - 1}) {
        const char* expected = nullptr;
        for (int32_t k = 0; k < dataCols; ++k) {
            const CellHandle h = segments[static_cast<std::size_t>(k)].At(at);
            const std::string_view text = cell_handle::Text(h);
            if (!cell_handle::FollowedByLineEnd(h) || (k > 0 && text.data() != expected)) {
                return std::nullopt;
            }
            expected = text.data() + text.size() + kLineEndSize;
        }
        end = expected;
    }
    if (!grid.InOneLoadedBuffer(begin, end)) {
        return std::nullopt;
    }
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace

LoadedStretch FindLoadedStretch(const TableGrid& grid, int32_t row, int32_t limit,
                                std::vector<CellColumn::Segment>& segments) {
    const int32_t dataCols = grid.ColCount() - 1;
    LoadedStretch stretch;
    if (dataCols <= 0) {
        return stretch;
    }
    segments.resize(static_cast<std::size_t>(dataCols));
    stretch.rows = limit - row;
    bool inFileOrder = true;
    for (int32_t k = 0; k < dataCols; ++k) {
        CellColumn::Segment& segment = segments[static_cast<std::size_t>(k)];
        segment = grid.ColumnSegment(k + 1, row, limit);
        stretch.rows = std::min(stretch.rows, segment.rows);
        inFileOrder = inFileOrder && segment.lineStride == dataCols;
    }
    if (inFileOrder) {
        stretch.lines = LoadedLines(grid, stretch.rows, segments);
    }
    return stretch;
}

}  // namespace qv
