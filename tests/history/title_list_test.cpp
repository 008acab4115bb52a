#include "history/title_list.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(TitleListTest, KeepsTitlesAndPathsPairedByIndex) {
    TitleList list;
    list.Append("/b.qvd", "B");
    list.InsertAtTop("/a.qvd", "A");
    list.Append("/c.qvd", "C");
    ASSERT_EQ(list.Size(), 3u);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/a.qvd", "/b.qvd", "/c.qvd"}));
    EXPECT_EQ(list.Titles(), (std::vector<std::string>{"A", "B", "C"}));
    list.Remove(1);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/a.qvd", "/c.qvd"}));
    EXPECT_EQ(list.Titles(), (std::vector<std::string>{"A", "C"}));
    list.Remove(2);  // beyond the end: ignored
    EXPECT_EQ(list.Size(), 2u);
    list.Clear();
    EXPECT_TRUE(list.Empty());
}

TEST(TitleListTest, FindsTheFirstPathEqualAfterTrimmingBytesUpTo32) {
    TitleList list;
    list.Append(" /x.qvd\t", "first");
    list.Append("/x.qvd", "second");
    list.Append("/X.qvd", "case differs");
    EXPECT_EQ(list.FindPath("/x.qvd"), 0u);
    EXPECT_EQ(list.FindPath("\x01/x.qvd  "), 0u);
    EXPECT_EQ(list.FindPath("/X.qvd"), 2u);
    EXPECT_EQ(list.FindPath("/x.qv"), 3u);
    EXPECT_EQ(TitleList().FindPath(""), 0u);
}

}  // namespace
}  // namespace qv
