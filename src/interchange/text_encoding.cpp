#include "interchange/text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/cp932.h"
#include "platform/failure.h"
#include "platform/utf8.h"

namespace qv {

namespace {

constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr std::size_t kGuessSample = std::size_t{1} << 20;

// The sample without a character that its end cuts in two.
std::string_view WholeCharacters(std::string_view sample, bool cut) {
    if (!cut) {
        return sample;
    }
    std::size_t end = sample.size();
    while (end > 0 && sample.size() - end < 4 &&
           (static_cast<unsigned char>(sample[end - 1]) & 0xC0) == 0x80) {
        --end;
    }
    if (end > 0 && static_cast<unsigned char>(sample[end - 1]) >= 0xC0) {
        --end;
    }
    return sample.substr(0, end);
}

// The stretch looked at for the NUL bytes of UTF-16 without a BOM.
constexpr std::size_t kUtf16Sample = 4096;

constexpr const char* kUtf16WithoutBomMessage =
    "UTF-16 のファイルのようですが、BOM (バイト順マーク) がないため読み込めません。"
    "BOM 付きの UTF-16 か、UTF-8 で保存し直してください";

bool LooksLikeUtf16(std::string_view bytes) {
    const std::size_t pairs = std::min(bytes.size(), kUtf16Sample) / 2;
    std::size_t zeros[2] = {0, 0};
    for (std::size_t i = 0; i < 2 * pairs; ++i) {
        zeros[i % 2] += bytes[i] == '\0' ? 1u : 0u;
    }
    // The high bytes of the ASCII characters (delimiters, line ends, digits) are NUL, on one
    // side only.
    const std::size_t more = std::max(zeros[0], zeros[1]);
    const std::size_t fewer = std::min(zeros[0], zeros[1]);
    return pairs > 0 && more * 8 >= pairs && fewer * 8 < more;
}

// Whether every byte that is not ASCII is a CP932 half-width katakana (0xA1 to 0xDF), and there
// is one. Such bytes side by side may also be UTF-8 (Latin, Greek, Cyrillic letters), but a
// Japanese table of half-width katakana is far likelier than one of those letters alone.
bool HalfWidthKatakanaOnly(std::string_view bytes) {
    bool any = false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        uint64_t word = 0;
        if (bytes.size() - i >= 8) {
            std::memcpy(&word, bytes.data() + i, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {  // ASCII, eight bytes at a time
                i += 8;
                continue;
            }
        }
        const auto byte = static_cast<unsigned char>(bytes[i++]);
        if (byte >= 0x80) {
            if (byte < 0xA1 || byte > 0xDF) {
                return false;
            }
            any = true;
        }
    }
    return any;
}

std::string Utf16ToUtf8(std::string_view units, bool bigEndian) {
    std::string out(kUtf8Bom);
    out.reserve(units.size() * 3 / 2 + kUtf8Bom.size());
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(units[i]);
        const auto b = static_cast<unsigned char>(units[i + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    constexpr char32_t kReplacement = 0xFFFD;
    std::size_t i = 0;
    for (; i + 1 < units.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < units.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
    }
    if (i < units.size()) {
        AppendUtf8(out, kReplacement);  // half a unit at the end
    }
    return out;
}

}  // namespace

TextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) {
        return TextEncoding::Utf8WithBom;
    }
    if (!IsValidUtf8(bytes) || HalfWidthKatakanaOnly(bytes)) {
        return TextEncoding::Cp932;
    }
    // UTF-8 Japanese text is seldom valid CP932 as well, which is the cheaper question.
    return IsValidCp932(bytes) && !Utf8ToCp932(bytes) ? TextEncoding::Cp932 : TextEncoding::Utf8;
}

TextEncoding GuessTextEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) {
        return TextEncoding::Utf8WithBom;
    }
    const std::string_view sample = bytes.substr(0, kGuessSample);
    return IsValidUtf8(WholeCharacters(sample, sample.size() < bytes.size())) &&
                   !HalfWidthKatakanaOnly(bytes)
               ? TextEncoding::Utf8
               : TextEncoding::Cp932;
}

bool PreferCp932ToLossyUtf8(std::string_view bytes) {
    return !bytes.starts_with(kUtf8Bom) && (!IsValidUtf8(bytes) || IsValidCp932(bytes));
}

std::string ConvertUtf16File(std::string bytes) {
    const std::string_view view = bytes;
    if (view.starts_with(kUtf16LeBom) || view.starts_with(kUtf16BeBom)) {
        return Utf16ToUtf8(view.substr(2), view.starts_with(kUtf16BeBom));
    }
    if (LooksLikeUtf16(view)) {
        throw Failure(kUtf16WithoutBomMessage);
    }
    return bytes;
}

Cp932Text ToCp932(std::string bytes, TextEncoding encoding) {
    Cp932Text text;
    if (encoding == TextEncoding::Cp932) {
        text.cp932 = std::move(bytes);
        return text;
    }
    std::string_view utf8 = bytes;
    if (utf8.starts_with(kUtf8Bom)) {
        utf8.remove_prefix(kUtf8Bom.size());
    }
    text.cp932 = Utf8ToCp932Replacing(utf8, kGetaMarkCp932, [&](std::size_t at, char32_t c) {
        if (text.replaced.size() < kUnencodableListed) {
            text.replaced.push_back({at, c});
        }
        ++text.replacedCount;
    });
    return text;
}

std::string GridPlaceText(int64_t row, int64_t col) {
    return (row == 0 ? std::string("項目名") : std::to_string(row) + " 行") + " " +
           std::to_string(col) + " 列";
}

std::string UnencodableMessage(const std::vector<UnencodableCharacter>& listed, std::size_t count,
                               int64_t rowOfFirstRecord) {
    constexpr std::size_t kShown = 5;
    std::string message = "Shift-JIS で表せない文字が " + std::to_string(count) + " 個あります: ";
    for (std::size_t i = 0; i < listed.size() && i < kShown; ++i) {
        if (i > 0) {
            message += "、";
        }
        message += GridPlaceText(listed[i].record + rowOfFirstRecord, listed[i].field + 1) + "「";
        AppendUtf8(message, listed[i].character);
        message += "」";
    }
    if (count > kShown) {
        message += " ほか";
    }
    return message;
}

}  // namespace qv
