#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace qv {

// What the user chooses for printing a table (and for its PDF).
enum class Paper { A4, A3, B5, B4, Letter };
enum class PageOrientation { Portrait, Landscape };
enum class ColumnScaling { AsOnScreen, FitPageWidth };
// Shown: the rows a filter shows (every row when no filter is on).
enum class PrintedRows { All, Selection, Shown };
enum class GridLines { Shown, Hidden };
enum class CellOverflow { Clip, Wrap };

struct PrintChoices {
    Paper paper = Paper::A4;
    PageOrientation orientation = PageOrientation::Portrait;
    int32_t marginMm = 15;
    ColumnScaling scaling = ColumnScaling::AsOnScreen;
    PrintedRows rows = PrintedRows::All;
    GridLines gridLines = GridLines::Shown;
    CellOverflow overflow = CellOverflow::Clip;
    bool operator==(const PrintChoices&) const = default;
};

inline constexpr int32_t kMinMarginMm = 0;
inline constexpr int32_t kMaxMarginMm = 50;

// The paper's size upright, in millimetres. B5 and B4 are the Japanese (JIS) sizes that offices
// there mean by those names, not the ISO ones.
struct PaperSize {
    double widthMm;
    double heightMm;
};
PaperSize PaperSizeOf(Paper paper);
// The paper's name as the user types it ("A4", "letter"), and back, ignoring ASCII case.
const char* PaperName(Paper paper);
std::optional<Paper> PaperFromName(std::string_view name);

// The table is laid out in the screen's pixels (96 to the inch), so that columns keep their
// widths on screen, and scaled as a whole onto the paper.
inline constexpr double kPixelsPerInch = 96.0;
inline constexpr double kPixelsPerMm = kPixelsPerInch / 25.4;
// Fitting the columns to the page's width shrinks the table no further than this; a table that
// would need more goes on over further pages side by side.
inline constexpr double kMinFitScale = 0.4;

// What a page holds besides the cells: the title and date above, the page number below (pixels,
// unscaled).
inline constexpr double kPageHeaderHeight = 30.0;
inline constexpr double kPageFooterHeight = 26.0;

struct PrintLayoutInput {
    double paperWidth = 0;  // pixels, after the orientation
    double paperHeight = 0;
    double margin = 0;
    ColumnScaling scaling = ColumnScaling::AsOnScreen;
    // Columns [0, colCount): column 0 (the row labels) first, then every data column. Asked
    // column by column, so that a table of millions of columns costs no list of their widths.
    int32_t colCount = 1;
    std::function<int32_t(int32_t col)> colWidth;
    int32_t headingHeight = 0;  // the item names' row, repeated on every page
    int32_t firstRow = 1;       // the data rows printed: [firstRow, endRow)
    int32_t endRow = 1;
    std::function<int32_t(int32_t row)> rowHeight;
};

// One page: data columns [firstCol, endCol) beside the row labels, data rows [firstRow, endRow)
// below the item names.
struct PrintPage {
    int32_t firstCol = 1;
    int32_t endCol = 1;
    int32_t firstRow = 1;
    int32_t endRow = 1;
};

// Which rows and columns go on which page. Pages run down the rows first, then across to the
// next band of columns, as the spreadsheets print. A column or row too big for a page gets a
// page of its own and is cut at its edge. Memory grows with the bands, not the rows.
class PrintLayout {
public:
    explicit PrintLayout(const PrintLayoutInput& input);

    // The scale from the layout's pixels to the page's; 1 unless fitting to the width.
    double Scale() const { return scale_; }
    // Fitting was asked for but would have needed a scale below kMinFitScale.
    bool ScaleFloored() const { return floored_; }
    // The room for the cells on a page, in the layout's (unscaled) pixels.
    double CellAreaWidth() const { return areaWidth_; }
    double CellAreaHeight() const { return areaHeight_; }

    // At most INT32_MAX: a table of more pages than that is printed as far as that.
    int32_t PageCount() const;
    PrintPage Page(int32_t index) const;

private:
    void SplitColumns(const PrintLayoutInput& input);
    void SplitRows(const PrintLayoutInput& input);

    double scale_ = 1.0;
    bool floored_ = false;
    double areaWidth_ = 0;
    double areaHeight_ = 0;
    std::vector<int32_t> colStarts_;  // the first data column of each band, then the end
    std::vector<int32_t> rowStarts_;  // the first data row of each band, then the end
};

}  // namespace qv
