// The commands' meaning while a filter hides rows: they write the shown rows only, insert and
// delete the current row, sort the whole table, and their undo and redo bring the shown rows
// along.
#include <gtest/gtest.h>

#include "app/fake_window_system.h"
#include "app/main_form.h"

namespace qv {
namespace {

// Columns 1 and 2 of the data rows, the shown rows and the selection.
std::string Dump(const MainForm& form) {
    const TableGrid& grid = form.Table();
    std::string dump;
    for (int32_t row = 1; row < grid.RowCount(); ++row) {
        dump.append(grid.Cell(1, row)).append(",").append(grid.Cell(2, row)).append("|");
    }
    dump += " shown";
    for (const int32_t row : form.Document().Shown().Rows()) {
        dump += " " + std::to_string(row);
    }
    const auto at = [](GridCell c) { return std::to_string(c.col) + "," + std::to_string(c.row); };
    return dump + " @" + at(grid.Current()) + "~" + at(grid.Anchor());
}

struct FilteredCase {
    GridCell anchor, current;
    void (*command)(MainForm&);
    const char* clipboardIn;
    const char* after;  // Dump() after the command
    const char* clipboardOut;
};

// clang-format off
const FilteredCase kCases[] = {
    {{1, 1}, {2, 5}, [](MainForm& f) { f.Clipboard().CopySelection(); }, "",
     "a1,x|a2,|a3,x|a4,|a5,x| shown 1 3 5 @2,5~1,1", "a1\tx\r\na3\tx\r\na5\tx\r\n"},
    {{1, 1}, {1, 3}, [](MainForm& f) { f.Clipboard().ClearSelection(); }, "",
     ",x|a2,|,x|a4,|a5,x| shown 1 3 5 @1,3~1,1", ""},
    {{1, 3}, {1, 5}, [](MainForm& f) { f.Clipboard().CutSelection(); }, "",
     "a1,x|a2,|,x|a4,|,x| shown 1 3 5 @1,5~1,3", "a3\r\na5\r\n"},
    {{1, 1}, {1, 1}, [](MainForm& f) { f.Clipboard().PasteClipboard(); }, "p\r\nq\tq2\tq3\r\nr\r\ns",
     "p,|a2,|q,q2|a4,|r,| shown 1 3 5 @1,1~2,5", ""},
    {{1, 3}, {1, 3}, [](MainForm& f) { f.Rows().InsertRowBefore(); }, "",
     "a1,x|a2,|,|a3,x|a4,|a5,x| shown 1 3 4 6 @1,3~1,3", ""},
    {{1, 3}, {1, 3}, [](MainForm& f) { f.Rows().InsertRowAfter(); }, "",
     "a1,x|a2,|a3,x|,|a4,|a5,x| shown 1 3 4 6 @1,3~1,3", ""},
    {{1, 3}, {1, 3}, [](MainForm& f) { f.Rows().DeleteRow(); }, "",
     "a1,x|a2,|a4,|a5,x| shown 1 4 @1,3~1,3", ""},
    {{1, 1}, {1, 1}, [](MainForm& f) { f.Sorting().SortDescending(); }, "",
     "a5,x|a4,|a3,x|a2,|a1,x| shown 1 3 5 @1,1~1,1", ""},
    {{1, 1}, {1, 1}, [](MainForm& f) { f.Search().Find() = {"a", "", {}, {}}; f.Search().FindNext(); },
     "", "a1,x|a2,|a3,x|a4,|a5,x| shown 1 3 5 @1,3~1,3", ""},
    {{1, 5}, {1, 5}, [](MainForm& f) { f.Search().Find() = {"2", "", {}, {}}; f.Search().FindNext(); },
     "", "a1,x|a2,|a3,x|a4,|a5,x| shown 1 3 5 @1,5~1,5", ""},  // only on a hidden row
    {{1, 1}, {1, 1}, [](MainForm& f) { f.Search().Find() = {"a", "b", {}, {}}; f.Search().ReplaceAll(); },
     "", "b1,x|a2,|b3,x|a4,|b5,x| shown 1 3 5 @1,1~1,1", ""},
    {{1, 1}, {1, 5}, [](MainForm& f) { f.Lists().FillDown(); }, "",
     "a1,x|a2,|a1,x|a4,|a1,x| shown 1 3 5 @1,5~1,1", ""},
};
// clang-format on

TEST(MainFormFilterTest, CommandsWorkOnTheShownRowsAndUndoBringsTheFilterAlong) {
    for (const FilteredCase& c : kCases) {
        SCOPED_TRACE(c.after);
        test::FakeWindowSystem windows;
        MainForm form(windows, StoreLocations{"/nonexistent/q.ini", "/nonexistent/q.hst"}, ".");
        form.Start();
        TableGrid& grid = form.Document().UnrecordedTable();
        grid.SetRowCount(6);
        for (int32_t row = 1; row <= 5; ++row) {
            grid.SetCell(1, row, "a" + std::to_string(row));
            grid.SetCell(2, row, row % 2 == 1 ? "x" : "");
        }
        EXPECT_EQ(form.Filter().ApplyFilter({{2, FilterTest::Equals, "x"}}, FilterMatching::Exact),
                  "");
        EXPECT_EQ(form.Filter().StatusText(), "表示 3 / 5 行");
        ASSERT_TRUE(grid.SetCurrentCell(c.anchor));
        ASSERT_TRUE(grid.SetCurrentCell(c.current, TableGrid::Selection::Extend));
        windows.SetClipboardText(c.clipboardIn);
        const std::string before = Dump(form);

        c.command(form);
        EXPECT_EQ(Dump(form), c.after);
        if (*c.clipboardOut != '\0') {
            EXPECT_EQ(windows.ClipboardText(), c.clipboardOut);
        }
        if (form.Document().CanUndo()) {
            const std::string after = Dump(form);
            form.Undo();
            EXPECT_EQ(Dump(form).substr(0, before.find(" @")), before.substr(0, before.find(" @")));
            form.Redo();
            EXPECT_EQ(Dump(form).substr(0, after.find(" @")), after.substr(0, after.find(" @")));
        }
    }
}

TEST(MainFormFilterTest, DraggingRowsIsRefusedAndClearingShowsEveryRow) {
    test::FakeWindowSystem windows;
    MainForm form(windows, StoreLocations{"/nonexistent/q.ini", "/nonexistent/q.hst"}, ".");
    form.Start();
    form.Document().UnrecordedTable().SetCell(1, 2, "x");
    EXPECT_NE(form.Filter().ApplyFilter({{0, FilterTest::Regex, "("}}, FilterMatching::Exact), "");
    EXPECT_FALSE(form.Filter().IsFiltered());  // a bad expression filters nothing
    form.Filter().ApplyFilter({{0, FilterTest::Contains, "x"}}, FilterMatching::Exact);
    EXPECT_EQ(form.Table().Row(), 2);  // the current cell moved onto a shown row
    form.Input().MoveRow(2, 1);
    EXPECT_EQ(form.Table().Cell(1, 2), "x");
    EXPECT_FALSE(form.Document().CanUndo());
    form.Filter().ClearFilter();
    EXPECT_EQ(form.Filter().StatusText(), "");

    // While the user types, the rows are found off the window's thread: a later filter drops
    // an earlier one's result, a change of the table one not shown yet.
    std::vector<std::string> messages;
    const auto done = [&messages](const std::string& message) { messages.push_back(message); };
    const auto contains = [](const char* value) {
        return std::vector<FilterBarCondition>{{0, FilterTest::Contains, value}};
    };
    form.Filter().FilterInBackground(contains("y"), FilterMatching::Exact, done);
    form.Filter().FilterInBackground(contains("x"), FilterMatching::Exact, done);
    while (messages.empty()) {
        windows.RunPosted();
    }
    windows.RunPosted();
    EXPECT_EQ(messages, std::vector<std::string>{""});
    EXPECT_EQ(form.Filter().StatusText(), "表示 1 / 5 行");
    form.Filter().FilterInBackground(contains("z"), FilterMatching::Exact, done);
    form.Rows().InsertRowBefore();
    windows.RunPosted();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(form.Filter().StatusText(), "表示 2 / 6 行");  // the inserted row shows
}

}  // namespace
}  // namespace qv
