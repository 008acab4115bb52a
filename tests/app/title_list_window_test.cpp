// The title list window: reopening, deleting and erasing entries, its place and size, closing.
#include "app/title_list_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "data/table_file_examples.h"
#include "platform/failure.h"
#include "platform/temp_folder.h"

namespace qv {
namespace {

using test::FakeWindowSystem;
using test::ReadTestFile;
using test::WriteTestFile;

class TitleListWindowTest : public ::testing::Test {
protected:
    TitleListWindowTest()
        : stores_{folder_ / "Quorvane.ini", folder_ / "Quorvane.hst"},
          form_(windows_, stores_, "."),
          history_(form_, windows_) {
        form_.AttachTitleListWindow(&history_);
        form_.FormCreate();
        history_.FormCreate();
        windows_.calls.clear();
    }

    // Adds an entry whose file holds `contents` (no file when nullptr).
    std::string AddEntry(const std::string& name, const std::string& title, const char* contents) {
        std::string path = folder_ / name;
        if (contents != nullptr) {
            WriteTestFile(path, contents);
        }
        form_.Titles().Append(path, title);
        return path;
    }
    std::string AddTable(const std::string& name, const std::string& title) {
        std::string path = folder_ / name;
        WriteTestFile(path, test::ExampleTableFile());
        form_.Titles().Append(path, title);
        return path;
    }

    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

    test::TempFolder folder_;
    StoreLocations stores_;
    FakeWindowSystem windows_;
    TFormMain form_;
    TForm_History history_;
};

// --- Place, size, activation, closing ---

TEST_F(TitleListWindowTest, CreationPlacesTheWindowAsDesignedOrAsStored) {
    EXPECT_EQ(windows_.titleListGeometry.left, 254);
    EXPECT_EQ(windows_.titleListGeometry.top, 147);
    EXPECT_EQ(windows_.titleListGeometry.width, 335);
    EXPECT_EQ(windows_.titleListGeometry.height, 177);

    WriteTestFile(stores_.settingsFile, "[Title]\nLeft=-1\nTop=12px\nWidth=$1F4\nHeight=90\n");
    history_.FormCreate();
    EXPECT_EQ(windows_.titleListGeometry.left, 254);
    EXPECT_EQ(windows_.titleListGeometry.top, 147);
    EXPECT_EQ(windows_.titleListGeometry.width, 500);
    EXPECT_EQ(windows_.titleListGeometry.height, 90);
}

TEST_F(TitleListWindowTest, ActivationKeepsTheMainWindowFromOpeningItAgain) {
    history_.FormActivate();
    EXPECT_FALSE(form_.FirstActivate());
    form_.FormActivate();
    EXPECT_EQ(windows_.CallCount("ShowTitleListWindow"), 0);
}

TEST_F(TitleListWindowTest, TheCloseButtonDropsALoadRequestStoresThePlaceAndHides) {
    std::string path = AddTable("t.qvd", "T");
    form_.RequestLoad(path);
    windows_.titleListVisible = true;
    windows_.titleListGeometry = WindowGeometry{1, 2, 3, 4};
    history_.Button2Click();
    EXPECT_FALSE(form_.LoadRequest());
    EXPECT_FALSE(windows_.titleListVisible);
    EXPECT_EQ(ReadTestFile(stores_.settingsFile),
              "[Title]\r\nLeft=1\r\nTop=2\r\nWidth=3\r\nHeight=4\r\n");
    // The dropped request is gone: the next open shows the dialog.
    windows_.openDialogAnswers.push_back(std::nullopt);
    form_.LoadTableFile();
    EXPECT_EQ(windows_.openDialogRequests.size(), 1u);
    EXPECT_EQ(form_.EditTitle(), "");
}

TEST_F(TitleListWindowTest, AFailedCloseKeepsTheWindowShown) {
    FakeWindowSystem windows;
    std::string settings = folder_ / "no/Quorvane.ini";
    TFormMain form(windows, StoreLocations{settings, stores_.historyFile}, ".");
    TForm_History history(form, windows);
    windows.titleListVisible = true;
    try {
        history.Button2Click();
        ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.message(), settings + " に書き込めません");
    }
    EXPECT_TRUE(windows.titleListVisible);
}

// --- Reopening ---

TEST_F(TitleListWindowTest, ReopeningLoadsTheSelectedTableWithoutTheOpenDialog) {
    AddTable("a.qvd", "A");
    std::string b = AddTable("b.qvd", "B");
    history_.ListBox_TiTleDblClick(1);
    EXPECT_EQ(form_.EditTitle(), test::kKaimono);
    EXPECT_EQ(form_.CurFileName(), b);
    EXPECT_FALSE(form_.LoadRequest());
    EXPECT_EQ(form_.SaveDialogFileName(), b);
    EXPECT_TRUE(windows_.openDialogRequests.empty());
    // The entry keeps its place and the window stays.
    EXPECT_EQ(form_.Titles().Path(1), b);
    EXPECT_EQ(windows_.CallCount("HideTitleListWindow"), 0);

    // A save under a new name offers the reopened file.
    windows_.saveDialogAnswers.push_back(std::nullopt);
    form_.K21Click();
    EXPECT_EQ(windows_.saveDialogRequests.back().fileName, b);
}

TEST_F(TitleListWindowTest, ReopeningWithoutASelectionDoesNothing) {
    history_.Button1Click(0);  // empty list
    AddTable("a.qvd", "A");
    history_.Button1Click(-1);
    history_.ListBox_TiTleDblClick(1);
    EXPECT_TRUE(windows_.calls.empty());
    EXPECT_EQ(form_.CurFileName(), "");
    EXPECT_EQ(form_.StringGrid().CellText(0, 1), "");
}

TEST_F(TitleListWindowTest, AFailedReopenKeepsCurFileNameButOffersThePathForSaving) {
    std::string current = AddTable("current.qvd", "C");
    history_.Button1Click(0);
    std::string missing = AddEntry("gone.qvd", "G", nullptr);
    EXPECT_THROW(history_.Button1Click(1), Failure);
    EXPECT_EQ(form_.CurFileName(), current);
    EXPECT_EQ(form_.SaveDialogFileName(), missing);
    EXPECT_FALSE(form_.LoadRequest());

    AddEntry("notes.txt", "N", "plain text\r\n");
    history_.Button1Click(2);
    ASSERT_EQ(windows_.messages.size(), 1u);
    EXPECT_EQ(windows_.messages[0].text, "このファイルは使用できません。");
    EXPECT_EQ(form_.CurFileName(), current);
    EXPECT_FALSE(form_.LoadRequest());
    // A later save writes the table shown to its own file, not to the refused one.
    form_.SaveFile();
    EXPECT_EQ(ReadTestFile(folder_ / "notes.txt"), "plain text\r\n");
}

// --- Deleting ---

TEST_F(TitleListWindowTest, DeleteAsksWithTheTitleAndDeletesTheTableAndTheEntry) {
    AddTable("a.qvd", "A");
    std::string b = AddTable("b.qvd", std::string(test::kKaimono));
    windows_.messageAnswers.push_back(MessageButton::Yes);
    history_.Button4Click(1);
    ASSERT_EQ(windows_.messages.size(), 1u);
    EXPECT_EQ(windows_.messages[0].text, "選択された表「 買い物 」を\n本当に削除しますか？");
    EXPECT_EQ(windows_.messages[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(windows_.messages[0].buttons, MessageButton::Yes | MessageButton::No);
    EXPECT_FALSE(Exists(b));
    EXPECT_EQ(form_.Titles().Titles(), (std::vector<std::string>{"A"}));
    EXPECT_EQ(ReadTestFile(stores_.historyFile), folder_ / "a.qvd" + "\r\nA\r\n");
    EXPECT_EQ(windows_.CallCount("TitleListChanged"), 1);
}

TEST_F(TitleListWindowTest, AnsweringNoOrWithoutSelectionChangesNothing) {
    std::string a = AddTable("a.qvd", "A");
    history_.Button4Click(-1);
    history_.Button4Click(1);
    EXPECT_TRUE(windows_.messages.empty());
    windows_.messageAnswers.push_back(MessageButton::No);
    history_.Button4Click(0);
    windows_.messageAnswers.push_back(MessageButton::Cancel);
    history_.Button4Click(0);
    EXPECT_TRUE(Exists(a));
    EXPECT_EQ(form_.Titles().Size(), 1u);
    EXPECT_FALSE(Exists(stores_.historyFile));
}

TEST_F(TitleListWindowTest, AnEmptyTitleAsksWithTwoSpacesBetweenTheBrackets) {
    AddTable("a.qvd", "");
    windows_.messageAnswers.push_back(MessageButton::No);
    history_.Button4Click(0);
    ASSERT_EQ(windows_.messages.size(), 1u);
    EXPECT_EQ(windows_.messages[0].text, "選択された表「  」を\n本当に削除しますか？");
}

TEST_F(TitleListWindowTest, OnlyTableFilesAreDeletedFromTheDisk) {
    struct Case {
        const char* contents;  // nullptr: the file is gone already
        bool deleted;
    };
    const Case cases[] = {
        {"Quorvane\r\n100\r\n", true},    {"Quorvane", true}, {"Quorvane\n100\n", false},
        {"#!/bin/sh\nrm -rf /\n", false}, {"", false},        {nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.contents == nullptr ? "(none)" : c.contents);
        form_.Titles().Clear();
        std::string keep = AddTable("keep.qvd", "keep");
        std::string path = AddEntry("entry", "E", c.contents);
        windows_.messageAnswers.push_back(MessageButton::Yes);
        history_.Button4Click(1);
        EXPECT_EQ(Exists(path), c.contents != nullptr && !c.deleted);
        // The entry goes in every case.
        EXPECT_EQ(form_.Titles().Paths(), (std::vector<std::string>{keep}));
        std::filesystem::remove(path);
    }
}

TEST_F(TitleListWindowTest, DeletingTheLastEntryLeavesTheHistoryFileAndItDoesNotComeBack) {
    std::string a = AddTable("a.qvd", "A");
    form_.FormClose();
    const std::string before = ReadTestFile(stores_.historyFile);
    windows_.messageAnswers.push_back(MessageButton::Yes);
    history_.Button4Click(0);
    EXPECT_TRUE(form_.Titles().Empty());
    EXPECT_EQ(ReadTestFile(stores_.historyFile), before);
    form_.ClearFirstActivate();
    form_.FormActivate();
    EXPECT_TRUE(form_.Titles().Empty());
}

TEST_F(TitleListWindowTest, AFailedHistorySaveAfterADeleteRaisesWithTheEntryGone) {
    FakeWindowSystem windows;
    TFormMain form(windows, StoreLocations{stores_.settingsFile, folder_ / "no/h.hst"}, ".");
    TForm_History history(form, windows);
    form.Titles().Append("/x", "X");
    form.Titles().Append("/y", "Y");
    windows.messageAnswers.push_back(MessageButton::Yes);
    EXPECT_THROW(history.Button4Click(0), Failure);
    EXPECT_EQ(form.Titles().Titles(), (std::vector<std::string>{"Y"}));
}

// --- Erasing ---

TEST_F(TitleListWindowTest, EraseAsksEvenWhenTheListIsEmpty) {
    windows_.messageAnswers.push_back(MessageButton::No);
    history_.Button3Click();
    ASSERT_EQ(windows_.messages.size(), 1u);
    EXPECT_EQ(windows_.messages[0].text, "本当にタイトル一覧を全て消去しますか？");
    EXPECT_EQ(windows_.messages[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(windows_.messages[0].buttons, MessageButton::Yes | MessageButton::No);
}

TEST_F(TitleListWindowTest, EraseEmptiesTheListAndDeletesOnlyTheHistoryFile) {
    std::string a = AddTable("a.qvd", "A");
    form_.FormClose();
    windows_.messageAnswers.push_back(MessageButton::No);
    history_.Button3Click();
    EXPECT_EQ(form_.Titles().Size(), 1u);
    EXPECT_TRUE(Exists(stores_.historyFile));

    windows_.messageAnswers.push_back(MessageButton::Yes);
    history_.Button3Click();
    EXPECT_TRUE(form_.Titles().Empty());
    EXPECT_FALSE(Exists(stores_.historyFile));
    EXPECT_TRUE(Exists(a));
    EXPECT_EQ(windows_.CallCount("TitleListChanged"), 1);

    // Erasing again with no history file is no failure.
    windows_.messageAnswers.push_back(MessageButton::Yes);
    history_.Button3Click();
}

}  // namespace
}  // namespace qv
