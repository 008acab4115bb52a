// The main window's file commands, title list operations, start-up, activation, close and the
// commands of its map that only open other windows.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "app/title_list_window.h"
#include "data/table_file_examples.h"
#include "platform/failure.h"
#include "platform/files_testing.h"
#include "platform/temp_folder.h"

namespace qv {
namespace {

using test::FakeWindowSystem;
using test::ReadTestFile;
using test::WriteTestFile;

class MainFormFilesTest : public ::testing::Test {
protected:
    MainFormFilesTest()
        : stores_{folder_ / "Quorvane.ini", folder_ / "Quorvane.hst"},
          form_(windows_, stores_, "."),
          history_(form_, windows_) {
        form_.AttachTitleListWindow(&history_);
        form_.FormCreate();
        windows_.calls.clear();
    }

    TableGrid& Grid() { return form_.StringGrid(); }

    // A table that differs from the example everywhere.
    void MakeOwnTable() {
        form_.SetEditTitle("mine");
        Grid().SetColCount(4);
        Grid().SetRowCount(6);
        Grid().SetColWidth(3, 99);
        Grid().SetCell(1, 0, "own name");
        Grid().SetCell(3, 2, "own cell");
        windows_.mainGeometry = WindowGeometry{1, 2, 300, 200};
    }

    void ExpectOwnTable() {
        EXPECT_EQ(form_.EditTitle(), "mine");
        EXPECT_EQ(Grid().ColCount(), 4);
        EXPECT_EQ(Grid().RowCount(), 6);
        EXPECT_EQ(Grid().ColWidth(3), 99);
        EXPECT_EQ(Grid().CellText(1, 0), "own name");
        EXPECT_EQ(Grid().CellText(3, 2), "own cell");
        EXPECT_EQ(windows_.mainGeometry.width, 300);
    }

    std::string Example(const std::string& name = "example.qvd") {
        std::string path = folder_ / name;
        WriteTestFile(path, test::ExampleTableFile());
        return path;
    }

    // Opens `path` through the open dialog.
    void OpenThroughDialog(const std::string& path) {
        windows_.openDialogAnswers.push_back(path);
        form_.Open1Click();
    }

    static std::string FailureOf(const std::function<void()>& command) {
        try {
            command();
        } catch (const Failure& failure) {
            return failure.what();
        }
        return "(no failure)";
    }

    test::TempFolder folder_;
    StoreLocations stores_;
    FakeWindowSystem windows_;
    TFormMain form_;
    TForm_History history_;
};

// --- Start-up, activation, close ---

TEST_F(MainFormFilesTest, CreationSetsTheStartValuesAndTheDesignGeometry) {
    EXPECT_EQ(form_.CurFileName(), "");
    EXPECT_FALSE(form_.LoadRequest());
    EXPECT_TRUE(form_.FirstActivate());
    EXPECT_EQ(windows_.mainGeometry.left, 294);
    EXPECT_EQ(windows_.mainGeometry.top, 211);
    EXPECT_EQ(windows_.mainGeometry.width, 276);
    EXPECT_EQ(windows_.mainGeometry.height, 247);
    EXPECT_EQ(Grid().ColCount(), 3);
    EXPECT_EQ(Grid().RowCount(), 6);
    EXPECT_EQ(Grid().ColWidth(1), 153);
    EXPECT_EQ(Grid().ColWidth(2), 69);
}

TEST_F(MainFormFilesTest, CreationRestoresTheStoredMainGeometry) {
    WriteTestFile(stores_.settingsFile,
                  "[Title]\r\nWidth=1\r\n[main]\r\nWidth=0x1F4\r\nLeft=-1\r\n"
                  "Top=-8\r\nHeight=abc\r\n");
    FakeWindowSystem windows;
    TFormMain form(windows, stores_, ".");
    form.FormCreate();
    EXPECT_EQ(windows.mainGeometry.left, 294);
    EXPECT_EQ(windows.mainGeometry.top, -8);
    EXPECT_EQ(windows.mainGeometry.width, 500);
    EXPECT_EQ(windows.mainGeometry.height, 247);
}

TEST_F(MainFormFilesTest, FirstActivationRenumbersLoadsTheHistoryAndShowsTheTitleList) {
    std::string table = Example();
    WriteTestFile(stores_.historyFile, table + "\r\nT\r\n");
    form_.FormActivate();
    EXPECT_EQ(Grid().CellText(0, 1), "  1");
    EXPECT_EQ(Grid().CellText(0, 5), "  5");
    ASSERT_EQ(form_.Titles().Size(), 1u);
    EXPECT_EQ(form_.Titles().Title(0), "T");
    EXPECT_EQ(windows_.calls,
              (std::vector<std::string>{"TitleListChanged", "ShowTitleListWindow"}));
    EXPECT_FALSE(form_.FirstActivate());

    // Later activations neither reload a list that has entries nor show the window again.
    windows_.calls.clear();
    form_.FormActivate();
    EXPECT_TRUE(windows_.calls.empty());
    EXPECT_EQ(form_.Titles().Size(), 1u);
}

TEST_F(MainFormFilesTest, AnEmptiedListIsReadAgainAtTheNextActivation) {
    std::string table = Example();
    WriteTestFile(stores_.historyFile, table + "\r\nT\r\n");
    form_.ClearFirstActivate();
    form_.FormActivate();
    form_.Titles().Clear();
    form_.FormActivate();
    EXPECT_EQ(form_.Titles().Size(), 1u);
    EXPECT_EQ(windows_.CallCount("ShowTitleListWindow"), 0);
}

TEST_F(MainFormFilesTest, AFailingHistoryReadSkipsTheRestOfTheActivation) {
    // /proc/self/mem is a file that exists but whose reading from its start fails.
    FakeWindowSystem windows;
    TFormMain form(windows, StoreLocations{stores_.settingsFile, "/proc/self/mem"}, ".");
    form.FormCreate();
    EXPECT_THROW(form.FormActivate(), Failure);
    EXPECT_EQ(form.StringGrid().CellText(0, 1), "  1");
    EXPECT_EQ(windows.CallCount("ShowTitleListWindow"), 0);
    EXPECT_TRUE(form.FirstActivate());
}

TEST_F(MainFormFilesTest, CloseWritesTheHistoryThenTheMainGeometry) {
    form_.Titles().Append("/t.qvd", "T");
    windows_.mainGeometry = WindowGeometry{-3, 4, 500, 600};
    form_.FormClose();
    EXPECT_EQ(ReadTestFile(stores_.historyFile), "/t.qvd\r\nT\r\n");
    EXPECT_EQ(ReadTestFile(stores_.settingsFile),
              "[Main]\r\nLeft=-3\r\nTop=4\r\nWidth=500\r\nHeight=600\r\n");
}

TEST_F(MainFormFilesTest, CloseWithAnEmptyListLeavesTheHistoryFile) {
    WriteTestFile(stores_.historyFile, "as it was");
    form_.FormClose();
    EXPECT_EQ(ReadTestFile(stores_.historyFile), "as it was");
}

TEST_F(MainFormFilesTest, AFailingHistoryWriteStopsTheCloseBeforeTheSettings) {
    FakeWindowSystem windows;
    TFormMain form(windows, StoreLocations{stores_.settingsFile, folder_ / "no/such.hst"}, ".");
    form.Titles().Append("/t.qvd", "T");
    EXPECT_EQ(FailureOf([&] { form.FormClose(); }), "不正なﾌｧｲﾙ名です");
    EXPECT_EQ(folder_.Listing(), "");
}

TEST_F(MainFormFilesTest, AFailingSettingsWriteRaises) {
    FakeWindowSystem windows;
    std::string settings = folder_ / "no/Quorvane.ini";
    TFormMain form(windows, StoreLocations{settings, stores_.historyFile}, ".");
    EXPECT_EQ(FailureOf([&] { form.FormClose(); }), settings + " に書き込めません");
}

// --- Opening ---

TEST_F(MainFormFilesTest, TheOpenDialogAsksForTableFiles) {
    windows_.openDialogAnswers.push_back(std::nullopt);
    form_.Open1Click();
    ASSERT_EQ(windows_.openDialogRequests.size(), 1u);
    const FileDialogRequest& request = windows_.openDialogRequests[0];
    EXPECT_EQ(request.title, "データの読み込み");
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].name, "Quorvaneの表データ(*.qvd)");
    EXPECT_EQ(request.filters[0].pattern, "*.qvd");
    EXPECT_EQ(request.filters[1].name, "すべてのファイル(*.*)");
    EXPECT_EQ(request.filters[1].pattern, "*.*");
    EXPECT_EQ(request.selectedFilter, 0);
    EXPECT_EQ(request.fileName, "");
    EXPECT_FALSE(request.confirmOverwrite);
}

TEST_F(MainFormFilesTest, CancellingTheOpenDialogOnlyRenumbersTheRows) {
    MakeOwnTable();
    windows_.openDialogAnswers.push_back(std::nullopt);
    form_.Open1Click();
    ExpectOwnTable();
    EXPECT_EQ(Grid().CellText(0, 3), "  3");
    EXPECT_FALSE(form_.LoadRequest());
    EXPECT_EQ(form_.CurFileName(), "");
    EXPECT_EQ(windows_.calls, (std::vector<std::string>{"RunOpenDialog"}));
}

TEST_F(MainFormFilesTest, OpeningATableFileLoadsEverything) {
    std::string path = Example();
    OpenThroughDialog(path);
    EXPECT_EQ(form_.CurFileName(), path);
    EXPECT_FALSE(form_.LoadRequest());
    EXPECT_EQ(form_.OpenDialogFileName(), path);
    EXPECT_EQ(form_.EditTitle(), test::kKaimono);
    EXPECT_EQ(windows_.mainGeometry.left, 294);
    EXPECT_EQ(windows_.mainGeometry.height, 247);
    EXPECT_EQ(Grid().RowCount(), 3);
    EXPECT_EQ(Grid().CellText(1, 2), test::kMikan);
    EXPECT_EQ(Grid().CellText(0, 2), "  2");
    EXPECT_EQ(windows_.CallCount("TitleChanged"), 1);
    // Opening does not touch the title list.
    EXPECT_TRUE(form_.Titles().Empty());

    // The dialog opens with the path confirmed last.
    windows_.openDialogAnswers.push_back(std::nullopt);
    form_.Open1Click();
    EXPECT_EQ(windows_.openDialogRequests.back().fileName, path);
}

TEST_F(MainFormFilesTest, ARejectedFileShowsOneErrorBoxAndChangesNothing) {
    std::string loaded = Example();
    OpenThroughDialog(loaded);
    MakeOwnTable();
    Grid().SetCell(0, 1, "stale");
    std::string notATable = folder_ / "notes.txt";
    WriteTestFile(notATable, "Quorvane\n100\n");
    windows_.calls.clear();
    OpenThroughDialog(notATable);
    ASSERT_EQ(windows_.messages.size(), 1u);
    EXPECT_EQ(windows_.messages[0].text, "このファイルは使用できません。");
    EXPECT_EQ(windows_.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(windows_.messages[0].buttons, Buttons(MessageButton::OK));
    EXPECT_EQ(windows_.calls, (std::vector<std::string>{"RunOpenDialog", "ShowMessage"}));
    ExpectOwnTable();
    EXPECT_EQ(Grid().CellText(0, 1), "stale");  // not renumbered
    EXPECT_EQ(form_.CurFileName(), loaded);
    EXPECT_FALSE(form_.LoadRequest());
    EXPECT_EQ(form_.OpenDialogFileName(), notATable);
}

TEST_F(MainFormFilesTest, LoadFailuresPropagateAndChangeNothing) {
    std::string loaded = Example();
    OpenThroughDialog(loaded);
    MakeOwnTable();
    struct Case {
        std::string contents;  // empty: no file
        const char* message;
    };
    const Case cases[] = {
        {"", "ﾌｧｲﾙが見つかりません"},
        {test::TableFileOf({"Quorvane", "100", "5", "6", "7", "8", "-", "T", "3", "9", "10", "x"}),
         "'x' は整数ではありません"},
        {test::TableFileOf({"Quorvane", "100", "5", "6", "7", "8", "-", "T", "3", "134217726"}),
         "ｸﾞﾘｯﾄﾞが大きすぎます"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        std::string path = folder_ / ("bad" + std::to_string(n++) + ".qvd");
        if (!c.contents.empty()) {
            WriteTestFile(path, c.contents);
        }
        windows_.openDialogAnswers.push_back(path);
        EXPECT_EQ(FailureOf([&] { form_.Open1Click(); }), c.message);
        ExpectOwnTable();
        EXPECT_EQ(form_.CurFileName(), loaded);
        EXPECT_FALSE(form_.LoadRequest());
        EXPECT_TRUE(windows_.messages.empty());
    }
}

TEST_F(MainFormFilesTest, ALoadRequestWithoutAPendingPathReadsCurFileName) {
    std::string path = Example();
    form_.SetCurFileName(path);
    form_.SetLoadRequest(true);
    form_.LoadTableFile();
    EXPECT_EQ(form_.EditTitle(), test::kKaimono);
    EXPECT_TRUE(windows_.openDialogRequests.empty());
    EXPECT_FALSE(form_.LoadRequest());
}

// --- Saving ---

TEST_F(MainFormFilesTest, TheFirstSaveAsksForANameAndAppendsTheExtension) {
    form_.SetEditTitle("list");
    windows_.saveDialogAnswers.push_back(folder_ / "list1");
    form_.KO1Click();
    ASSERT_EQ(windows_.saveDialogRequests.size(), 1u);
    const FileDialogRequest& request = windows_.saveDialogRequests[0];
    EXPECT_EQ(request.title, "データの保存");
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].name, "Quorvaneのデータ(*.qvd)");
    EXPECT_EQ(request.filters[0].pattern, "*.qvd");
    EXPECT_EQ(request.filters[1].name, "すべてのファイル(*.*)");
    EXPECT_EQ(request.filters[1].pattern, "*.*");
    EXPECT_EQ(request.selectedFilter, 0);
    EXPECT_EQ(request.fileName, "");
    EXPECT_TRUE(request.confirmOverwrite);

    EXPECT_EQ(form_.CurFileName(), folder_ / "list1.qvd");
    EXPECT_EQ(folder_.Listing(), "list1.qvd;");
    EXPECT_EQ(form_.SaveDialogFileName(), folder_ / "list1");

    // The next save writes the same file without a dialog.
    Grid().SetCell(1, 1, "changed");
    form_.SpeedButton5Click();
    EXPECT_EQ(windows_.saveDialogRequests.size(), 1u);
    EXPECT_NE(ReadTestFile(folder_ / "list1.qvd").find("changed"), std::string::npos);

    // Save as opens with the name confirmed last, without the appended extension.
    windows_.saveDialogAnswers.push_back(std::nullopt);
    form_.K21Click();
    EXPECT_EQ(windows_.saveDialogRequests.back().fileName, folder_ / "list1");
}

TEST_F(MainFormFilesTest, OnlyAPathWithoutExtensionGetsQvd) {
    std::filesystem::create_directory(folder_ / "dir.x");
    struct Case {
        std::string chosen;
        std::string written;
    };
    const Case cases[] = {
        {"list1.txt", "list1.txt"}, {"list1.", "list1."}, {"dir.x/list1", "dir.x/list1.qvd"},
        {".hidden", ".hidden"},     {"a.b.c", "a.b.c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        windows_.saveDialogAnswers.push_back(folder_ / c.chosen);
        form_.K21Click();
        EXPECT_EQ(form_.CurFileName(), folder_ / c.written);
        EXPECT_TRUE(std::filesystem::is_regular_file(folder_ / c.written));
    }
}

TEST_F(MainFormFilesTest, ReplacingTheFileWithTheAppendedExtensionIsConfirmed) {
    WriteTestFile(folder_ / "list1.qvd", "precious");
    Grid().SetCell(1, 1, "new");
    windows_.saveDialogAnswers.push_back(folder_ / "list1");
    windows_.messageAnswers.push_back(MessageButton::No);
    form_.K21Click();
    ASSERT_EQ(windows_.messages.size(), 1u);
    EXPECT_EQ(windows_.messages[0].text,
              (folder_ / "list1.qvd") + " は既に存在します。\n上書きしますか？");
    EXPECT_EQ(windows_.messages[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(ReadTestFile(folder_ / "list1.qvd"), "precious");
    EXPECT_EQ(form_.CurFileName(), "");

    windows_.saveDialogAnswers.push_back(folder_ / "list1");
    windows_.messageAnswers.push_back(MessageButton::Yes);
    form_.K21Click();
    EXPECT_EQ(form_.CurFileName(), folder_ / "list1.qvd");
    EXPECT_NE(ReadTestFile(folder_ / "list1.qvd").find("new"), std::string::npos);
}

TEST_F(MainFormFilesTest, ACancelledSaveChangesNothing) {
    windows_.saveDialogAnswers.push_back(std::nullopt);
    form_.K21Click();
    EXPECT_EQ(form_.CurFileName(), "");
    EXPECT_TRUE(form_.Titles().Empty());
    EXPECT_EQ(folder_.Listing(), "");
}

TEST_F(MainFormFilesTest, SavingPutsTheTableOnceAtTheTopOfTheTitleList) {
    form_.Titles().Append("/other.qvd", "other");
    std::string path = folder_ / "t.qvd";
    form_.Titles().Append(" " + path, "old title");
    form_.Titles().Append(folder_ / "T.qvd", "case differs");
    form_.SetCurFileName(path);
    form_.SetEditTitle("first");
    form_.SaveFile();
    form_.SetEditTitle(" second ");
    form_.SaveFile();
    EXPECT_EQ(form_.Titles().Paths(),
              (std::vector<std::string>{path, "/other.qvd", folder_ / "T.qvd"}));
    EXPECT_EQ(form_.Titles().Titles(),
              (std::vector<std::string>{" second ", "other", "case differs"}));
    EXPECT_EQ(windows_.CallCount("TitleListChanged"), 2);
}

TEST_F(MainFormFilesTest, ASavedTableOpensAsItWas) {
    MakeOwnTable();
    Grid().SetCell(2, 5, "last\ncell");
    form_.SetCurFileName(folder_ / "own.qvd");
    form_.SaveFile();

    FakeWindowSystem windows;
    TFormMain other(windows, stores_, ".");
    other.FormCreate();
    windows.openDialogAnswers.push_back(folder_ / "own.qvd");
    other.Open1Click();
    EXPECT_EQ(other.EditTitle(), "mine");
    EXPECT_EQ(windows.mainGeometry.left, 1);
    EXPECT_EQ(windows.mainGeometry.width, 300);
    EXPECT_EQ(other.StringGrid().ColCount(), 4);
    EXPECT_EQ(other.StringGrid().ColWidth(3), 99);
    EXPECT_EQ(other.StringGrid().CellText(3, 2), "own cell");
    EXPECT_EQ(other.StringGrid().CellText(2, 5), "last\ncell");
}

TEST_F(MainFormFilesTest, AWriteThatFailsHalfWayKeepsTheOldFileAndUpdatesTheTitleList) {
    std::string path = Example();
    form_.SetCurFileName(path);
    form_.SetEditTitle("new title");
    FileFaults faults;
    faults.failingWrite = 1;
    faults.bytesBeforeWriteError = 20;
    faults.writeErrno = ENOSPC;
    SetFileFaultsForTesting(&faults);
    std::string message = FailureOf([&] { form_.SaveFile(); });
    SetFileFaultsForTesting(nullptr);
    EXPECT_EQ(message, "I/O ｴﾗｰ (112)");
    EXPECT_EQ(ReadTestFile(path), test::ExampleTableFile());
    EXPECT_EQ(folder_.Listing(), "example.qvd;");
    ASSERT_EQ(form_.Titles().Size(), 1u);
    EXPECT_EQ(form_.Titles().Title(0), "new title");
    EXPECT_EQ(windows_.CallCount("TitleListChanged"), 1);
}

TEST_F(MainFormFilesTest, AReadOnlyTableFileIsNotReplaced) {
    std::string path = Example();
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    form_.SetCurFileName(path);
    form_.SetEditTitle("new title");
    EXPECT_EQ(FailureOf([&] { form_.SaveFile(); }), "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    EXPECT_EQ(ReadTestFile(path), test::ExampleTableFile());
    EXPECT_EQ(folder_.Listing(), "example.qvd;");
    ASSERT_EQ(form_.Titles().Size(), 1u);
    EXPECT_EQ(form_.Titles().Title(0), "new title");
}

TEST_F(MainFormFilesTest, AFileThatCannotBeCreatedFailsAfterTheTitleListWasUpdated) {
    windows_.saveDialogAnswers.push_back(folder_ / "missing/list");
    EXPECT_EQ(FailureOf([&] { form_.K21Click(); }), "不正なﾌｧｲﾙ名です");
    EXPECT_EQ(form_.CurFileName(), folder_ / "missing/list.qvd");
    ASSERT_EQ(form_.Titles().Size(), 1u);
    EXPECT_EQ(form_.Titles().Path(0), folder_ / "missing/list.qvd");
}

// --- Commands that open other windows ---

TEST_F(MainFormFilesTest, CommandsThatShowOtherWindows) {
    form_.K6Click();
    form_.SpeedButton4Click();
    form_.Tutorial1Click();
    form_.SpeedButton2Click();
    form_.KQuorvane1Click();
    form_.Exit1Click();
    EXPECT_EQ(windows_.calls,
              (std::vector<std::string>{"ShowTitleListWindow", "ShowTitleListWindow", "ShowHelp",
                                        "ShowHelp", "ShowAboutBox", "CloseMainWindow"}));
    EXPECT_EQ(windows_.helpRequests,
              (std::vector<HelpCommand>{HelpCommand::Contents, HelpCommand::Finder}));
}

TEST_F(MainFormFilesTest, TheExitButtonClosesTheTitleListWindowFirst) {
    windows_.titleListGeometry = WindowGeometry{5, 6, 7, 8};
    windows_.titleListVisible = true;
    form_.SpeedButton3Click();
    EXPECT_EQ(ReadTestFile(stores_.settingsFile),
              "[Title]\r\nLeft=5\r\nTop=6\r\nWidth=7\r\nHeight=8\r\n");
    EXPECT_EQ(windows_.calls, (std::vector<std::string>{"HideTitleListWindow", "CloseMainWindow"}));
}

TEST_F(MainFormFilesTest, TheExitButtonStopsWhenTheTitleListWindowCannotStoreItsPlace) {
    FakeWindowSystem windows;
    TFormMain form(windows, StoreLocations{folder_ / "no/Quorvane.ini", stores_.historyFile}, ".");
    TForm_History history(form, windows);
    form.AttachTitleListWindow(&history);
    windows.titleListVisible = true;
    EXPECT_THROW(form.SpeedButton3Click(), Failure);
    EXPECT_TRUE(windows.titleListVisible);
    EXPECT_EQ(windows.mainWindowCloseRequests, 0);
}

}  // namespace
}  // namespace qv
