#include "tools/cell_replace.h"

#include "platform/failure.h"
#include "tools/cell_pattern.h"

namespace qv {

namespace {

constexpr char kEndOfFileByte = 0x1A;

// Appends `cell` with its matches replaced to `out`; returns whether there was any.
bool AppendReplaced(std::string_view cell, const CellMatcher& matcher, std::string_view replacement,
                    std::string& out) {
    std::size_t at = matcher.Find(cell, 0);
    if (at == std::string_view::npos) {
        return false;
    }
    std::size_t copied = 0;
    while (at != std::string_view::npos) {
        out.append(cell.substr(copied, at - copied));
        out.append(replacement);
        copied = at + matcher.Length();
        at = matcher.Find(cell, copied);
    }
    out.append(cell.substr(copied));
    return true;
}

}  // namespace

void CheckReplacementText(std::string_view replacement) {
    if (replacement.find('\r') != std::string_view::npos ||
        replacement.find(kEndOfFileByte) != std::string_view::npos) {
        throw Failure(kReplacementRefusedMessage);
    }
}

std::optional<std::string> ReplacedCellText(std::string_view cell, const CellMatcher& matcher,
                                            std::string_view replacement) {
    std::string out;
    if (!AppendReplaced(cell, matcher, replacement, out)) {
        return std::nullopt;
    }
    return out;
}

CellTextList ReplacementsIn(const TableGrid& grid, const CellMatcher& matcher,
                            const SearchArea& area, std::string_view replacement) {
    CheckReplacementText(replacement);
    CellTextList changes;
    if (matcher.FindsNothing()) {
        return changes;
    }
    std::string text;
    for (int32_t col : grid.StoredColumnNumbers(area.colBegin, area.colEnd)) {
        grid.VisitColumnTexts(col, area.rowBegin, area.rowEnd, [&](int32_t row, CellHandle h) {
            text.clear();
            const std::string_view cell = cell_handle::Text(h);
            if (AppendReplaced(cell, matcher, replacement, text) && text != cell) {
                changes.Add(GridCell{col, row}, text);
            }
        });
    }
    return changes;
}

CellTextList ReplacementsIn(const TableGrid& grid, const CellPattern& pattern,
                            const SearchArea& area, std::string_view cp932, std::string_view utf8) {
    CheckReplacementText(cp932);
    CellTextList changes;
    if (pattern.FindsNothing()) {
        return changes;
    }
    for (int32_t col : grid.StoredColumnNumbers(area.colBegin, area.colEnd)) {
        grid.VisitColumnTexts(col, area.rowBegin, area.rowEnd, [&](int32_t row, CellHandle h) {
            const std::string_view cell = cell_handle::Text(h);
            if (std::optional<std::string> text = pattern.Replaced(cell, cp932, utf8);
                text && *text != cell) {
                CheckReplacementText(*text);
                changes.Add(GridCell{col, row}, *text);
            }
        });
    }
    return changes;
}

CellTextList ReplaceInCells(TableGrid& grid, const CellMatcher& matcher, const SearchArea& area,
                            std::string_view replacement) {
    CellTextList changes = ReplacementsIn(grid, matcher, area, replacement);
    grid.ExchangeCellTexts(changes);
    return changes;
}

}  // namespace qv
