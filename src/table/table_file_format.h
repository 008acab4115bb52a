#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qv {

// The fixed lines of a table file.
inline constexpr std::string_view kTableFileMark = "Quorvane";  // line 1
inline constexpr std::string_view kTableFileVersion = "100";    // line 2
inline constexpr std::string_view kTableFileSeparator = "----------";

// What a name typed without one gets when the table is saved.
inline constexpr const char* kTableExtension = ".qvd";

// The byte that ends a text file when read; nothing after it counts.
inline constexpr char kEndOfFileByte = 0x1A;

// Whether a file that starts with `prefix` has the file mark as its whole first line. The
// prefix must hold the file's first kTableFileMarkPrefixLength bytes, or the whole file when
// it is shorter.
inline constexpr std::size_t kTableFileMarkPrefixLength = kTableFileMark.size() + 1;
inline bool StartsWithTableFileMark(std::string_view prefix) {
    if (!prefix.starts_with(kTableFileMark)) {
        return false;
    }
    // The mark must end the line: the file ends there, or a CR or the end-of-file byte follows.
    return prefix.size() == kTableFileMark.size() || prefix[kTableFileMark.size()] == '\r' ||
           prefix[kTableFileMark.size()] == kEndOfFileByte;
}

// A title as a table file can hold it: control characters become blanks, since a CR or an LF
// would split its line and 0x1A end the file (no CP932 second byte is below 0x40).
inline std::string TitleForTableFile(std::string title) {
    for (char& c : title) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return title;
}

// The messages of a rejected file.
inline constexpr const char* kUnusableFileMessage = "このファイルは使用できません。";

}  // namespace qv
