#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// Conversion between CP932 (the Japanese Windows code page of the table and settings files)
// and UTF-8, through the C library's "CP932" converter. Safe to call from several threads:
// every thread keeps its own converters.

// CP932 bytes to UTF-8. Never fails: a byte that starts no valid character, and a lead byte
// whose second byte is missing or invalid, each become U+FFFD, and decoding goes on at the
// next byte. Throws std::bad_alloc only when memory runs out.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 to CP932 bytes. Returns nothing when the text is not valid UTF-8 or holds a character
// CP932 has no code for. Characters that the C library maps by convention are accepted: U+00A5
// becomes 0x5C and U+301C becomes 0x81 0x60, as on Japanese systems.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// True when the character has a CP932 code (in the sense of Utf8ToCp932). Surrogates and
// values above U+10FFFF give false.
bool IsCp932Representable(char32_t character);

}  // namespace qv
