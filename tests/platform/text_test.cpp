#include "platform/text.h"
#include "expect_failure.h"

#include <climits>

namespace qv {
namespace {

TEST(TextTest, TrimRemovesBytesUpToBlankOnlyAtTheEnds) {
    EXPECT_EQ(Trim(" \t\r\n a b \x01\x1F "), "a b");
    EXPECT_EQ(Trim(std::string_view("\0x\0", 3)), "x");
    EXPECT_EQ(Trim("!\x81\x40\x7F"), "!\x81\x40\x7F");  // bytes above 32, lead bytes among them
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
}

TEST(TextTest, TryStrToIntTakesDecimalOrHexadecimalAndNothingElse) {
    // clang-format off
    const std::pair<std::string, int32_t> accepted[] = {
        {"0", 0}, {"+12", 12}, {"-12", -12}, {"   7", 7}, {"007", 7}, {"-0", 0},
        {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {std::string(5000, '0') + "5", 5},
        {"$0C", 12}, {"$c", 12}, {"$1f4", 500}, {"$FFFFFFFF", -1}, {"$80000000", INT32_MIN},
        {"$000000000000FFFFFFFF", -1}, {" $10", 16}};
    const std::string refused[] = {
        "", " ", "+", "-", "$", "12 ", "\t12", "1 2", "12px", "abc", "0x1F", "-$1", "+$1", "$ 1",
        "$G", "$-1", "2147483648", "-2147483649", "99999999999999999999", "$100000000",
        "$1FFFFFFFF", "1.5", "+-1", "--1", std::string("1\0", 2), std::string(5000, '9'),
        "-" + std::string(5000, '9'), "$" + std::string(5000, 'F')};
    // clang-format on
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(ParseInt(text), value) << text;
    }
    for (const std::string& text : refused) {
        EXPECT_EQ(ParseInt(text), std::nullopt) << text;
    }
}

TEST(TextTest, StrToIntRaisesWithTheTextDecodedFromCp932) {
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    const std::pair<std::string, const char*> cases[] = {
        {"", "'' は整数ではありません"},
        {" 1 ", "' 1 ' は整数ではありません"},
        {"\x95\x9D", "'幅' は整数ではありません"},
        {"1\xFF", "'1\xEF\xBF\xBD' は整数ではありません"}};
    for (const auto& [text, message] : cases) {
        EXPECT_FAILS(StrToInt(text), message);
    }
}

}  // namespace
}  // namespace qv
