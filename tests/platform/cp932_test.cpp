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

// The table-driven conversions for long texts answer as the converter does, character by
// character, with ASCII runs of eight and more in between.
TEST(Cp932Test, LongTextConversionsAgreeWithTheConverter) {
    const std::string run = "abcdefghij";
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = run + pair + run;
            const std::string expected = Cp932ToUtf8(text);
            const bool valid = expected.find("\xEF\xBF\xBD") == std::string::npos;
            const std::optional<std::string> got = TryCp932ToUtf8(text);
            ASSERT_EQ(got.has_value(), valid) << lead << " " << trail;
            if (valid) {
                ASSERT_EQ(*got, expected) << lead << " " << trail;
            }
        }
    }
    std::vector<std::pair<std::size_t, char32_t>> replaced;
    for (char32_t c = 1; c < 0x20000; c += (c < 0x10000 ? 1 : 0x1111)) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        // The UTF-8 bytes of c: lead byte marked by the length, then six bits a byte.
        const std::size_t length = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        std::string encoded(length, '\0');
        char32_t value = c;
        for (std::size_t i = length - 1; i > 0; --i, value >>= 6) {
            encoded[i] = static_cast<char>(0x80 | (value & 0x3F));
        }
        encoded[0] = static_cast<char>((length > 1 ? 0xF00u >> length : 0u) | value);
        const std::optional<std::string> expected = Utf8ToCp932(encoded);
        replaced.clear();
        const std::string got = Utf8ToCp932Replacing(
            run + encoded + run, "?",
            [&](std::size_t at, char32_t ch) { replaced.emplace_back(at, ch); });
        ASSERT_EQ(got, run + expected.value_or("?") + run) << static_cast<uint32_t>(c);
        ASSERT_EQ(replaced.size(), expected ? 0u : 1u) << static_cast<uint32_t>(c);
    }
    EXPECT_EQ(Utf8ToCp932Replacing("a\377b\xE3\x81", "?", [](std::size_t, char32_t) {}), "a?b??");
}

}  // namespace
}  // namespace qv
