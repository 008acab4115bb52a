#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The encodings of the texts the program exchanges with other programs (CSV and TSV files,
// the clipboard). The table itself holds CP932 bytes.
enum class TextEncoding { Utf8, Utf8WithBom, Cp932 };

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// "〓", the usual mark for a character the encoding lacks, in CP932 and in UTF-8.
inline constexpr std::string_view kGetaMarkCp932 = "\x81\xAC";
inline constexpr std::string_view kGetaMarkUtf8 = "\xE3\x80\x93";

// The encoding of a file's bytes: UTF-8 with BOM when it starts with one; UTF-8 when its first
// megabyte is well-formed UTF-8 (ASCII included, which reads the same either way); CP932
// otherwise. Shift-JIS text that is also well-formed UTF-8 beyond a few characters does not
// occur in practice, so validity decides, without guessing from letter frequencies.
TextEncoding DetectTextEncoding(std::string_view bytes);

// A text in CP932 with the characters it could not hold replaced by "〓": where each
// replacement starts (offsets into `cp932`, the first kUnencodableListed of them) and which
// character it stands for, and how many there were in all.
struct Cp932Text {
    std::string cp932;
    struct Replacement {
        std::size_t offset;
        char32_t character;
    };
    std::vector<Replacement> replaced;
    std::size_t replacedCount = 0;
};
inline constexpr std::size_t kUnencodableListed = 20;

// The bytes as CP932: a UTF-8 BOM is dropped in the UTF-8 encodings (a byte that is not UTF-8
// counts as unencodable, as U+FFFD), CP932 bytes are kept as they are.
Cp932Text ToCp932(std::string bytes, TextEncoding encoding);

// A character and where it lies in a delimited text, for messages.
struct UnencodableCharacter {
    int64_t record = 0;  // 0-based
    int32_t field = 0;   // 0-based
    char32_t character = 0;
};

// The message that lists unencodable characters, for example
// "Shift-JIS で表せない文字が 2 個あります: 1 行 3 列「😀」、4 行 1 列「①」": positions 1-based,
// the first five listed.
std::string UnencodableMessage(const std::vector<UnencodableCharacter>& listed, std::size_t count);

}  // namespace qv
