#include "platform/line_reader.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using Lines = std::vector<std::string>;

Lines ReadAll(std::string_view text) {
    LineReader reader(text);
    Lines lines;
    while (!reader.AtEnd()) {
        lines.emplace_back(reader.Next());
    }
    return lines;
}

// A line ends at CR and one LF right after it; a lone LF is data; 0x1A ends the text.
TEST(LineReaderTest, SplitsLinesAtCrOrCrLf) {
    // clang-format off
    const std::pair<std::string, Lines> cases[] = {
        {"", {}}, {"a\rb\r", {"a", "b"}}, {"a\r\nb\r\n", {"a", "b"}}, {"a\nb\r\n", {"a\nb"}},
        {"a\r\rb\r", {"a", "", "b"}}, {"a\r\n\nb", {"a", "\nb"}}, {"a\r\nlast", {"a", "last"}},
        {"a\r\nb\x1A\r\n", {"a", "b"}}, {"a\r\x1A\n", {"a"}},
        {std::string("a\0b\r", 4), {std::string("a\0b", 3)}}};
    // clang-format on
    for (const auto& [text, lines] : cases) {
        EXPECT_EQ(ReadAll(text), lines) << testing::PrintToString(text);
    }
}

TEST(LineReaderTest, PastTheEndEveryLineIsEmpty) {
    const std::string text = "ab\r\ncd\rxy\x1Atail";
    LineReader reader(text);
    EXPECT_EQ(reader.Next(), "ab");
    EXPECT_EQ(reader.Next().data(), text.data() + 4);  // lines are views into the text
    EXPECT_EQ(reader.Next(), "xy");
    EXPECT_TRUE(reader.AtEnd());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(reader.Next(), "");
        EXPECT_EQ(reader.Position(), 9u);
    }
}

}  // namespace
}  // namespace qv
