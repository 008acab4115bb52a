// Progress of long loads and saves: what the main window's logic tells the window system, and
// that cancelling a load leaves everything as it was.
#include <gtest/gtest.h>

#include <string>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "platform/files.h"
#include "platform/temp_folder.h"
#include "table/table_file_writer.h"

namespace qv {
namespace {

using test::FakeWindowSystem;

// A table of some megabytes, so that reading it reports several steps.
constexpr int32_t kBigRows = 60'000;
constexpr int32_t kBigCols = 9;

class MainFormProgressTest : public ::testing::Test {
protected:
    MainFormProgressTest()
        : form_(windows_, StoreLocations{folder_ / "Quorvane.ini", folder_ / "Quorvane.hst"}, ".") {
        form_.FormCreate();
        bigFile_ = folder_ / "big.qvd";
        test::WriteTestFile(bigFile_, BigTableFile());
    }

    // Made once for all the tests here.
    static const std::string& BigTableFile() {
        static const std::string file = [] {
            TableGrid grid(GridShape{kBigCols, kBigRows, 1, 1, 32, 18});
            for (int32_t row = 0; row < kBigRows; ++row) {
                for (int32_t col = 1; col < kBigCols; ++col) {
                    grid.SetCell(col, row,
                                 "cell " + std::to_string(row) + "," + std::to_string(col));
                }
            }
            return BuildTableFile(grid, "big", WindowGeometry{5, 6, 700, 500});
        }();
        return file;
    }

    TableGrid& Grid() { return form_.StringGrid(); }

    void MakeOwnTable() {
        form_.SetCurFileName(folder_ / "own.qvd");
        form_.SetEditTitle("mine");
        Grid().SetColCount(4);
        Grid().SetColWidth(3, 99);
        Grid().SetCell(1, 0, "own name");
        Grid().SetCell(3, 2, "own cell");
        Grid().SetCell(0, 3, "stale label");
        windows_.mainGeometry = WindowGeometry{1, 2, 300, 200};
    }

    test::TempFolder folder_;
    FakeWindowSystem windows_;
    TFormMain form_;
    std::string bigFile_;
};

TEST_F(MainFormProgressTest, ACompleteLoadReportsRisingProgressUpToTheTotal) {
    form_.RequestLoad(bigFile_);
    form_.LoadTableFile();

    ASSERT_EQ(windows_.progress.size(), 1u);
    const test::RecordedProgress& load = windows_.progress[0];
    EXPECT_EQ(load.title, "データの読み込み");
    EXPECT_EQ(load.kind, ProgressKind::Load);
    EXPECT_TRUE(load.ended);
    ASSERT_GE(load.steps.size(), 4u);
    const uint64_t total = 2 * BigTableFile().size();  // read, then parsed
    for (std::size_t i = 0; i < load.steps.size(); ++i) {
        EXPECT_EQ(load.steps[i].second, total);
        if (i > 0) {
            EXPECT_GT(load.steps[i].first, load.steps[i - 1].first);
        }
    }
    EXPECT_EQ(load.steps.back().first, total);
    EXPECT_EQ(form_.CurFileName(), bigFile_);
    EXPECT_EQ(Grid().RowCount(), kBigRows);
    EXPECT_EQ(Grid().CellText(8, kBigRows - 1), "cell 59999,8");
}

// Cancelling while the file is read, and while it is parsed.
class CancelledLoadTest : public MainFormProgressTest, public ::testing::WithParamInterface<int> {};

TEST_P(CancelledLoadTest, LeavesTheTableTheWindowAndTheFileNameAsTheyWere) {
    MakeOwnTable();
    windows_.cancelProgressAtCall = GetParam();
    form_.RequestLoad(bigFile_);
    form_.LoadTableFile();

    EXPECT_EQ(windows_.progressCalls, GetParam());
    ASSERT_EQ(windows_.progress.size(), 1u);
    EXPECT_TRUE(windows_.progress[0].ended);
    EXPECT_EQ(windows_.progress[0].steps.size(), static_cast<std::size_t>(GetParam()));
    EXPECT_TRUE(windows_.messages.empty());
    EXPECT_FALSE(form_.LoadRequest());
    EXPECT_EQ(form_.CurFileName(), folder_ / "own.qvd");
    EXPECT_EQ(form_.EditTitle(), "mine");
    EXPECT_EQ(Grid().ColCount(), 4);
    EXPECT_EQ(Grid().RowCount(), 6);
    EXPECT_EQ(Grid().ColWidth(3), 99);
    EXPECT_EQ(Grid().CellText(1, 0), "own name");
    EXPECT_EQ(Grid().CellText(3, 2), "own cell");
    EXPECT_EQ(windows_.mainGeometry.width, 300);
    // Renumbered, as after a cancelled open dialog.
    EXPECT_EQ(Grid().CellText(0, 3), "  3");
}

INSTANTIATE_TEST_SUITE_P(WhileReadingOrParsing, CancelledLoadTest, ::testing::Values(1, 3));

TEST_F(MainFormProgressTest, ASaveReportsItsRowsAndCannotBeCancelled) {
    form_.RequestLoad(bigFile_);
    form_.LoadTableFile();
    windows_.progress.clear();
    windows_.progressCalls = 0;
    windows_.cancelProgressAtCall = 1;
    const std::string copy = folder_ / "copy.qvd";
    form_.SetCurFileName(copy);

    form_.SaveFile();

    ASSERT_EQ(windows_.progress.size(), 1u);
    const test::RecordedProgress& save = windows_.progress[0];
    EXPECT_EQ(save.title, "データの保存");
    EXPECT_EQ(save.kind, ProgressKind::Save);
    EXPECT_TRUE(save.ended);
    ASSERT_GE(save.steps.size(), 2u);
    EXPECT_EQ(save.steps.back(), std::make_pair(uint64_t{kBigRows}, uint64_t{kBigRows}));
    EXPECT_EQ(ReadWholeFile(copy), ReadWholeFile(bigFile_));
}

TEST_F(MainFormProgressTest, ARejectedFileEndsItsProgressBeforeTheMessage) {
    const std::string other = folder_ / "other.txt";
    test::WriteTestFile(other, "not a table\r\n");
    windows_.openDialogAnswers.push_back(other);
    form_.Open1Click();
    ASSERT_EQ(windows_.progress.size(), 1u);
    EXPECT_TRUE(windows_.progress[0].ended);
    EXPECT_EQ(windows_.progress[0].messagesBeforeEnd, 0u);
    EXPECT_EQ(windows_.messages.size(), 1u);
}

}  // namespace
}  // namespace qv
