#include "platform/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/line_writer.h"

namespace qv {
namespace {

// Every line up to the end, then one more read past it.
std::vector<std::string> ReadAll(std::string_view text) {
    LineReader reader(text);
    std::vector<std::string> lines;
    while (!reader.AtEnd()) {
        lines.emplace_back(reader.Next());
    }
    return lines;
}

TEST(LineReader, SplitsLines) {
    using Lines = std::vector<std::string>;
    struct Case {
        std::string text;
        Lines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\r\n", {"a\nb"}},  // a lone LF is data
        {"\na\r", {"\na"}},
        {"a\r\rb\r", {"a", "", "b"}},  // CR CR: an empty line between
        {"a\r\n\nb", {"a", "\nb"}},    // only one LF belongs to the line end
        {"a\r\r\n", {"a", ""}},
        {"last", {"last"}},  // a final line without end
        {"a\r\nlast", {"a", "last"}},
        {"\r\n", {""}},
        {"a\r\nb\x1A"
         "c\r\n",
         {"a", "b"}},          // 0x1A ends the text
        {"a\r\x1A\n", {"a"}},  // 0x1A right after a CR: the LF is not read
        {"\x1A"
         "a\r",
         {}},
        {std::string("a\0b\r", 4), {std::string("a\0b", 3)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(ReadAll(c.text), c.lines);
    }
}

TEST(LineReader, PositionAndReadsPastTheEnd) {
    std::string text = "ab\r\ncd\rxy\x1Atail";
    LineReader reader(text);
    EXPECT_EQ(reader.Next(), "ab");
    EXPECT_EQ(reader.Position(), 4u);
    EXPECT_EQ(reader.Next(), "cd");
    EXPECT_EQ(reader.Position(), 7u);
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.Next(), "xy");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.Position(), 9u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(reader.Next(), "");
        EXPECT_EQ(reader.Position(), 9u);
    }
}

TEST(LineReader, LinesAreViewsIntoTheText) {
    std::string text = "one\r\ntwo";
    LineReader reader(text);
    std::string_view first = reader.Next();
    EXPECT_EQ(first.data(), text.data());
    EXPECT_EQ(reader.Next().data(), text.data() + 5);
}

TEST(LineReader, LongLinesHaveNoLimit) {
    std::string big(1 << 20, 'x');
    big[12345] = '\n';
    std::string text = big + "\r\nshort\r\n" + big;
    EXPECT_EQ(ReadAll(text), (std::vector<std::string>{big, "short", big}));
}

TEST(LineWriter, EndsEveryLineWithCrLfAndReadsBack) {
    LineWriter writer;
    writer.Line("名前");
    writer.Number(-2147483649LL);
    writer.Line("");
    writer.Number(0);
    EXPECT_EQ(writer.Buffer(), "名前\r\n-2147483649\r\n\r\n0\r\n");
    writer.Buffer() += "x";
    std::string text = writer.Take();
    EXPECT_EQ(writer.Buffer(), "");
    EXPECT_EQ(ReadAll(text), (std::vector<std::string>{"名前", "-2147483649", "", "0", "x"}));
    writer.Line("again");
    EXPECT_EQ(writer.Take(), "again\r\n");
}

}  // namespace
}  // namespace qv
