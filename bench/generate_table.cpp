// qv_generate_table R C PATH [SEED]: writes a table file of R rows and C columns (C counts the
// label column) with the kind of content a Japanese user keeps: item names, readings in
// half-width katakana, quantities, yen amounts written "\1,200" (0x5C is the yen mark in CP932),
// dates, remarks and ratios, with empty cells here and there. The same seed always gives the same
// bytes. Row 0 holds the item names. Meant for the benchmarks; the files go to a build folder.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp932.h"
#include "platform/files.h"

namespace {

// A small generator of its own, so that the bytes do not depend on the standard library's
// distributions.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number in [0, n).
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }
    bool Percent(uint32_t p) { return Below(100) < p; }

private:
    uint64_t state_;
};

std::vector<std::string> Cp932List(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    for (const char* text : utf8) {
        out.push_back(qv::Utf8ToCp932(text).value());
    }
    return out;
}

// Words in kanji and kana; several hold a second byte 0x5C (表, ソ, 能) as real texts do.
const std::vector<std::string>& Words() {
    static const std::vector<std::string> words =
        Cp932List({"りんご", "みかん", "鉛筆",   "消しゴム", "表",   "ソフト",  "能力", "東京",
                   "大阪",   "名古屋", "牛乳",   "パン",     "卵",   "醤油",    "味噌", "封筒",
                   "切手",   "電池",   "充電器", "机",       "椅子", "本棚",    "時計", "傘",
                   "靴下",   "手袋",   "帽子",   "洗剤",     "石鹸", "歯ブラシ"});
    return words;
}

const std::vector<std::string>& Readings() {
    static const std::vector<std::string> readings =
        Cp932List({"ﾘﾝｺﾞ", "ﾐｶﾝ", "ｴﾝﾋﾟﾂ", "ｹｼｺﾞﾑ", "ﾋｮｳ", "ｿﾌﾄ", "ﾉｳﾘｮｸ", "ﾄｳｷｮｳ", "ｵｵｻｶ", "ﾅｺﾞﾔ",
                   "ｷﾞｭｳﾆｭｳ", "ﾊﾟﾝ", "ﾀﾏｺﾞ", "ｼｮｳﾕ", "ﾐｿ", "ﾌｳﾄｳ"});
    return readings;
}

const std::vector<std::string>& Remarks() {
    static const std::vector<std::string> remarks =
        Cp932List({"済", "未", "要確認", "至急", "返品", "ｾｰﾙ", "在庫切れ", "予約"});
    return remarks;
}

const std::vector<std::string>& ItemNames() {
    static const std::vector<std::string> names =
        Cp932List({"品名", "ﾌﾘｶﾞﾅ", "数量", "単価", "金額", "日付", "備考", "比率"});
    return names;
}

constexpr int32_t kColumnWidths[] = {120, 80, 48, 72, 80, 72, 120, 56};

void AppendNumber(std::string& out, int64_t value) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

// "\1,234,567": the yen mark, then the digits grouped by commas.
void AppendYen(std::string& out, int64_t value) {
    if (value < 0) {
        out += '-';
        value = -value;
    }
    out += '\x5C';
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    const auto count = static_cast<int>(result.ptr - digits);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
}

template <class List>
const std::string& Pick(Random& random, const List& list) {
    return list[random.Below(static_cast<uint32_t>(list.size()))];
}

// One data cell of column kind `kind` (0 .. 7, the item names above).
void AppendCell(std::string& out, Random& random, int kind) {
    switch (kind) {
        case 0:
            out += Pick(random, Words());
            if (random.Percent(50)) {
                out += Pick(random, Words());
            }
            break;
        case 1:
            if (!random.Percent(10)) {
                out += Pick(random, Readings());
                if (random.Percent(30)) {
                    out += Pick(random, Readings());
                }
            }
            break;
        case 2:
            if (!random.Percent(5)) {
                AppendNumber(out, random.Below(5000));
            }
            break;
        case 3:
            AppendYen(out, 10 * static_cast<int64_t>(random.Below(5000)) + 10);
            break;
        case 4:
            if (!random.Percent(5)) {
                AppendYen(out, static_cast<int64_t>(random.Below(200000)) -
                                   (random.Percent(3) ? 300000 : 0));
            }
            break;
        case 5:
            AppendNumber(out, 2020 + random.Below(7));
            out += '/';
            AppendNumber(out, 1 + random.Below(12));
            out += '/';
            AppendNumber(out, 1 + random.Below(28));
            break;
        case 6:
            if (random.Percent(60)) {
                out += Pick(random, Remarks());
            }
            break;
        default:
            if (!random.Percent(15)) {
                if (random.Percent(10)) {
                    out += '-';
                }
                AppendNumber(out, random.Below(100));
                out += '.';
                AppendNumber(out, 10 + random.Below(90));
            }
            break;
    }
    out += "\r\n";
}

void AppendLine(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
}

std::string BuildTable(int32_t rows, int32_t cols, uint64_t seed) {
    Random random(seed);
    std::string out;
    out.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols) * 8 + 4096);
    AppendLine(out, "Quorvane");
    AppendLine(out, "100");
    for (const char* line : {"120", "80", "900", "700", "----------"}) {
        AppendLine(out, line);
    }
    AppendLine(out, qv::Utf8ToCp932("ベンチマーク用の表 " + std::to_string(seed)).value());
    AppendNumber(out, cols);
    out += "\r\n";
    AppendNumber(out, rows);
    out += "\r\n";
    for (int32_t c = 1; c < cols; ++c) {
        AppendNumber(out, kColumnWidths[(c - 1) % 8]);
        out += "\r\n";
    }
    AppendLine(out, "----------");
    for (int32_t c = 1; c < cols; ++c) {
        AppendLine(out, ItemNames()[static_cast<std::size_t>((c - 1) % 8)]);
    }
    for (int32_t r = 1; r < rows; ++r) {
        for (int32_t c = 1; c < cols; ++c) {
            AppendCell(out, random, (c - 1) % 8);
        }
    }
    return out;
}

bool ParseCount(const char* text, int64_t low, int64_t high, int64_t& value) {
    const std::string_view view(text);
    auto result = std::from_chars(view.data(), view.data() + view.size(), value);
    return result.ec == std::errc() && result.ptr == view.data() + view.size() && value >= low &&
           value <= high;
}

}  // namespace

int main(int argc, char** argv) {
    int64_t rows = 0;
    int64_t cols = 0;
    int64_t seed = 1;
    if (argc < 4 || argc > 5 || !ParseCount(argv[1], 1, 100'000'000, rows) ||
        !ParseCount(argv[2], 1, 10'000'000, cols) ||
        (argc == 5 && !ParseCount(argv[4], 0, INT64_MAX, seed))) {
        std::fprintf(stderr, "usage: qv_generate_table ROWS COLUMNS PATH [SEED]\n");
        return 2;
    }
    try {
        qv::ReplaceFileAtomically(argv[3],
                                  BuildTable(static_cast<int32_t>(rows), static_cast<int32_t>(cols),
                                             static_cast<uint64_t>(seed)));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "qv_generate_table: %s: %s\n", argv[3], failure.what());
        return 1;
    }
    return 0;
}
