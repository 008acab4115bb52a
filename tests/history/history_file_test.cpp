#include "history/history_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "data/table_file_examples.h"
#include "platform/failure.h"
#include "platform/files_testing.h"
#include "platform/temp_folder.h"

namespace qv {
namespace {

class HistoryFileTest : public ::testing::Test {
protected:
    // Creates a file in the temp folder and returns its path.
    std::string Existing(const std::string& name) {
        std::string path = folder_ / name;
        test::WriteTestFile(path, "x");
        return path;
    }

    test::TempFolder folder_;
    std::string historyPath_ = folder_ / "Quorvane.hst";
};

TEST_F(HistoryFileTest, WritesPathAndTitleLinesFromTheTop) {
    TitleList list;
    list.Append("D:\\Data\\books.qvd", std::string(test::kKaimono));
    list.Append("D:\\Data\\address.qvd", "");
    EXPECT_EQ(BuildHistoryFile(list), "D:\\Data\\books.qvd\r\n" + std::string(test::kKaimono) +
                                          "\r\nD:\\Data\\address.qvd\r\n\r\n");
}

TEST_F(HistoryFileTest, WritesAtMost51Entries) {
    TitleList list;
    for (int i = 0; i < 60; ++i) {
        list.Append("/p" + std::to_string(i), "t" + std::to_string(i));
    }
    std::string text = BuildHistoryFile(list);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 102);
    EXPECT_TRUE(text.ends_with("/p50\r\nt50\r\n"));
    EXPECT_EQ(list.Size(), 60u);
}

TEST_F(HistoryFileTest, LoadsOnlyEntriesWhoseFilesExistInTheFileOrder) {
    std::string a = Existing("a.qvd");
    std::string c = Existing("c.qvd");
    test::WriteTestFile(historyPath_, a + "\r\nA\r\n" + folder_ / "gone.qvd" + "\r\nGone\r\n" +
                                          folder_.Path() + "\r\nFolder\r\n" + c + "\r\nC\r\n" + a +
                                          "\r\nA again\r\n");
    TitleList list;
    list.Append("/already", "there");
    LoadHistoryFile(historyPath_, list);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/already", a, c, a}));
    EXPECT_EQ(list.Titles(), (std::vector<std::string>{"there", "A", "C", "A again"}));
}

TEST_F(HistoryFileTest, APathOnTheLastLineGetsTheEmptyTitle) {
    std::string a = Existing("a.qvd");
    test::WriteTestFile(historyPath_, a);
    TitleList list;
    LoadHistoryFile(historyPath_, list);
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ(list.Title(0), "");
}

TEST_F(HistoryFileTest, LineDisciplineOfTheTextFiles) {
    std::string a = Existing("a.qvd");
    std::string b = Existing("b.qvd");
    // CR alone ends a line, a lone LF is part of the title, Ctrl+Z ends the file.
    test::WriteTestFile(historyPath_, a + "\rA\nx\r\n" + a + "\r\nT\x1A" + b + "\r\nB\r\n");
    TitleList list;
    LoadHistoryFile(historyPath_, list);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{a, a}));
    EXPECT_EQ(list.Titles(), (std::vector<std::string>{"A\nx", "T"}));
}

TEST_F(HistoryFileTest, AMissingHistoryFileLeavesTheListAsItWas) {
    TitleList list;
    list.Append("/p", "t");
    LoadHistoryFile(historyPath_, list);
    EXPECT_EQ(list.Size(), 1u);
}

TEST_F(HistoryFileTest, AnEmptyListWritesNothing) {
    test::WriteTestFile(historyPath_, "old");
    SaveHistoryFile(historyPath_, TitleList());
    EXPECT_EQ(test::ReadTestFile(historyPath_), "old");
}

TEST_F(HistoryFileTest, SavedListsLoadBack) {
    std::string a = Existing("a.qvd");
    std::string b = Existing("b.qvd");
    TitleList list;
    list.Append(b, "B");
    list.Append(a, "");
    SaveHistoryFile(historyPath_, list);
    TitleList loaded;
    LoadHistoryFile(historyPath_, loaded);
    EXPECT_EQ(loaded.Paths(), list.Paths());
    EXPECT_EQ(loaded.Titles(), list.Titles());
}

TEST_F(HistoryFileTest, AFailedSaveLeavesTheOldFileWhole) {
    test::WriteTestFile(historyPath_, "old contents\r\n");
    TitleList list;
    list.Append("/p", std::string(10000, 'x'));
    FileFaults faults;
    faults.failingWrite = 1;
    faults.bytesBeforeWriteError = 100;
    faults.writeErrno = ENOSPC;
    SetFileFaultsForTesting(&faults);
    EXPECT_THROW(SaveHistoryFile(historyPath_, list), Failure);
    SetFileFaultsForTesting(nullptr);
    EXPECT_EQ(test::ReadTestFile(historyPath_), "old contents\r\n");
    EXPECT_EQ(folder_.Listing(), "Quorvane.hst;");
}

}  // namespace
}  // namespace qv
