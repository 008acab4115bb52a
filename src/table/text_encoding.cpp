#include "table/text_encoding.h"

#include "platform/cp932.h"
#include "platform/utf8.h"

namespace qv {

namespace {

constexpr std::size_t kDetectionSample = std::size_t{1} << 20;

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

}  // namespace

TextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) {
        return TextEncoding::Utf8WithBom;
    }
    const std::string_view sample = bytes.substr(0, kDetectionSample);
    return IsValidUtf8(WholeCharacters(sample, sample.size() < bytes.size())) ? TextEncoding::Utf8
                                                                              : TextEncoding::Cp932;
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

std::string UnencodableMessage(const std::vector<UnencodableCharacter>& listed, std::size_t count) {
    constexpr std::size_t kShown = 5;
    std::string message = "Shift-JIS で表せない文字が " + std::to_string(count) + " 個あります: ";
    for (std::size_t i = 0; i < listed.size() && i < kShown; ++i) {
        if (i > 0) {
            message += "、";
        }
        message += std::to_string(listed[i].record + 1) + " 行 " +
                   std::to_string(listed[i].field + 1) + " 列「";
        AppendUtf8(message, listed[i].character);
        message += "」";
    }
    if (count > kShown) {
        message += " ほか";
    }
    return message;
}

}  // namespace qv
