// Japanese numbers and dates, conversions of character kinds, and the sort by several keys with
// the Japanese order of readings.
#include <gtest/gtest.h>

#include "expect_failure.h"
#include "platform/cp932.h"
#include "tools/character_conversion.h"
#include "tools/japanese_numbers.h"
#include "tools/multi_key_sort.h"
#include "tools/reading_dictionary.h"

namespace qv {
namespace {

using Texts = std::vector<std::string>;

std::string Sjis(const std::string& utf8) {
    return Utf8ToCp932(utf8).value();
}

TEST(JapaneseNumbersTest, ReadsTheNumbersOfJapaneseLists) {
    const std::vector<std::pair<std::string, std::optional<double>>> cases{
        // clang-format off
        {"\\1,200", 1200}, {"1,200円", 1200}, {"￥1,200", 1200}, {"１２００", 1200}, {"▲100", -100},
        {"△1,5", -15}, {"-100", -100}, {"1200", 1200}, {"－３．５", -3.5}, {"1.2万", 12000},
        {"1億2000万", 1.2e8}, {"-\\5", -5}, {"\\-5", -5}, {"　12 ", 12}, {"３億円", 3e8},
        {".5", 0.5}, {"1万億", {}}, {"1,", {}}, {",1", {}}, {"1..2", {}},
        {"12円円", {}}, {"円", {}}, {"", {}}, {"1e5", {}}, {"--1", {}},
        {"1.", {}}, {"万", {}}, {"十", {}}, {"1" + std::string(400, '0'), {}}
        // clang-format on
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ReadJapaneseNumber(Sjis(text)), value) << text;
    }
}

TEST(JapaneseNumbersTest, ReadsDatesWithErasFromTheirFirstDay) {
    using D = CalendarDate;
    const std::vector<std::pair<std::string, std::optional<D>>> cases{
        // clang-format off
        {"2024/4/1", D{2024, 4, 1}}, {"2024-04-01", D{2024, 4, 1}}, {"２０２４年４月１日", D{2024, 4, 1}},
        {"令和6年4月1日", D{2024, 4, 1}}, {"R6.4.1", D{2024, 4, 1}}, {"h31/4/30", D{2019, 4, 30}},
        {"平成31年4月30日", D{2019, 4, 30}}, {"令和元年5月1日", D{2019, 5, 1}}, {"令和元年4月30日", {}},
        {"平成32年1月1日", D{2020, 1, 1}}, {"昭和64年1月7日", D{1989, 1, 7}}, {"平成元年1月7日", {}},
        {"Ｓ６４．１．７", D{1989, 1, 7}}, {"大正15年12月24日", D{1926, 12, 24}}, {"明治45年7月29日", D{1912, 7, 29}},
        {"2024/2/29", D{2024, 2, 29}}, {"2023/2/29", {}}, {"1900/2/29", {}},
        {"2024/13/1", {}}, {"2024/4/1/", {}}, {"2024/4-1", {}},
        {"24/4/1", {}}, {"2024年4月1", {}}, {"R.6.4.1", {}},
        {"", {}}
        // clang-format on
    };
    for (const auto& [text, date] : cases) {
        EXPECT_EQ(ReadJapaneseDate(Sjis(text)), date) << text;
    }
    EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
    EXPECT_EQ(DayNumber({2000, 3, 1}) - DayNumber({2000, 2, 28}), 2);
    EXPECT_EQ(DayNumber({1969, 12, 31}), -1);
}

TEST(CharacterConversionTest, ConvertsOnlyWhatShiftJisHolds) {
    using C = CharacterConversion;
    struct Case {
        C conversion;
        std::string text;
        std::string expected;  // the same text when nothing changes
    };
    const std::vector<Case> cases{
        {C::ToHalfWidthAlphanumerics, "Ａｂ１！￥＼　かナ", "Ab1!\\\\　かナ"},
        {C::ToHalfWidthAlphanumerics, "－～", "-~"},
        {C::ToFullWidthAlphanumerics, "Ab1!\\ -~ｶ", "Ａｂ１！￥ －～ｶ"},
        {C::ToFullWidthKana, "ｶﾞｷﾞﾊﾟｳﾞｱﾞﾞｰ｡ﾟA", "ガギパヴア゛゛ー。゜A"},
        {C::ToHiragana, "カタカナヴヵヽｶﾞｳﾞー", "かたかなヴヵゝがう゛ー"},
        {C::ToKatakana, "ひらがなゝ漢字ｶ", "ヒラガナヽ漢字ｶ"},
        {C::TrimBlanks, " \t　田中　太郎　 ", "田中　太郎"},
        {C::TrimBlanks, "田中", "田中"},
        {C::TrimBlanks, "　", ""}};
    for (const Case& c : cases) {
        std::string out = "untouched";
        const bool changed = ConvertCharacters(Sjis(c.text), c.conversion, out);
        EXPECT_EQ(changed, c.text != c.expected) << c.text;
        EXPECT_EQ(changed ? out : Sjis(c.text), Sjis(c.expected)) << c.text;
    }
    // "ａ@" ends in the bytes of a full-width space; a lone lead byte at the end stays.
    std::string out;
    EXPECT_FALSE(ConvertCharacters("\x82\x81@", CharacterConversion::TrimBlanks, out));
    EXPECT_FALSE(ConvertCharacters("a\x82", CharacterConversion::ToKatakana, out));
}

class MultiKeySortTest : public ::testing::Test {
protected:
    // Columns 1 and 2 hold the keys of rows 1, 2, ...
    void Fill(const Texts& col1, const Texts& col2 = {}) {
        grid_.SetRowCount(static_cast<int32_t>(col1.size()) + 1);
        for (std::size_t i = 0; i < col1.size(); ++i) {
            grid_.SetCell(1, static_cast<int32_t>(i) + 1, Sjis(col1[i]));
            grid_.SetCell(2, static_cast<int32_t>(i) + 1, i < col2.size() ? Sjis(col2[i]) : "");
        }
    }
    Texts Sorted(std::vector<SortKey> keys, ReadingDictionary* dictionary = nullptr) {
        const auto order = MultiKeySortedRowOrder(grid_, keys, {}, dictionary);
        Texts texts;
        for (int32_t source : order->sources) {
            texts.push_back(Cp932ToUtf8(grid_.Cell(1, source)));
        }
        return texts;
    }
    TableGrid grid_{GridShape{4, 2, 1, 1, 32, 18}};
};

TEST_F(MultiKeySortTest, KanaSortInTheJapaneseOrderWhateverTheirWidthAndKind) {
    Fill({"ｻｲﾄｳ", "かとう", "カードー", "カアド", "がっこう", "かつこう", "ア", "あ", "ｱ", "ぱん",
          "ばん", "はん", "ん", "ゃ", "や", "", "abc"});
    EXPECT_EQ(Sorted({{1, SortOrder::Ascending, SortKeyKind::Reading}}),
              (Texts{"abc", "あ", "ア", "ｱ", "カアド", "カードー", "かつこう", "がっこう", "かとう",
                     "ｻｲﾄｳ", "はん", "ばん", "ぱん", "ゃ", "や", "ん", ""}));
}

TEST_F(MultiKeySortTest, KanjiNamesByTheirReadingsOrByTheirFuriganaColumn) {
    Fill({"渡辺", "佐藤", "あおき", "鈴木", "伊藤", "高橋", "アオキ", "ｱｵｷ"},
         {"わたなべ", "さとう", "", "すずき", "いとう", "たかはし"});
    const Texts expected{"あおき", "アオキ", "ｱｵｷ", "伊藤", "佐藤", "鈴木", "高橋", "渡辺"};
    EXPECT_EQ(Sorted({{1, SortOrder::Ascending, SortKeyKind::Reading, 2}}), expected);
    if (!ReadingDictionary::Shared().Available()) {
        GTEST_SKIP() << "the reading dictionary (" << kReadingDictionaryPackage << ") is missing";
    }
    EXPECT_EQ(Sorted({{1, SortOrder::Ascending, SortKeyKind::Reading}}), expected);
    EXPECT_EQ(Cp932ToUtf8(Sjis(ReadingDictionary::Shared().Reading("齋藤さん"))), "サイトウサン");
    ReadingDictionary missing("-d /nonexistent");
    EXPECT_FAILS(Sorted({{1, SortOrder::Ascending, SortKeyKind::Reading}}, &missing),
                 std::string(kReadingDictionaryMissingMessage));
}

// Equal values decide nothing however written; texts that are no number (date) follow the
// values by their bytes, empty cells last.
TEST_F(MultiKeySortTest, KeysInTurnStableWithOtherTextsAfterValues) {
    Fill({"1万", "x", "▲5", "", "10,000", "\\900", "令和元年5月1日", "2019/4/30", "y", "1万"},
         {"b", "a", "b", "a", "a", "b", "a", "a", "a", "a"});
    const auto col2 = [](SortOrder order) { return SortKey{2, order, SortKeyKind::Text}; };
    EXPECT_EQ(Sorted({col2(SortOrder::Descending), {1, SortOrder::Ascending, SortKeyKind::Number}}),
              (Texts{"▲5", "\\900", "1万", "10,000", "1万", "2019/4/30", "x", "y", "令和元年5月1日",
                     ""}));
    EXPECT_EQ(Sorted({{1, SortOrder::Descending, SortKeyKind::Date}}),
              (Texts{"令和元年5月1日", "2019/4/30", "▲5", "y", "x", "\\900", "1万", "1万", "10,000",
                     ""}));
}

}  // namespace
}  // namespace qv
