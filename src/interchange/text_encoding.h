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

// The encoding of a file's bytes: UTF-8 with BOM when it starts with one; UTF-8 when the whole
// file is well-formed UTF-8 (ASCII included, which reads the same either way), unless its only
// bytes beyond ASCII are CP932 half-width katakana, or it holds characters CP932 lacks while it
// is also valid CP932 (half-width katakana side by side can look like UTF-8: read as CP932
// they lose nothing); CP932 otherwise. Validity decides,
// without guessing from letter frequencies.
TextEncoding DetectTextEncoding(std::string_view bytes);

// The same told from the BOM and the first megabyte alone, for a reader that checks the rest as
// it goes (see PreferCp932ToLossyUtf8).
TextEncoding GuessTextEncoding(std::string_view bytes);

// Whether bytes read as UTF-8 (without a BOM) and found to hold characters CP932 lacks, or bytes
// that are not UTF-8, are rather CP932 by the rule of DetectTextEncoding.
bool PreferCp932ToLossyUtf8(std::string_view bytes);

// The bytes of a file to be imported with UTF-16 read: a file starting with a UTF-16 BOM (little
// or big endian) becomes UTF-8 with a BOM (a lone surrogate becoming U+FFFD); other bytes are
// kept. Raises Failure for a file that is evidently UTF-16 without a BOM (many NUL bytes in
// every other place), which cannot be read reliably.
std::string ConvertUtf16File(std::string bytes);

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

// A place in the table as the grid shows it: "3 行 2 列", or "項目名 2 列" for row 0.
std::string GridPlaceText(int64_t row, int64_t col);

// The message that lists unencodable characters, for example
// "Shift-JIS で表せない文字が 2 個あります: 1 行 3 列「😀」、4 行 1 列「①」", the first five listed
// at the grid's places: record r goes to row r + rowOfFirstRecord (0: the item names), field f
// to column f + 1.
std::string UnencodableMessage(const std::vector<UnencodableCharacter>& listed, std::size_t count,
                               int64_t rowOfFirstRecord = 1);

}  // namespace qv
