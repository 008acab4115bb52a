#pragma once

#include <cstddef>
#include <string_view>

namespace qv {

// Whether the byte opens a double-byte character of CP932; the byte after it, whatever it is,
// belongs to that character.
inline bool IsCp932LeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The offset of the character after the one starting at `at` (< text.size()). A lead byte at
// the very end stands alone.
inline std::size_t NextCp932Boundary(std::string_view text, std::size_t at) {
    return IsCp932LeadByte(text[at]) && at + 1 < text.size() ? at + 2 : at + 1;
}

// The full-width forms of the half-width katakana 0xA1-0xDF, in their order (UTF-8).
inline constexpr std::string_view kFullWidthOfHalfWidthKana =
    "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホ"
    "マミムメモヤユヨラリルレロワン゛゜";

}  // namespace qv
