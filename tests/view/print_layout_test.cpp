// Which rows and columns go on which page: pages sized so that the cells get round areas.
#include "view/print_layout.h"

#include <gtest/gtest.h>

#include "app/print_choices_file.h"
#include "temp_folder.h"

namespace qv {
namespace {

constexpr double kMargin = 10;

// A paper whose cell area (inside the margins, below the header, above the footer) is
// `width` by `height` pixels at a scale of 1.
PrintLayoutInput Paper(double width, double height, std::vector<int32_t> colWidths, int32_t rows) {
    PrintLayoutInput input;
    input.paperWidth = width + 2 * kMargin;
    input.paperHeight = height + 2 * kMargin + kPageHeaderHeight + kPageFooterHeight;
    input.margin = kMargin;
    input.colCount = static_cast<int32_t>(colWidths.size());
    input.colWidth = [colWidths](int32_t col) { return colWidths[static_cast<std::size_t>(col)]; };
    input.headingHeight = 24;
    input.endRow = rows + 1;
    input.rowHeight = [](int32_t row) { return row == 50 ? 1000 : 24; };  // row 50 is huge
    return input;
}

TEST(PrintLayoutTest, PagesRunDownTheRowsThenAcrossTheColumns) {
    struct Case {
        const char* name;
        PrintLayoutInput input;
        double scale;
        bool floored;
        std::vector<PrintPage> pages;
    };
    auto fit = [](PrintLayoutInput input) {
        input.scaling = ColumnScaling::FitPageWidth;
        return input;
    };
    auto rows = [](PrintLayoutInput input, int32_t first, int32_t end) {
        input.firstRow = first;
        input.endRow = end;
        return input;
    };
    // 240 high: the item names and 9 rows of 24. 300 wide: the labels (50) and 250 of columns.
    const Case cases[] = {
        {"two bands of columns, three of rows",
         Paper(300, 240, {50, 100, 100, 100, 100}, 20),
         1.0,
         false,
         {{1, 3, 1, 10},
          {1, 3, 10, 19},
          {1, 3, 19, 21},
          {3, 5, 1, 10},
          {3, 5, 10, 19},
          {3, 5, 19, 21}}},
        {"a column wider than the page has one of its own",
         Paper(300, 240, {50, 100, 400, 100}, 3),
         1.0,
         false,
         {{1, 2, 1, 4}, {2, 3, 1, 4}, {3, 4, 1, 4}}},
        {"fitted to the width: half the size, twice the rows",
         fit(Paper(300, 240, {50, 150, 200, 200}, 20)),
         0.5,
         false,
         {{1, 4, 1, 20}, {1, 4, 20, 21}}},
        {"no fitting below the floor",
         fit(Paper(300, 240, {100, 400, 400, 400, 400}, 1)),
         kMinFitScale,
         true,
         {{1, 2, 1, 2}, {2, 3, 1, 2}, {3, 4, 1, 2}, {4, 5, 1, 2}}},
        {"a row taller than the page has one of its own",
         rows(Paper(300, 240, {50, 100}, 0), 48, 53),
         1.0,
         false,
         {{1, 2, 48, 50}, {1, 2, 50, 51}, {1, 2, 51, 53}}},
        {"no rows still prints the item names",
         Paper(300, 240, {50, 100}, 0),
         1.0,
         false,
         {{1, 2, 1, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PrintLayout layout(c.input);
        EXPECT_DOUBLE_EQ(layout.Scale(), c.scale);
        EXPECT_EQ(layout.ScaleFloored(), c.floored);
        ASSERT_EQ(layout.PageCount(), static_cast<int32_t>(c.pages.size()));
        for (std::size_t i = 0; i < c.pages.size(); ++i) {
            const PrintPage page = layout.Page(static_cast<int32_t>(i));
            EXPECT_EQ(std::tie(page.firstCol, page.endCol, page.firstRow, page.endRow),
                      std::tie(c.pages[i].firstCol, c.pages[i].endCol, c.pages[i].firstRow,
                               c.pages[i].endRow))
                << "page " << i;
        }
    }
}

// The choices come back as written; a file that is missing or holds unknown values gives the
// defaults for what it cannot tell.
TEST(PrintLayoutTest, ChoicesAreRememberedInAFileOfTheirOwn) {
    const test::TempFolder folder;
    const std::string path = folder / "print.ini";
    EXPECT_EQ(ReadPrintChoices(path), PrintChoices{});
    const PrintChoices changed{Paper::B4,
                               PageOrientation::Landscape,
                               7,
                               ColumnScaling::FitPageWidth,
                               PrintedRows::Selection,
                               GridLines::Hidden,
                               CellOverflow::Wrap};
    WritePrintChoices(path, changed);
    EXPECT_EQ(ReadPrintChoices(path), changed);
    test::WriteTestFile(path, "[Print]\r\nPaper=A9\r\nLandscape=2\r\nMarginMm=999\r\n");
    PrintChoices clamped;
    clamped.marginMm = kMaxMarginMm;
    EXPECT_EQ(ReadPrintChoices(path), clamped);
    EXPECT_EQ(PaperFromName("LETTER"), Paper::Letter);
}

}  // namespace
}  // namespace qv
