#include "view/print_layout.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace qv {

PaperSize PaperSizeOf(Paper paper) {
    switch (paper) {
        case Paper::A3:
            return {297, 420};
        case Paper::B5:
            return {182, 257};
        case Paper::B4:
            return {257, 364};
        case Paper::Letter:
            return {215.9, 279.4};
        case Paper::A4:
            break;
    }
    return {210, 297};
}

namespace {

constexpr Paper kPapers[] = {Paper::A4, Paper::A3, Paper::B5, Paper::B4, Paper::Letter};

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

const char* PaperName(Paper paper) {
    switch (paper) {
        case Paper::A3:
            return "A3";
        case Paper::B5:
            return "B5";
        case Paper::B4:
            return "B4";
        case Paper::Letter:
            return "letter";
        case Paper::A4:
            break;
    }
    return "A4";
}

std::optional<Paper> PaperFromName(std::string_view name) {
    for (Paper paper : kPapers) {
        if (EqualIgnoringCase(name, PaperName(paper))) {
            return paper;
        }
    }
    return std::nullopt;
}

PrintLayout::PrintLayout(const PrintLayoutInput& input) {
    const double contentWidth = std::max(1.0, input.paperWidth - 2 * input.margin);
    const double contentHeight =
        std::max(1.0, input.paperHeight - 2 * input.margin - kPageHeaderHeight - kPageFooterHeight);
    if (input.scaling == ColumnScaling::FitPageWidth) {
        double total = 0;
        for (int32_t col = 0; col < input.colCount; ++col) {
            total += std::max(0, input.colWidth(col));
        }
        scale_ = total > contentWidth ? contentWidth / total : 1.0;
        if (scale_ < kMinFitScale) {
            scale_ = kMinFitScale;
            floored_ = true;
        }
    }
    areaWidth_ = contentWidth / scale_;
    areaHeight_ = contentHeight / scale_;
    SplitColumns(input);
    SplitRows(input);
}

void PrintLayout::SplitColumns(const PrintLayoutInput& input) {
    const int32_t colCount = input.colCount;
    const double room = areaWidth_ - (colCount > 0 ? input.colWidth(0) : 0);
    colStarts_.push_back(1);
    double used = 0;
    for (int32_t col = 1; col < colCount; ++col) {
        const double width = std::max(0, input.colWidth(col));
        if (used > 0 && used + width > room) {
            colStarts_.push_back(col);
            used = 0;
        }
        used += width;
    }
    colStarts_.push_back(std::max(1, colCount));
}

void PrintLayout::SplitRows(const PrintLayoutInput& input) {
    const double room = areaHeight_ - input.headingHeight;
    rowStarts_.push_back(input.firstRow);
    double used = 0;
    for (int32_t row = input.firstRow; row < input.endRow; ++row) {
        const double height = std::max(0, input.rowHeight(row));
        if (used > 0 && used + height > room) {
            rowStarts_.push_back(row);
            used = 0;
        }
        used += height;
    }
    rowStarts_.push_back(std::max(input.firstRow, input.endRow));
}

int32_t PrintLayout::PageCount() const {
    const uint64_t pages = uint64_t{colStarts_.size() - 1} * uint64_t{rowStarts_.size() - 1};
    return static_cast<int32_t>(std::min<uint64_t>(pages, std::numeric_limits<int32_t>::max()));
}

PrintPage PrintLayout::Page(int32_t index) const {
    const auto rowBands = static_cast<int32_t>(rowStarts_.size() - 1);
    const auto colBand = static_cast<std::size_t>(index / rowBands);
    const auto rowBand = static_cast<std::size_t>(index % rowBands);
    return {colStarts_[colBand], colStarts_[colBand + 1], rowStarts_[rowBand],
            rowStarts_[rowBand + 1]};
}

}  // namespace qv
