#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace qv {
namespace {

TEST(Cp932Conversion, JapaneseTextRoundTrips) {
    const char* const texts[] = {
        "買い物",           "蔵書一覧",          "ひらがなとカタカナ",
        "ﾌｧｲﾙ ｵｰﾌﾟﾝ",       "ＡＢＣ　０１２",
        "①②⑳ ㈱ № Ⅹ ∵",    // NEC special characters
        "髙島屋 﨑 ⅰ ￤",  // IBM extensions
        "C:\\data\\表.csv", "tab\there\r\nnext", "",
    };
    for (std::string_view text : texts) {
        SCOPED_TRACE(text);
        std::optional<std::string> cp932 = Utf8ToCp932(text);
        ASSERT_TRUE(cp932.has_value());
        EXPECT_EQ(Cp932ToUtf8(*cp932), text);
    }
}

TEST(Cp932Conversion, KnownByteValues) {
    struct Case {
        const char* utf8;
        const char* cp932;
    };
    const Case cases[] = {
        {"買い物", "\x94\x83\x82\xA2\x95\xA8"},
        {"ﾌｧｲﾙ", "\xCC\xA7\xB2\xD9"},
        {"\\", "\x5C"},
        {"A1", "A1"},
        {"　", "\x81\x40"},
        {"①", "\x87\x40"},
        {"㈱", "\x87\x8A"},
        {"№", "\x87\x82"},
        {"髙", "\xFB\xFC"},
        {"﨑", "\xFA\xB1"},
        {"表", "\x95\x5C"},  // trail byte 0x5C is part of the character
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(Utf8ToCp932(c.utf8), std::optional<std::string>(c.cp932));
        EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8);
    }
}

TEST(Cp932Conversion, UnrepresentableOrInvalidUtf8GivesNothing) {
    const char* const texts[] = {
        "😀",             // emoji
        "caf\xC3\xA9",   // U+00E9
        "한국어",        // Hangul
        "ok\xFF",        // invalid UTF-8
        "\xE8\xB2",      // truncated sequence
        "\xC0\xAF",      // overlong form
        "\xED\xA0\x80",  // encoded surrogate
    };
    for (std::string_view text : texts) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Utf8ToCp932(text).has_value());
    }
}

TEST(Cp932Conversion, UndecodableBytesBecomeReplacementCharacters) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        std::string cp932;
        std::string utf8;
    };
    const Case cases[] = {
        {"a\x80z", "a" + fffd + "z"},
        {"\xFF\xFE\xFD", fffd + fffd + fffd},
        {"\xA0", fffd},
        {"x\x94", "x" + fffd},  // lead byte at the end
        {"\x94\x83\x94", "買" + fffd},
        {"\x85\x40\x94\x83", fffd + "@買"},  // invalid pair: resume at the second byte
        {"\x81\x0A\x82\xA2", fffd + "\nい"},
        {std::string("\x00\x1A", 2), std::string("\x00\x1A", 2)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8);
    }
}

TEST(Cp932Conversion, LongTextsGrowTheOutput) {
    // Half-width katakana triple in size when decoded; kanji gain half.
    std::string katakana(100000, '\xB1');
    std::string decoded = Cp932ToUtf8(katakana);
    ASSERT_EQ(decoded.size(), 300000u);
    EXPECT_EQ(decoded.substr(299997), "ｱ");
    std::string kanji;
    for (int i = 0; i < 50000; ++i) {
        kanji += "\x94\x83";
    }
    EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(kanji)), kanji);
}

TEST(Cp932Conversion, ThreadsConvertIndependently) {
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 500; ++i) {
                // Alternate failures with successes: a failed call must not spoil the next.
                if (Utf8ToCp932("😀").has_value() ||
                    Cp932ToUtf8("\x94\x83\x94") != "買\xEF\xBF\xBD" ||
                    Utf8ToCp932("蔵書") != std::optional<std::string>("\x91\xA0\x8F\x91")) {
                    ++failures[t];
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(Cp932Representable, Characters) {
    EXPECT_TRUE(IsCp932Representable(U'A'));
    EXPECT_TRUE(IsCp932Representable(U'\0'));
    EXPECT_TRUE(IsCp932Representable(U'買'));
    EXPECT_TRUE(IsCp932Representable(U'ﾌ'));
    EXPECT_TRUE(IsCp932Representable(U'①'));
    EXPECT_TRUE(IsCp932Representable(U'髙'));
    EXPECT_FALSE(IsCp932Representable(U'é'));
    EXPECT_FALSE(IsCp932Representable(U'😀'));
    EXPECT_FALSE(IsCp932Representable(U'\u20AC'));  // euro sign
    EXPECT_FALSE(IsCp932Representable(static_cast<char32_t>(0xD800)));
    EXPECT_FALSE(IsCp932Representable(static_cast<char32_t>(0x110000)));
}

}  // namespace
}  // namespace qv
