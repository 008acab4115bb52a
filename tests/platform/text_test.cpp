#include "platform/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/failure.h"

namespace qv {
namespace {

TEST(TextTrim, RemovesControlBytesAndBlanksOnlyAtTheEnds) {
    EXPECT_EQ(Trim(" \t\r\n a b \x01\x1F "), "a b");
    EXPECT_EQ(Trim(std::string_view("\0x\0", 3)), "x");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim(""), "");
    // Bytes above 32, the CP932 lead bytes among them, stay.
    EXPECT_EQ(Trim("!\x81\x40\x7F"), "!\x81\x40\x7F");
}

TEST(TextIntToStr, WritesPlainDecimal) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(1234567), "1234567");
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(IntToStr(INT64_MAX), "9223372036854775807");
}

TEST(TextTryStrToInt, AcceptsDecimalAndHexadecimal) {
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {
        {"0", 0},
        {"12", 12},
        {"+12", 12},
        {"-12", -12},
        {"   7", 7},
        {"007", 7},
        {"-0", 0},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"0000000000000000000002147483647", INT32_MAX},
        {"$0C", 12},
        {"$c", 12},
        {"$1f4", 500},
        {"$1F4", 500},
        {"$FFFFFFFF", -1},
        {"$80000000", INT32_MIN},
        {"$7FFFFFFF", INT32_MAX},
        {"$000000000000FFFFFFFF", -1},
        {" $10", 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::optional<int32_t> value = TryStrToInt(c.text);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, c.value);
    }
}

TEST(TextTryStrToInt, RefusesEverythingElse) {
    const char* const cases[] = {
        "",
        " ",
        "+",
        "-",
        "$",
        "12 ",   // nothing may follow, not even a blank
        "\t12",  // only byte 32 is skipped in front
        "1 2",
        "12px",
        "abc",
        "0x1F",  // the settings reader turns "0x" into "$"; plain text does not
        "-$1",   // no sign before "$"
        "+$1",
        "$ 1",
        "$G",
        "$-1",
        "2147483648",
        "-2147483649",
        "99999999999999999999",
        "$100000000",
        "$1FFFFFFFF",
        "1.5",
        "+-1",
        "--1",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(TryStrToInt(text).has_value());
    }
    EXPECT_FALSE(TryStrToInt(std::string_view("1\0", 2)).has_value());
}

TEST(TextTryStrToInt, LongDigitRunsFailWithoutOverflow) {
    EXPECT_FALSE(TryStrToInt(std::string(5000, '9')).has_value());
    EXPECT_FALSE(TryStrToInt("-" + std::string(5000, '9')).has_value());
    EXPECT_FALSE(TryStrToInt("$" + std::string(5000, 'F')).has_value());
    // Leading zeros alone never overflow.
    EXPECT_EQ(TryStrToInt(std::string(5000, '0') + "5"), 5);
    EXPECT_EQ(TryStrToInt("$" + std::string(5000, '0') + "A"), 10);
}

TEST(TextStrToInt, ReturnsTheValueOrRaisesWithTheDecodedText) {
    EXPECT_EQ(StrToInt("-8"), -8);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);

    auto messageFor = [](std::string_view text) {
        try {
            StrToInt(text);
        } catch (const Failure& failure) {
            return failure.message();
        }
        return std::string("no failure");
    };
    EXPECT_EQ(messageFor("abc"), "'abc' は整数ではありません");
    EXPECT_EQ(messageFor(""), "'' は整数ではありません");
    EXPECT_EQ(messageFor(" 1 "), "' 1 ' は整数ではありません");
    // "幅" in CP932, shown in UTF-8; a broken byte shows as U+FFFD.
    EXPECT_EQ(messageFor("\x95\x9D"), "'幅' は整数ではありません");
    EXPECT_EQ(messageFor("1\xFF"), "'1\xEF\xBF\xBD' は整数ではありません");
}

}  // namespace
}  // namespace qv
