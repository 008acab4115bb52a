// Copy, cut, paste and clear of the main window on a small table: what each leaves in the table
// and on the clipboard, and that its one undo step gives back exactly the table before it (cells
// beyond the counts included) and redo the table after it.
#include <gtest/gtest.h>

#include "app/fake_window_system.h"
#include "app/main_form.h"

namespace qv {
namespace {

// The table before each command: 3 x 4, "a1".."b3", texts beyond both counts ("h", "k").
struct ClipboardCase {
    void (*reshape)(TableGrid&);  // or nullptr
    GridCell current, anchor;
    void (ClipboardCommands::*command)();
    const char* clipboardIn;
    const char* after;         // Dump() after the command
    const char* clipboardOut;  // or the message shown
};

// Columns 0 to ColCount and rows 0 to RowCount, one beyond each count, then the selection.
std::string Dump(const TableGrid& grid) {
    std::string dump = std::to_string(grid.ColCount()) + "x" + std::to_string(grid.RowCount());
    for (int32_t row = 0; row <= grid.RowCount(); ++row) {
        for (int32_t col = 0; col <= grid.ColCount(); ++col) {
            dump.append(col > 0 ? "," : row > 0 ? "|" : " ").append(grid.Cell(col, row));
        }
    }
    const auto at = [](GridCell c) { return std::to_string(c.col) + "," + std::to_string(c.row); };
    return dump + " @" + at(grid.Current()) + "~" + at(grid.Anchor());
}

// A count down to 1 and back frees the fixed row or column.
// clang-format off
void FreeFixedRow(TableGrid& grid) { grid.SetRowCount(1); grid.SetRowCount(4); }
void FreeFixedColumn(TableGrid& grid) { grid.SetColCount(1); grid.SetColCount(3); }
void QuotedCell(TableGrid& grid) { grid.SetCell(2, 2, "t\"\tt\n"); }

using F = ClipboardCommands;
const ClipboardCase kCases[] = {
    {QuotedCell, {2, 2}, {1, 1}, &F::CopySelection, "",
     "3x4 ,,,|,a1,b1,k|,a2,t\"\tt\n,|,a3,b3,|,h,, @2,2~1,1", "a1\tb1\r\na2\t\"t\"\"\tt\n\"\r\n"},
    {nullptr, {2, 3}, {2, 2}, &F::CutSelection, "", "3x4 ,,,|,a1,b1,k|,a2,,|,a3,,|,h,, @2,3~2,2",
     "b2\r\nb3\r\n"},
    {nullptr, {1, 1}, {2, 2}, &F::ClearSelection, "", "3x4 ,,,|,,,k|,,,|,a3,b3,|,h,, @1,1~2,2", ""},
    // Rows and columns added come up empty, labelled; the block is selected. A CR LF inside
    // quotes is a cell's LF; a short last row without a line end leaves its cells empty.
    {nullptr, {2, 3}, {2, 3}, &F::PasteClipboard, "p\tq\r\n\"r\r\nr\"",
     "4x5 ,,,,|  1,a1,b1,,|  2,a2,b2,,|  3,a3,p,q,|  4,,r\nr,,|,,,, @2,3~3,4", ""},
    {nullptr, {1, 2}, {1, 2}, &F::PasteClipboard, "ok\t\xF0\x9F\x98\x80", "",
     "Shift-JIS で表せない文字が 1 個あります: 2 行 2 列「😀」。\n貼り付けは行いませんでした。"},
    // Row 0 takes item names only from a paste that starts there; column 0 is never written.
    {FreeFixedRow, {1, 0}, {1, 0}, &F::PasteClipboard, "n1\tn2\r\nv1\tv2",
     "3x4 ,n1,n2,|,v1,v2,k|,a2,b2,|,a3,b3,|,h,, @1,0~2,1", ""},
    {FreeFixedColumn, {0, 1}, {0, 1}, &F::PasteClipboard, "x\ty",
     "3x4 ,,,|,x,y,k|,a2,b2,|,a3,b3,|,h,, @1,1~2,1", ""},
    {FreeFixedColumn, {0, 2}, {0, 1}, &F::ClearSelection, "", "", ""},
};
// clang-format on

TEST(MainFormClipboardTest, EachCommandIsOneStep) {
    for (const ClipboardCase& c : kCases) {
        SCOPED_TRACE(c.clipboardIn + std::to_string(c.current.col) + std::to_string(c.current.row));
        test::FakeWindowSystem windows;
        MainForm form(windows, StoreLocations{"/nonexistent/q.ini", "/nonexistent/q.hst"}, ".");
        form.Start();
        TableGrid& grid = form.Document().UnrecordedTable();
        grid.SetRowCount(4);
        for (int32_t row = 1; row <= 3; ++row) {
            grid.SetCell(1, row, "a" + std::to_string(row));
            grid.SetCell(2, row, "b" + std::to_string(row));
        }
        grid.SetCell(1, 4, "h");  // as a deleted row leaves it
        grid.SetCell(3, 1, "k");  // as a deleted column leaves it
        if (c.reshape != nullptr) {
            c.reshape(grid);
        }
        ASSERT_TRUE(grid.SetCurrentCell(c.anchor));
        ASSERT_TRUE(grid.SetCurrentCell(c.current, TableGrid::Selection::Extend));
        windows.SetClipboardText(c.clipboardIn);
        const std::string before = Dump(grid);
        const std::string after = *c.after != '\0' ? c.after : before;

        (form.Clipboard().*c.command)();
        EXPECT_EQ(Dump(grid), after);
        if (c.command == &F::PasteClipboard) {
            EXPECT_EQ(windows.messages.empty() ? "" : windows.messages[0].text, c.clipboardOut);
        } else if (*c.clipboardOut != '\0') {
            EXPECT_EQ(windows.ClipboardText(), c.clipboardOut);
        }
        EXPECT_EQ(form.History().Steps(), before != after ? 1u : 0u);
        EXPECT_EQ(form.IsModified(), before != after);
    }
}

// Columns a paste adds fit their texts (at least the narrower designed data column, at most twice
// the wider one: 30 x "あ" would take 455 pixels); the column that was last keeps its width.
TEST(MainFormClipboardTest, AddedColumnsFitThePastedTexts) {
    test::FakeWindowSystem windows;
    MainForm form(windows, StoreLocations{"/nonexistent/q.ini", "/nonexistent/q.hst"}, ".");
    form.Start();
    TableGrid& grid = form.Document().UnrecordedTable();
    ASSERT_TRUE(grid.SetCurrentCell({2, 1}));
    std::string kana;
    for (int i = 0; i < 30; ++i) {
        kana += "\xE3\x81\x82";
    }
    windows.SetClipboardText("x\ty\t" + kana + "\t\r\n\t\t\t1234567890123");
    form.Clipboard().PasteClipboard();
    const int32_t widths[] = {32, 153, 69, 69, 306, 13 * 8 + 5};
    for (int32_t col = 0; col < 6; ++col) {
        EXPECT_EQ(grid.ColWidth(col), widths[col]) << col;
    }
}

}  // namespace
}  // namespace qv
