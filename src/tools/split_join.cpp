#include "tools/split_join.h"

#include <algorithm>

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

SplitColumns SplitColumn(const TableGrid& grid, int32_t col, std::span<const int32_t> rows,
                         std::string_view separator, SplitAt at) {
    SplitColumns split;
    CellTextList pieces;
    for (const int32_t row : rows) {
        const std::vector<std::string_view> parts = SplitText(grid.Cell(col, row), separator, at);
        if (parts.size() < 2) {
            // One piece: the text whole goes into the first new column.
            if (!parts.front().empty()) {
                pieces.Add(GridCell{col + 1, row}, parts.front());
            }
            continue;
        }
        split.count = std::max(split.count, static_cast<int32_t>(parts.size()));
        for (std::size_t k = 0; k < parts.size(); ++k) {
            if (!parts[k].empty()) {
                pieces.Add(GridCell{col + 1 + static_cast<int32_t>(k), row}, parts[k]);
            }
        }
    }
    if (split.count == 0) {
        return split;
    }
    const std::string name(grid.Cell(col, 0));
    for (int32_t k = 1; k <= split.count; ++k) {
        split.texts.Add(GridCell{col + k, 0}, name + std::to_string(k));
    }
    for (std::size_t i = 0; i < pieces.Size(); ++i) {
        split.texts.Add(pieces.CellAt(i), pieces.TextAt(i));
    }
    return split;
}

CellTextList JoinedTexts(const TableGrid& grid, int32_t colBegin, int32_t colEnd,
                         std::span<const int32_t> rows, std::string_view separator) {
    CellTextList texts;
    std::string joined;
    for (const int32_t row : rows) {
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
