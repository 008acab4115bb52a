// Conversions of character kinds, by tables of CP932 codes built once from the Unicode meaning
// of every code, so that a conversion costs one look-up a character.
#include "tools/character_conversion.h"

#include <array>
#include <cstdint>
#include <memory>

#include "platform/cp932.h"
#include "platform/utf8.h"
#include "table/cell_handle.h"
#include "tools/cp932_characters.h"

namespace qv {

namespace {

// A CP932 character: one byte when below 0x100, otherwise two (lead byte high); 0 = unchanged.
using Code = uint16_t;

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ
constexpr Code kFullWidthSpace = 0x8140;

// The CP932 code of a code point, or 0 when Shift-JIS lacks it.
Code ExactCp932CodeOf(char32_t c) {
    const auto cp932 = Utf8ToCp932(Utf8Text(c));
    if (!cp932 || cp932->empty() || cp932->size() > 2) {
        return 0;
    }
    return cp932->size() == 1 ? static_cast<unsigned char>((*cp932)[0])
                              : static_cast<Code>((static_cast<unsigned char>((*cp932)[0]) << 8) |
                                                  static_cast<unsigned char>((*cp932)[1]));
}

// The same, trying the other code point of the characters that CP932 and Shift-JIS decode
// differently (～ and 〜, － and −).
Code Cp932CodeOf(char32_t c) {
    if (const Code code = ExactCp932CodeOf(c); code != 0) {
        return code;
    }
    switch (c) {
        case 0xFF5E:
            return ExactCp932CodeOf(0x301C);
        case 0xFF0D:
            return ExactCp932CodeOf(0x2212);
        default:
            return 0;
    }
}

char32_t UnicodeOf(Code code) {
    const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    const std::string_view text =
        code < 0x100 ? std::string_view(bytes + 1, 1) : std::string_view(bytes, 2);
    const auto utf8 = TryCp932ToUtf8(text);
    return utf8 && !utf8->empty() ? FirstUtf8Character(*utf8) : 0;
}

char32_t ToHalfWidth(char32_t c) {
    switch (c) {
        case 0xFFE5:  // ￥
            return U'\\';
        case 0x301C:  // 〜, CP932's ～ as Shift-JIS reads it
            return U'~';
        case 0x2212:  // −, CP932's － as Shift-JIS reads it
            return U'-';
        default:
            break;
    }
    return c >= 0xFF01 && c <= 0xFF5E ? c - 0xFEE0 : c;
}

char32_t ToFullWidth(char32_t c) {
    if (c == U'\\') {
        return 0xFFE5;
    }
    return c >= 0x21 && c <= 0x7E ? c + 0xFEE0 : c;
}

char32_t ToHiraganaCode(char32_t c) {
    if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE) {
        return c - 0x60;
    }
    return c;
}

char32_t ToKatakanaCode(char32_t c) {
    if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) {
        return c + 0x60;
    }
    return c;
}

struct ConversionTable {
    std::array<Code, 256> single{};
    std::array<Code, 65536> pair{};
    bool joinsMarks = false;  // half-width kana and a following mark become one character
};

template <typename Map>
void FillTable(ConversionTable& table, Map&& map) {
    for (Code code = 0x20; code < 0x100; ++code) {
        const char32_t from = UnicodeOf(code);
        const char32_t to = from != 0 ? map(from) : from;
        table.single[code] = to != from ? Cp932CodeOf(to) : 0;
    }
    for (uint32_t code = 0x8140; code < 0x10000; ++code) {
        if (!IsCp932LeadByte(static_cast<char>(code >> 8))) {
            continue;
        }
        const char32_t from = UnicodeOf(static_cast<Code>(code));
        const char32_t to = from != 0 ? map(from) : from;
        table.pair[code] = to != from ? Cp932CodeOf(to) : 0;
    }
}

// The half-width kana 0xA1-0xDF as full-width, passed through `map` (identity or to hiragana).
template <typename Map>
void FillHalfWidthKana(ConversionTable& table, Map&& map) {
    table.joinsMarks = true;
    std::size_t at = 0;
    for (Code b = 0xA1; b <= 0xDF; ++b) {
        const char32_t full = FirstUtf8Character(kFullWidthOfHalfWidthKana.substr(at, 3));
        at += 3;
        table.single[b] = Cp932CodeOf(map(full));
    }
}

std::unique_ptr<ConversionTable> BuildTable(CharacterConversion conversion) {
    auto table = std::make_unique<ConversionTable>();
    switch (conversion) {
        case CharacterConversion::ToHalfWidthAlphanumerics:
            FillTable(*table, ToHalfWidth);
            break;
        case CharacterConversion::ToFullWidthAlphanumerics:
            FillTable(*table, ToFullWidth);
            break;
        case CharacterConversion::ToFullWidthKana:
            FillHalfWidthKana(*table, [](char32_t c) { return c; });
            break;
        case CharacterConversion::ToHiragana:
            FillTable(*table, ToHiraganaCode);
            FillHalfWidthKana(*table, ToHiraganaCode);
            break;
        case CharacterConversion::ToKatakana:
        case CharacterConversion::TrimBlanks:
            FillTable(*table, ToKatakanaCode);
            break;
    }
    return table;
}

const ConversionTable& TableOf(CharacterConversion conversion) {
    static const std::array<std::unique_ptr<ConversionTable>, 5> tables{
        BuildTable(CharacterConversion::ToHalfWidthAlphanumerics),
        BuildTable(CharacterConversion::ToFullWidthAlphanumerics),
        BuildTable(CharacterConversion::ToFullWidthKana),
        BuildTable(CharacterConversion::ToHiragana),
        BuildTable(CharacterConversion::ToKatakana),
    };
    return *tables[static_cast<std::size_t>(conversion)];
}

// The full-width kana (as the table wrote it) with a following half-width mark joined, or 0.
Code JoinMark(unsigned char kana, unsigned char mark, Code converted) {
    const bool voiceable = (kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE);
    const bool hiragana = converted < 0x8340;
    if (mark == kVoicedMark) {
        if (kana == 0xB3) {
            return hiragana ? 0 : 0x8394;  // ヴ; ゔ is not in Shift-JIS
        }
        return voiceable ? static_cast<Code>(converted + 1) : 0;
    }
    if (mark == kSemiVoicedMark && kana >= 0xCA && kana <= 0xCE) {
        return static_cast<Code>(converted + 2);
    }
    return 0;
}

void Append(std::string& out, Code code) {
    if (code >= 0x100) {
        out += static_cast<char>(code >> 8);
    }
    out += static_cast<char>(code & 0xFF);
}

bool ConvertByTable(std::string_view text, const ConversionTable& table, std::string& out) {
    std::string converted;
    converted.reserve(text.size() * 2);
    bool changed = false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t next = NextCp932Boundary(text, i);
        Code code =
            next == i + 2 ? table.pair[(bytes[i] << 8) | bytes[i + 1]] : table.single[bytes[i]];
        std::size_t end = next;
        if (code != 0 && table.joinsMarks && bytes[i] >= 0xA6 && bytes[i] <= 0xDD &&
            next < text.size()) {
            if (const Code joined = JoinMark(bytes[i], bytes[next], code); joined != 0) {
                code = joined;
                end = next + 1;
            }
        }
        if (code == 0) {
            converted.append(text.substr(i, next - i));
        } else {
            Append(converted, code);
            changed = true;
        }
        i = end;
    }
    if (changed) {
        out = std::move(converted);
    }
    return changed;
}

// The length of the blank (space, tab, full-width space) at `at`, or 0.
std::size_t BlankLength(std::string_view text, std::size_t at) {
    if (text[at] == ' ' || text[at] == '\t') {
        return 1;
    }
    const bool fullWidth = at + 1 < text.size() &&
                           static_cast<unsigned char>(text[at]) == (kFullWidthSpace >> 8) &&
                           static_cast<unsigned char>(text[at + 1]) == (kFullWidthSpace & 0xFF);
    return fullWidth ? 2 : 0;
}

bool TrimBlanks(std::string_view text, std::string& out) {
    std::size_t begin = 0;
    while (begin < text.size() && BlankLength(text, begin) != 0) {
        begin += BlankLength(text, begin);
    }
    std::size_t end = begin;  // the end of the last character that is no blank
    for (std::size_t i = begin; i < text.size(); i = NextCp932Boundary(text, i)) {
        if (BlankLength(text, i) == 0) {
            end = NextCp932Boundary(text, i);
        }
    }
    if (begin == 0 && end == text.size()) {
        return false;
    }
    out.assign(text.substr(begin, end - begin));
    return true;
}

}  // namespace

bool ConvertCharacters(std::string_view text, CharacterConversion conversion, std::string& out) {
    if (conversion == CharacterConversion::TrimBlanks) {
        return TrimBlanks(text, out);
    }
    return ConvertByTable(text, TableOf(conversion), out);
}

CellTextList ConvertedCells(const TableGrid& grid, std::span<const int32_t> cols, int32_t rowBegin,
                            int32_t rowEnd, CharacterConversion conversion) {
    CellTextList changed;
    std::string out;
    for (const int32_t col : cols) {
        grid.VisitColumnTexts(col, rowBegin, rowEnd, [&](int32_t row, CellHandle h) {
            if (ConvertCharacters(cell_handle::Text(h), conversion, out)) {
                changed.Add(GridCell{col, row}, out);
            }
        });
    }
    return changed;
}

}  // namespace qv
