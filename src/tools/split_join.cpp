#include "tools/split_join.h"

#include <algorithm>

#include "table/cell_handle.h"
#include "tools/loose_text.h"

namespace qv {

std::vector<std::string_view> SplitText(std::string_view text, std::string_view separator,
                                        SplitAt at) {
    std::vector<std::string_view> pieces;
    std::size_t from = 0;
    if (!separator.empty()) {
        for (std::size_t found = FindAtCharacterBoundary(text, separator);
             found != std::string_view::npos;
             found = FindAtCharacterBoundary(text, separator, from)) {
            pieces.push_back(text.substr(from, found - from));
            from = found + separator.size();
            if (at == SplitAt::FirstSeparator) {
                break;
            }
        }
    }
    pieces.push_back(text.substr(from));
    return pieces;
}

// Two passes over the rows: the first counts the columns, the second appends each piece to its
// column (rows ascending, so every text is an append), without a list of pieces between.
SplitColumns SplitColumn(const TableGrid& grid, int32_t col, std::span<const int32_t> rows,
                         std::string_view separator, SplitAt at, const WorkProgress& progress) {
    SplitColumns split;
    WorkSteps steps(progress, 2 * static_cast<int64_t>(rows.size()));
    for (const int32_t row : rows) {
        steps.Advance();
        const auto pieces =
            static_cast<int32_t>(SplitText(grid.Cell(col, row), separator, at).size());
        split.count = std::max(split.count, pieces > 1 ? pieces : 0);
    }
    if (split.count == 0) {
        return split;
    }
    const int32_t rowEnd = rows.empty() ? 1 : rows.back() + 1;
    split.block = {col + 1, col + 1 + split.count, 0, rowEnd, {}};
    std::vector<CellColumn> columns(static_cast<std::size_t>(split.count));
    const std::string name(grid.Cell(col, 0));
    for (int32_t k = 0; k < split.count; ++k) {
        columns[static_cast<std::size_t>(k)].Set(
            0, cell_handle::MakeOwned(name + std::to_string(k + 1)));
    }
    for (const int32_t row : rows) {
        steps.Advance();
        const std::vector<std::string_view> parts = SplitText(grid.Cell(col, row), separator, at);
        for (std::size_t k = 0; k < parts.size(); ++k) {
            columns[k].Set(row, cell_handle::MakeOwned(parts[k]));
        }
    }
    for (int32_t k = 0; k < split.count; ++k) {
        split.block.columns.emplace_back(col + 1 + k,
                                         std::move(columns[static_cast<std::size_t>(k)]));
    }
    return split;
}

CellTextList JoinedTexts(const TableGrid& grid, int32_t colBegin, int32_t colEnd,
                         std::span<const int32_t> rows, std::string_view separator,
                         const WorkProgress& progress) {
    CellTextList texts;
    std::string joined;
    WorkSteps steps(progress, static_cast<int64_t>(rows.size()));
    for (const int32_t row : rows) {
        steps.Advance();
        joined.clear();
        for (int32_t col = colBegin; col < colEnd; ++col) {
            const std::string_view cell = grid.Cell(col, row);
            if (!cell.empty()) {
                joined.append(joined.empty() ? "" : separator).append(cell);
            }
        }
        if (joined != grid.Cell(colBegin, row)) {
            texts.Add(GridCell{colBegin, row}, joined);
        }
    }
    return texts;
}

}  // namespace qv
