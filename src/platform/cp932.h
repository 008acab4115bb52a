#pragma once

#include <cstddef>
#include <functional>
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

// UTF-8 to CP932 bytes, never failing: each character CP932 has no code for, and each byte that
// starts no well-formed UTF-8 character, becomes `replacement` (CP932 bytes), and `onReplaced`
// hears where the replacement starts in the result and which character it stands for (U+FFFD
// for a bad byte). Throws std::bad_alloc only when memory runs out.
std::string Utf8ToCp932Replacing(std::string_view utf8, std::string_view replacement,
                                 const std::function<void(std::size_t, char32_t)>& onReplaced);

// The same into `out`, which must have room for max(1, replacement.size()) bytes per byte of
// `utf8`; returns the end written, and `onReplaced` hears offsets from `out`. For many short
// texts, such as the fields of a CSV file, without an allocation each.
char* Utf8ToCp932Into(std::string_view utf8, char* out, std::string_view replacement,
                      const std::function<void(std::size_t, char32_t)>& onReplaced);

// CP932 bytes to UTF-8, or nothing when a byte starts no valid CP932 character (a lead byte
// without its second byte included).
std::optional<std::string> TryCp932ToUtf8(std::string_view cp932);

// The same into `out`, which must have room for three bytes per byte of `cp932`: the end
// written, or nullptr when the bytes are not valid CP932 (`out` then holds a part).
char* TryCp932ToUtf8Into(std::string_view cp932, char* out);

// Whether every byte of `cp932` belongs to a valid CP932 character (TryCp932ToUtf8 would
// succeed), without converting.
bool IsValidCp932(std::string_view cp932);

// True when the character has a CP932 code (in the sense of Utf8ToCp932). Surrogates and
// values above U+10FFFF give false.
bool IsCp932Representable(char32_t character);

}  // namespace qv
