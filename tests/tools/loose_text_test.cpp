#include "tools/loose_text.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "platform/cp932.h"

namespace qv {
namespace {

std::string Sjis(std::string_view utf8) {
    return *Utf8ToCp932(utf8);
}

enum class Bytes { Utf8, Cp932 };

struct EqualCase {
    const char* a;
    const char* b;
    bool equal;
    Bytes bytes = Bytes::Utf8;
};

TEST(LooseTextTest, FoldsWhatAReaderTakesForTheSame) {
    const EqualCase cases[] = {
        {"Tanaka", "tANAKA", true},
        {"ＡＢＣ１２３", "abc123", true},
        {"ａｂｃ！？＃", "ABC!?#", true},
        {"ｶﾞｷﾞﾊﾟﾎﾟｳﾞ", "ガギパポヴ", true},
        {"がぎぱぽ", "ガギパポ", true},
        {"ｱｲｳｴｵ", "あいうえお", true},
        {"ｯｬｰ", "っゃー", true},
        {"｢ﾃｽﾄ｣､｡･", "「テスト」、。・", true},
        {"　田中", " 田中", true},
        {"～", "~", true},
        {"￥1,200", "\\1,200", true},
        {"ゝゞ", "ヽヾ", true},
        {"\xED\x40", "\xFA\x5C", true, Bytes::Cp932},  // 纊: the NEC and IBM codes
        // Marks join only where the kana takes them; elsewhere they stay marks.
        {"ｱﾞ", "ア゛", true},
        {"ｶﾞ", "カ", false},
        {"ﾊﾟ", "バ", false},
        {"田中", "田仲", false},
        {"ソ", "\\", false},
        {"ZYXWVUTSRQPONMLKJIHGFEDCBA", "zyxwvutsrqponmlkjihgfedcba", true},
        {"@@@@@@@@", "````````", false},  // the neighbours of the capitals keep their case
        {"[[[[[[[[", "{{{{{{{{", false},
        {"ΑΒΓ АБВ", "αβγ абв", false},  // Greek and Cyrillic keep theirs
        // A lone lead byte at the end, and bytes of no character, stay as they are.
        {"a\x81", "A\x81", true, Bytes::Cp932},
        {"\x80\xFD", "\x80\xFD", true, Bytes::Cp932},
        {"\x80", "\xFD", false, Bytes::Cp932},
    };
    for (const auto& c : cases) {
        const bool rawBytes = c.bytes == Bytes::Cp932;
        const std::string a = rawBytes ? std::string(c.a) : Sjis(c.a);
        const std::string b = rawBytes ? std::string(c.b) : Sjis(c.b);
        EXPECT_EQ(LooseEqual(a, b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(LooseFold(LooseFold(a)), LooseFold(a)) << c.a;
    }
}

struct FindCase {
    const char* text;
    const char* pattern;
    std::size_t from;
    const char* found;  // the text's own bytes matched; nullptr for none
};

TEST(LooseTextTest, FindsTheTextsOwnBytes) {
    const FindCase cases[] = {
        {"ﾀﾅｶ ﾀﾛｳ", "たろう", 0, "ﾀﾛｳ"},
        {"山田ﾊﾟﾝ屋", "パン", 0, "ﾊﾟﾝ"},
        {"ＡＢＣａｂｃ", "abc", 0, "ＡＢＣ"},
        {"ＡＢＣａｂｃ", "abc", 2, "ａｂｃ"},
        {"ＡＢＣａｂｃ", "abc", 8, nullptr},
        {"ソース", "\\", 0, nullptr},  // never a second byte
        {"ｶﾞｽ", "カ", 0, nullptr},
        {"abc", "", 0, nullptr},
    };
    for (const auto& c : cases) {
        const std::string text = Sjis(c.text);
        const LooseMatcher matcher(Sjis(c.pattern), LooseExtent::PartOfText);
        const auto span = matcher.Find(text, c.from);
        if (c.found == nullptr) {
            EXPECT_EQ(span.begin, std::string_view::npos) << c.text << " / " << c.pattern;
            continue;
        }
        ASSERT_NE(span.begin, std::string_view::npos) << c.text << " / " << c.pattern;
        EXPECT_EQ(text.substr(span.begin, span.end - span.begin), Sjis(c.found)) << c.text;
        EXPECT_TRUE(matcher.Matches(text)) << c.text;
    }
    const LooseMatcher whole(Sjis("ﾀﾅｶ"), LooseExtent::WholeText);
    EXPECT_TRUE(whole.Matches(Sjis("たなか")));
    EXPECT_FALSE(whole.Matches(Sjis("たなかさん")));
}

// The CP932 texts of the UTF-8 ones between "|".
std::vector<std::string> SjisList(std::string_view utf8) {
    std::vector<std::string> list;
    for (std::size_t at = 0, end = 0; end < utf8.size(); at = end + 1) {
        end = std::min(utf8.find('|', at), utf8.size());
        list.push_back(Sjis(utf8.substr(at, end - at)));
    }
    return list;
}

// Whatever shortcut the matcher takes, it finds exactly what searching the folds finds.
TEST(LooseTextTest, MatchesAsTheFoldsDo) {
    std::vector<std::string> texts = SjisList(
        "ｶﾞｽ|ｶ|ｶﾞ|ｽｶﾞ|ガス|\\1,200|￥1,200|＼|ソ|ソ\\|ΑΒΓ|αβγ|АБВ|абв|Ｔｏｋｙｏ|TOKYO 東京|ﾊﾟﾝ|ﾊﾝ|"
        "ﾊﾞﾝ|ｳﾞｨ|ヴィ|～|〜|~|　| ||ABCDEFGH IJ@[`{|abcdefghijklmnopqrsｶ");
    std::vector<std::string> patterns =
        SjisList("\\|￥|ｶ|ガ|か|パ|ﾊﾞ|ﾝ|α|Α|а|А|tokyo|ＴＯＫＹＯ|@|[|`|{|ij|ヴ|~| |1,2|ｽｶﾞ");
    // Bytes of no character, and a lone lead byte at the end, in CP932 as they are.
    texts.insert(texts.end(), {"a\x81", "\x81", "\x80\xFD", "\xB6\xDE\x81"});
    patterns.insert(patterns.end(), {"\x81", "\xFD", "A"});
    for (const std::string& text : texts) {
        for (const std::string& pattern : patterns) {
            const bool part =
                FindAtCharacterBoundary(LooseFold(text), LooseFold(pattern)) != std::string::npos;
            const LooseMatcher matcher(pattern, LooseExtent::PartOfText);
            EXPECT_EQ(matcher.Matches(text), part) << text << " / " << pattern;
            EXPECT_EQ(matcher.Find(text).begin != std::string::npos, part) << text;
            EXPECT_EQ(LooseMatcher(pattern, LooseExtent::WholeText).Matches(text),
                      LooseEqual(text, pattern))
                << text << " / " << pattern;
        }
    }
}

TEST(LooseTextTest, FindsBytesOnlyWhereACharacterStarts) {
    struct Case {
        const char* text;  // CP932 bytes
        const char* pattern;
        std::size_t found;
    };
    constexpr std::size_t kNone = std::string_view::npos;
    const Case cases[] = {
        {"\x83\x5C", "\\", kNone},          // ソ
        {"\x83\x5C\\", "\\", 2},            // ソ, then a backslash of its own
        {"\x81\x81\\", "\\", 2},            // a pair of lead bytes, then a backslash
        {"\x81\x81\x81\x5C", "\\", kNone},  // the third lead byte takes the backslash
        {"a\x81\x81\x81\x5C\\", "\\", 5},
        {"\x95\x5C\x8E\xA6\x5C", "\\", 4},        // 表示, then a backslash
        {"\x83\x5C\x83\x5C", "\x5C\x83", kNone},  // ソソ: never across two characters
        {"\x82\xA0\x82\xA0", "\x82\xA0", 0},
        {"xx\x82\xA0\x82\xA0", "\xA0\x82", kNone},
        {"12,1,2", "1,2", 3},
        {"1,", "1,2", kNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindAtCharacterBoundary(c.text, c.pattern), c.found) << c.text;
        EXPECT_EQ(ContainsAtCharacterBoundary(c.text, c.pattern), c.found != kNone) << c.text;
    }
    const std::string longText = std::string(70, 'x') + "\x83\x5C\\\\";  // ソ and two backslashes
    EXPECT_EQ(FindAtCharacterBoundary(longText, "\x5C\\"), 72u);
}

}  // namespace
}  // namespace qv
