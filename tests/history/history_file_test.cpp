#include "history/history_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "platform/failure.h"
#include "platform/files_testing.h"
#include "temp_folder.h"

namespace qv {
namespace {

using Texts = std::vector<std::string>;

class HistoryFileTest : public ::testing::Test {
protected:
    // Creates a file in the temp folder and returns its path.
    std::string Existing(const std::string& name) {
        test::WriteTestFile(folder_ / name, "x");
        return folder_ / name;
    }

    test::TempFolder folder_;
    std::string path_ = folder_ / "Quorvane.hst";
};

TEST_F(HistoryFileTest, WritesPathAndTitleLinesOfTheFirst51Entries) {
    TitleList list;
    for (int i = 0; i < 60; ++i) {
        list.Append("/p" + std::to_string(i), i == 0 ? "" : "t\x82" + std::to_string(i));
    }
    const std::string text = BuildHistoryFile(list);
    // "\202" is the lead byte 0x82, an octal escape so that the digit after it stays a digit.
    EXPECT_TRUE(text.starts_with("/p0\r\n\r\n/p1\r\nt\2021\r\n/p2\r\n")) << text.substr(0, 30);
    EXPECT_TRUE(text.ends_with("/p50\r\nt\20250\r\n"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 102);
}

TEST_F(HistoryFileTest, LoadsTheEntriesOfExistingFilesInTheFileOrder) {
    const std::string a = Existing("a.qvd"), c = Existing("c.qvd");
    TitleList list;
    list.Append("/already", "there");
    LoadHistoryFile(folder_ / "none.hst", list);  // no history file: nothing changes
    // A folder is no file; CR alone ends a line, a lone LF belongs to it; Ctrl+Z ends the file,
    // and the path before it has no title line.
    test::WriteTestFile(path_, a + "\r\nA\nx\r\n" + folder_ / "gone.qvd" + "\r\nGone\r\n" +
                                   folder_.Path() + "\r\nFolder\r\n" + c + "\rC\r\n" + a + "\x1A" +
                                   c + "\r\nafter the end\r\n");
    LoadHistoryFile(path_, list);
    EXPECT_EQ(list.Paths(), (Texts{"/already", a, c, a}));
    EXPECT_EQ(list.Titles(), (Texts{"there", "A\nx", "C", ""}));
}

TEST_F(HistoryFileTest, AHundredThousandEntriesLoadInOrder) {
    const std::string t = Existing("t.qvd");
    std::string file;
    for (int i = 0; i < 100'000; ++i) {
        file += (i % 3 == 2 ? folder_ / "gone.qvd" : t) + "\r\ntitle " + std::to_string(i) + "\r\n";
    }
    test::WriteTestFile(path_, file);
    TitleList list;
    LoadHistoryFile(path_, list);
    ASSERT_EQ(list.Size(), 66'667u);
    EXPECT_EQ(list.Title(2), "title 3");
    EXPECT_EQ(list.Title(66'666), "title 99999");
}

TEST_F(HistoryFileTest, AnEmptyListWritesNothingAndAFailedSaveKeepsTheOldFile) {
    test::WriteTestFile(path_, "old\r\n");
    TitleList empty;
    SaveHistoryFile(path_, empty);
    TitleList list;
    list.Append(Existing("a.qvd"), std::string(10000, 'x'));
    FileFaults faults{.failingWrite = 1, .bytesBeforeWriteError = 100, .writeErrno = ENOSPC};
    SetFileFaultsForTesting(&faults);
    EXPECT_THROW(SaveHistoryFile(path_, list), Failure);
    SetFileFaultsForTesting(nullptr);
    EXPECT_EQ(test::ReadTestFile(path_), "old\r\n");
    EXPECT_EQ(folder_.Listing(), "Quorvane.hst;a.qvd;");

    SaveHistoryFile(path_, list);
    EXPECT_EQ(test::ReadTestFile(path_), BuildHistoryFile(list));
}

// Two copies of the program on one history file: a save keeps what the other copy saved since,
// and never brings back what was removed in this copy.
TEST_F(HistoryFileTest, ASaveKeepsWhatAnotherCopySavedButNotWhatThisCopyRemoved) {
    const std::string a = Existing("a"), b = Existing("b"), x = Existing("x"), y = Existing("y");
    test::WriteTestFile(path_, x + "\r\nX\r\n" + y + "\r\nY\r\n");
    TitleList first, second;
    LoadHistoryFile(path_, first);
    LoadHistoryFile(path_, second);
    auto stored = [&] {
        TitleList list;
        LoadHistoryFile(path_, list);
        return list.Paths();
    };
    first.InsertAtTop(a, "A");
    SaveHistoryFile(path_, first);
    second.InsertAtTop(b, "B");
    second.Remove(2);  // y
    test::WriteTestFile(path_, test::ReadTestFile(path_) + folder_ / "gone\r\nG\r\n");
    SaveHistoryFile(path_, second);
    EXPECT_EQ(stored(), (Texts{b, a, x}));
    EXPECT_EQ(second.Titles(), (Texts{"B", "A", "X"}));
    SaveHistoryFile(path_, first);  // y was not removed in this copy
    EXPECT_EQ(stored(), (Texts{a, b, x, y}));
    first.Clear();
    first.InsertAtTop(y, "Y2");
    SaveHistoryFile(path_, first);
    EXPECT_EQ(stored(), (Texts{y}));
    EXPECT_TRUE(FitsHistoryFile("/a\nb"));
    EXPECT_FALSE(FitsHistoryFile("/a\rb") || FitsHistoryFile("/a\x1A"));
}

// The list itself: titles and paths stay paired; saving finds the entry of its file by FindPath.
TEST(TitleListTest, KeepsTitlesAndPathsPairedAndFindsTheFirstTrimmedPath) {
    TitleList list;
    list.Append(" /x.qvd\t", "first");
    list.InsertAtTop("/a.qvd", "A");
    list.Append("/x.qvd", "second");
    list.Append("/X.qvd", "case differs");
    EXPECT_EQ(list.FindPath("\x01/x.qvd  "), 1u);  // bytes up to 32 trimmed at both ends
    EXPECT_EQ(list.FindPath("/X.qvd"), 3u);
    EXPECT_EQ(list.FindPath("/x.qv"), 4u);
    list.Remove(1);
    list.Remove(4);  // beyond the end: ignored
    EXPECT_EQ(list.Paths(), (Texts{"/a.qvd", "/x.qvd", "/X.qvd"}));
    EXPECT_EQ(list.Titles(), (Texts{"A", "second", "case differs"}));
}

}  // namespace
}  // namespace qv
