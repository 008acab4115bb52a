#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// Byte-text helpers. Texts are CP932 byte strings; nothing here looks at characters.

// Removes every byte of value 32 or less from both ends.
std::string_view Trim(std::string_view text);

// Plain decimal digits, "-" in front when negative, no grouping.
std::string IntToStr(int64_t value);

// Text to 32-bit integer: leading blanks (byte 32) skipped, then an optional "+" or "-" and
// decimal digits within the 32-bit signed range, or "$" and hexadecimal digits (either case)
// whose value fits in 32 bits, taken as a two's complement pattern. Nothing may follow.
// Returns nothing for any other text, the empty text included.
std::optional<int32_t> ParseInt(std::string_view text);

// As ParseInt, but a bad text raises Failure "'%s' は整数ではありません" with the text
// (decoded from CP932 for display, a NUL byte shown as "\0") in place of %s.
int32_t StrToInt(std::string_view text);

}  // namespace qv
