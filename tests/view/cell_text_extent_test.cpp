// How much of a cell's text is painted or edited: bounded by the cell's width whatever the
// text's length, never cutting a CP932 character in two.
#include <gtest/gtest.h>

#include <tuple>

#include "view/cell_text_extent.h"

namespace qv {
namespace {

TEST(CellTextExtentTest, PaintedAndEditedPrefixesFollowCp932CharactersAndStayBounded) {
    const std::string kana = "\x82\xA0";  // あ
    // "a" shifts every pair by one byte; "\x82 " is a lead byte without its trail byte; 82 82 is
    // a pair; a lone lead byte at the end.
    // clang-format off
    const std::tuple<std::string, std::size_t, std::size_t> cases[] = {
        {"abc", 2, 2}, {"abc", 9, 3}, {kana + kana + kana, 2, 4}, {"a" + kana + kana, 2, 3},
        {std::string("\x82 ") + kana, 2, 2}, {"\x82\x82\xA0", 1, 2}, {kana + "\x82", 2, 3},
        {std::string(50'000'000, 'x'), 100, 100}};
    // clang-format on
    for (const auto& [text, count, bytes] : cases) {
        EXPECT_EQ(Cp932Prefix(text, count).size(), bytes) << text.substr(0, 8);
    }
    std::string huge;
    for (int i = 0; i < 1'000'000; ++i) {
        huge += kana;
    }
    EXPECT_EQ(ShownCellBytes(huge, 153), huge.substr(0, 2 * 154));
    EXPECT_EQ(ShownCellBytes("x" + huge, 153).size(), 1 + 2 * 153u);
    EXPECT_TRUE(ShownCellBytes(huge, 0).empty());
    // The editor takes texts up to its length.
    const std::string pairs = huge.substr(0, 2 * kCellEditorMaxLength);
    EXPECT_TRUE(FitsInCellEditor(pairs));  // 65,534 bytes, 32,767 characters
    EXPECT_FALSE(FitsInCellEditor(pairs + "x"));
    EXPECT_TRUE(FitsInCellEditor(std::string(kCellEditorMaxLength, 'x')));
    EXPECT_FALSE(FitsInCellEditor(std::string(50'000'000, 'x')));
}

// A cell shows a line per line break while it has room; the last line keeps the breaks left.
TEST(CellTextExtentTest, LinesBreakAtLineFeedsAsFarAsTheCellHasRoom) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(ShownCellLines("ab\ncd\nef", 9, 1), (Lines{"ab\ncd\nef"}));
    EXPECT_EQ(ShownCellLines("ab\ncd\nef", 9, 2), (Lines{"ab", "cd\nef"}));
    EXPECT_EQ(ShownCellLines("ab\ncd\nef", 1, 5), (Lines{"ab", "cd", "ef"}));
    EXPECT_EQ(ShownCellLines("\x82\n\n", 9, 3), (Lines{"\x82", "", ""}));  // 82 0A is no pair
}

}  // namespace
}  // namespace qv
