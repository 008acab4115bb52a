// Copy, cut, paste and clear of the main window on a small table: what each leaves in the table
// and on the clipboard, and that its one undo step gives back exactly the table before it (cells
// beyond the counts included) and redo the table after it.
#include <gtest/gtest.h>

#include <functional>

#include "app/fake_window_system.h"
#include "app/main_form.h"

namespace qv {
namespace {

struct ClipboardCase {
    const char* name;
    std::function<void(TableGrid&)> reshape;  // before the cells are written; may be empty
    GridCell current, anchor;
    void (MainForm::*command)();
    const char* clipboardIn;
    const char* after;  // Dump() after the command
    const char* clipboardOut;
    const char* message;
};

// Columns 0 to ColCount and rows 0 to RowCount, one beyond each count, then the selection.
std::string Dump(const TableGrid& grid) {
    std::string dump = std::to_string(grid.ColCount()) + "x" + std::to_string(grid.RowCount());
    for (int32_t row = 0; row <= grid.RowCount(); ++row) {
        dump += row == 0 ? " " : "|";
        for (int32_t col = 0; col <= grid.ColCount(); ++col) {
            dump.append(col == 0 ? "" : ",").append(grid.Cell(col, row));
        }
    }
    const auto at = [](GridCell c) { return std::to_string(c.col) + "," + std::to_string(c.row); };
    return dump + " @" + at(grid.Current()) + "~" + at(grid.Anchor());
}

void FreeFixedRow(TableGrid& grid) {
    grid.SetRowCount(1);
    grid.SetRowCount(4);
}
void FreeFixedColumn(TableGrid& grid) {
    grid.SetColCount(1);
    grid.SetColCount(3);
}

using F = MainForm;
const char* const kRefused =
    "Shift-JIS で表せない文字が 1 個あります: 2 行 2 列「😀」。\n貼り付けは行いませんでした。";

const ClipboardCase kCases[] = {
    {"copy",
     {},
     {2, 2},
     {1, 1},
     &F::CopySelection,
     "",
     "3x4 ,,,|,a1,b1,k|,a2,b2,|,a3,b3,|,h,, @2,2~1,1",
     "a1\tb1\r\na2\tb2\r\n",
     ""},
    {"cut",
     {},
     {2, 3},
     {2, 2},
     &F::CutSelection,
     "",
     "3x4 ,,,|,a1,b1,k|,a2,,|,a3,,|,h,, @2,3~2,2",
     "b2\r\nb3\r\n",
     ""},
    {"clear",
     {},
     {1, 1},
     {2, 2},
     &F::ClearSelection,
     "",
     "3x4 ,,,|,,,k|,,,|,a3,b3,|,h,, @1,1~2,2",
     "",
     ""},
    // Rows and columns added come up empty, labelled; the block is selected.
    {"paste grows",
     {},
     {2, 3},
     {2, 3},
     &F::PasteClipboard,
     "p\tq\r\nr\t\"s\"\"\n\"\r\n",
     "4x5 ,,,,|  1,a1,b1,,|  2,a2,b2,,|  3,a3,p,q,|  4,,r,s\"\n,|,,,, @2,3~3,4",
     "",
     ""},
    {"paste refused",
     {},
     {1, 2},
     {1, 2},
     &F::PasteClipboard,
     "ok\t\xF0\x9F\x98\x80",
     "3x4 ,,,|,a1,b1,k|,a2,b2,|,a3,b3,|,h,, @1,2~1,2",
     "",
     kRefused},
    {"paste nothing",
     {},
     {1, 2},
     {1, 2},
     &F::PasteClipboard,
     "",
     "3x4 ,,,|,a1,b1,k|,a2,b2,|,a3,b3,|,h,, @1,2~1,2",
     "",
     ""},
    // Row 0 takes item names only from a paste that starts there; column 0 is never written.
    {"paste at row 0",
     FreeFixedRow,
     {1, 0},
     {1, 0},
     &F::PasteClipboard,
     "n1\tn2\r\nv1\tv2",
     "3x4 ,n1,n2,|,v1,v2,k|,a2,b2,|,a3,b3,|,h,, @1,0~2,1",
     "",
     ""},
    {"paste at column 0",
     FreeFixedColumn,
     {0, 1},
     {0, 1},
     &F::PasteClipboard,
     "x\ty",
     "3x4 ,,,|,x,y,k|,a2,b2,|,a3,b3,|,h,, @1,1~2,1",
     "",
     ""},
    {"clear column 0",
     FreeFixedColumn,
     {0, 2},
     {0, 1},
     &F::ClearSelection,
     "",
     "3x4 ,,,|,a1,b1,k|,a2,b2,|,a3,b3,|,h,, @0,2~0,1",
     "",
     ""},
};

TEST(MainFormClipboardTest, EachCommandIsOneExactUndoStep) {
    for (const ClipboardCase& c : kCases) {
        SCOPED_TRACE(c.name);
        test::FakeWindowSystem windows;
        MainForm form(windows, StoreLocations{"/nonexistent/q.ini", "/nonexistent/q.hst"}, ".");
        form.FormCreate();
        TableGrid& grid = form.StringGrid();
        grid.SetRowCount(4);
        if (c.reshape) {
            c.reshape(grid);
        }
        for (int32_t row = 1; row <= 3; ++row) {
            grid.SetCell(1, row, "a" + std::to_string(row));
            grid.SetCell(2, row, "b" + std::to_string(row));
        }
        grid.SetCell(1, 4, "h");  // beyond the counts, as a deleted row leaves it
        grid.SetCell(3, 1, "k");
        ASSERT_TRUE(grid.SetCurrentCell(c.anchor));
        ASSERT_TRUE(grid.SetCurrentCell(c.current, TableGrid::Selection::Extend));
        windows.SetClipboardText(c.clipboardIn);
        const std::string before = Dump(grid);

        (form.*c.command)();
        EXPECT_EQ(Dump(grid), c.after);
        EXPECT_EQ(windows.messages.empty() ? "" : windows.messages[0].text, c.message);
        if (*c.clipboardOut != '\0') {
            EXPECT_EQ(windows.ClipboardText(), c.clipboardOut);
        }
        const bool changed = before != c.after;
        EXPECT_EQ(form.IsModified(), changed);
        EXPECT_EQ(form.History().Steps(), changed ? 1u : 0u);
        form.Undo();
        EXPECT_EQ(Dump(grid), before);
        form.Redo();
        EXPECT_EQ(Dump(grid), c.after);
    }
}

}  // namespace
}  // namespace qv
