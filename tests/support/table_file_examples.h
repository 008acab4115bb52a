#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace qv::test {

// CP932 bytes of the texts of the example table.
inline constexpr std::string_view kKaimono = "\x94\x83\x82\xA2\x95\xA8";  // 買い物
inline constexpr std::string_view kHinmei = "\x95\x69\x96\xBC";           // 品名
inline constexpr std::string_view kSuuryou = "\x90\x94\x97\xCA";          // 数量
inline constexpr std::string_view kRingo = "\x82\xE8\x82\xF1\x82\xB2";    // りんご
inline constexpr std::string_view kMikan = "\x82\xDD\x82\xA9\x82\xF1";    // みかん

// A table file built from its lines; every line gets CR LF.
inline std::string TableFileOf(std::initializer_list<std::string_view> lines) {
    std::string file;
    for (std::string_view line : lines) {
        file.append(line).append("\r\n");
    }
    return file;
}

// The example table file: titled 買い物, 3 columns and 3 rows, data column widths 153 and 69,
// item names 品名 and 数量, rows りんご / 3 and みかん / (empty), saved with the main window at
// 294, 211, 276 by 247. 19 lines, 115 bytes.
inline std::string ExampleTableFile() {
    return TableFileOf({"Quorvane", "100", "294", "211", "276", "247", "----------", kKaimono, "3",
                        "3", "153", "69", "----------", kHinmei, kSuuryou, kRingo, "3", kMikan,
                        ""});
}

}  // namespace qv::test
