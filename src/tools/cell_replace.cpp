#include "tools/cell_replace.h"

#include <algorithm>

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

namespace {

// Visits the stored texts of the area column by column, telling `progress` how many of the
// area's cells lie behind.
template <class Visit>
void VisitAreaTexts(const TableGrid& grid, const SearchArea& area, const WorkProgress& progress,
                    Visit visit) {
    const std::vector<int32_t> cols = grid.StoredColumnNumbers(area.colBegin, area.colEnd);
    const int64_t rows = std::max(area.rowEnd - area.rowBegin, 0);
    WorkSteps steps(progress, rows * static_cast<int64_t>(cols.size()));
    for (std::size_t k = 0; k < cols.size(); ++k) {
        const int64_t before = rows * static_cast<int64_t>(k);
        grid.VisitColumnTexts(cols[k], area.rowBegin, area.rowEnd, [&](int32_t row, CellHandle h) {
            steps.Reach(before + (row - area.rowBegin));
            visit(GridCell{cols[k], row}, cell_handle::Text(h));
        });
    }
}

}  // namespace

CellTextList ReplacementsIn(const TableGrid& grid, const CellMatcher& matcher,
                            const SearchArea& area, std::string_view replacement,
                            const WorkProgress& progress) {
    CheckReplacementText(replacement);
    CellTextList changes;
    if (matcher.FindsNothing()) {
        return changes;
    }
    std::string text;
    VisitAreaTexts(grid, area, progress, [&](GridCell at, std::string_view cell) {
        text.clear();
        if (AppendReplaced(cell, matcher, replacement, text) && text != cell) {
            changes.Add(at, text);
        }
    });
    return changes;
}

CellTextList ReplacementsIn(const TableGrid& grid, const CellPattern& pattern,
                            const SearchArea& area, std::string_view cp932, std::string_view utf8,
                            const WorkProgress& progress) {
    CheckReplacementText(cp932);
    CellTextList changes;
    if (pattern.FindsNothing()) {
        return changes;
    }
    VisitAreaTexts(grid, area, progress, [&](GridCell at, std::string_view cell) {
        if (std::optional<std::string> text = pattern.Replaced(cell, cp932, utf8);
            text && *text != cell) {
            CheckReplacementText(*text);
            changes.Add(at, *text);
        }
    });
    return changes;
}

CellTextList ReplaceInCells(TableGrid& grid, const CellMatcher& matcher, const SearchArea& area,
                            std::string_view replacement) {
    CellTextList changes = ReplacementsIn(grid, matcher, area, replacement);
    grid.ExchangeCellTexts(changes);
    return changes;
}

}  // namespace qv
