#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qv {

// UTF-8 helpers for the program's interchange texts (the clipboard, CSV files, the command
// line). The table's own texts are CP932 bytes; nothing here converts between the two.

// Whether `text` is well-formed UTF-8: no stray or missing continuation bytes, no overlong
// form, no surrogate, nothing above U+10FFFF. The empty text is valid.
bool IsValidUtf8(std::string_view text);

// The character that starts at `text[at]` and its length in bytes. A byte that starts no
// well-formed character gives U+FFFD and length 1.
struct Utf8Character {
    char32_t value;
    std::size_t length;
};
Utf8Character DecodeUtf8At(std::string_view text, std::size_t at);

// Appends the character in UTF-8 (U+FFFD for a surrogate or a value above U+10FFFF).
void AppendUtf8(std::string& out, char32_t character);

// The first character of `utf8` (U+FFFD for none or a malformed one), and a character alone
// in UTF-8: for tables of characters written as text.
inline char32_t FirstUtf8Character(std::string_view utf8) {
    return DecodeUtf8At(utf8, 0).value;
}
inline std::string Utf8Text(char32_t character) {
    std::string out;
    AppendUtf8(out, character);
    return out;
}

}  // namespace qv
