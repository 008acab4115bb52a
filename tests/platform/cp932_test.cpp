#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(Cp932Test, JapaneseTextRoundTripsWithTheKnownBytes) {
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"買い物", "\x94\x83\x82\xA2\x95\xA8"}, {"ﾌｧｲﾙ", "\xCC\xA7\xB2\xD9"}, {"", ""},
        {"表\\", "\x95\x5C\x5C"},  // a trail byte 0x5C belongs to its character
        {"ＡＢＣ　", "\x82\x60\x82\x61\x82\x62\x81\x40"}, {"tab\there\r\n", "tab\there\r\n"},
        {"①㈱№", "\x87\x40\x87\x8A\x87\x82"},  // NEC special characters
        {"髙﨑", "\xFB\xFC\xFA\xB1"}};            // IBM extensions
    // clang-format on
    for (const auto& [utf8, cp932] : cases) {
        EXPECT_EQ(Utf8ToCp932(utf8), cp932) << utf8;
        EXPECT_EQ(Cp932ToUtf8(cp932), utf8) << utf8;
    }
    const std::string text = "蔵書一覧 ひらがなとカタカナ ﾌｧｲﾙ ｵｰﾌﾟﾝ ② ⑳ Ⅹ ∵ ⅰ ￤ C:\\表.csv";
    EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(text).value_or("")), text);
}

TEST(Cp932Test, UnrepresentableOrInvalidUtf8GivesNothing) {
    for (const char* text :
         {"😀", "caf\xC3\xA9", "한국어", "ok\xFF", "\xE8\xB2", "\xC0\xAF", "\xED\xA0\x80"}) {
        EXPECT_EQ(Utf8ToCp932(text), std::nullopt) << text;
    }
    EXPECT_EQ(Utf8ToCp932("蔵書"), "\x91\xA0\x8F\x91");  // a failed call spoils no later one
    EXPECT_TRUE(IsCp932Representable(U'髙'));
    EXPECT_FALSE(IsCp932Representable(U'\u20AC'));  // euro sign
    EXPECT_FALSE(IsCp932Representable(static_cast<char32_t>(0x110000)));
}

TEST(Cp932Test, UndecodableBytesBecomeReplacementCharacters) {
    const std::string fffd = "\xEF\xBF\xBD";
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"a\x80z", "a" + fffd + "z"}, {"\xA0\xFF", fffd + fffd}, {"\x94\x83\x94", "買" + fffd},
        {"\x85\x40\x94\x83", fffd + "@買"},  // invalid pair: resume at the second byte
        {"\x81\x0A", fffd + "\n"}, {std::string("\0\x1A", 2), std::string("\0\x1A", 2)}};
    // clang-format on
    for (const auto& [cp932, utf8] : cases) {
        EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
    }
    EXPECT_EQ(Cp932ToUtf8(std::string(100000, '\xB1')).size(), 300000u);  // ｱ takes 3 bytes
}

}  // namespace
}  // namespace qv
