// Numbers and dates of Japanese lists. The CP932 text is first turned into a short string of
// tokens: ASCII as it is, the full-width forms of digits, letters and signs as their ASCII forms,
// and the few kanji and symbols that carry meaning (円, 万, 億, 年, 月, 日, 元, the era names)
// as control bytes; any other character means the text is neither a number nor a date. The two
// small parsers below then read the tokens.
#include "tools/japanese_numbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace qv {

namespace {

// Tokens standing for a kanji or symbol (never ASCII text: cells with control bytes fail first).
enum Token : char {
    kYen = 1,  // 円
    kMan,      // 万
    kOku,      // 億
    kYearMark,
    kMonthMark,
    kDayMark,
    kFirstYear,  // 元 (元年)
    kReiwa,
    kHeisei,
    kShowa,
    kTaisho,
    kMeiji,
};

struct CodeToken {
    uint16_t code;
    char token;
};

constexpr std::array<CodeToken, 14> kSymbols{{
    {0x8143, ','},
    {0x8144, '.'},
    {0x817B, '+'},
    {0x817C, '-'},
    {0x81A3, '-'},
    {0x81A2, '-'},
    {0x818F, '\\'},
    {0x8140, ' '},
    {0x815E, '/'},
    {0x897E, kYen},
    {0x969C, kMan},
    {0x89AD, kOku},
    {0x944E, kYearMark},
    {0x8C8E, kMonthMark},
}};
constexpr std::array<CodeToken, 2> kMoreSymbols{{{0x93FA, kDayMark}, {0x8CB3, kFirstYear}}};

struct EraName {
    uint16_t first;
    uint16_t second;
    char token;
};
constexpr std::array<EraName, 5> kEraNames{{
    {0x97DF, 0x9861, kReiwa},   // 令和
    {0x95BD, 0x90AC, kHeisei},  // 平成
    {0x8FBA, 0x9861, kShowa},   // 昭和
    {0x91E5, 0x90B3, kTaisho},  // 大正
    {0x96BE, 0x8EA1, kMeiji},   // 明治
}};

struct Era {
    char token;
    char letter;
    CalendarDate firstDay;
};
constexpr std::array<Era, 5> kEras{{
    {kReiwa, 'R', {2019, 5, 1}},
    {kHeisei, 'H', {1989, 1, 8}},
    {kShowa, 'S', {1926, 12, 25}},
    {kTaisho, 'T', {1912, 7, 30}},
    {kMeiji, 'M', {1868, 9, 8}},  // the calendar's own first day of Meiji, as ICU counts it
}};

// Texts longer than this are no number or date of a list; reading them would only cost time.
constexpr std::size_t kLongestReadText = 256;

uint16_t CodeAt(std::string_view text, std::size_t i) {
    return static_cast<uint16_t>((static_cast<unsigned char>(text[i]) << 8) |
                                 static_cast<unsigned char>(text[i + 1]));
}

char TokenOfCode(uint16_t code) {
    if (code >= 0x824F && code <= 0x8258) {
        return static_cast<char>('0' + (code - 0x824F));
    }
    if (code >= 0x8260 && code <= 0x8279) {
        return static_cast<char>('A' + (code - 0x8260));
    }
    if (code >= 0x8281 && code <= 0x829A) {
        return static_cast<char>('a' + (code - 0x8281));
    }
    for (const CodeToken& s : kSymbols) {
        if (s.code == code) {
            return s.token;
        }
    }
    for (const CodeToken& s : kMoreSymbols) {
        if (s.code == code) {
            return s.token;
        }
    }
    return 0;
}

// The tokens of `text` into `out`; false for a character that has no meaning here.
bool Tokenize(std::string_view text, std::string& out) {
    out.clear();
    if (text.size() > kLongestReadText) {
        return false;
    }
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b >= 0x20 && b < 0x7F) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        if (b < 0x81 || i + 1 >= text.size()) {
            return false;
        }
        const uint16_t code = CodeAt(text, i);
        char token = TokenOfCode(code);
        std::size_t length = 2;
        if (token == 0 && i + 3 < text.size()) {
            const uint16_t next = CodeAt(text, i + 2);
            for (const EraName& era : kEraNames) {
                if (era.first == code && era.second == next) {
                    token = era.token;
                    length = 4;
                }
            }
        }
        if (token == 0) {
            return false;
        }
        out += token;
        i += length;
    }
    return true;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A cursor over the tokens.
struct Tokens {
    std::string_view s;
    std::size_t at = 0;

    bool AtEnd() const { return at >= s.size(); }
    char Peek() const { return AtEnd() ? '\0' : s[at]; }
    bool Take(char c) {
        if (Peek() != c || AtEnd()) {
            return false;
        }
        ++at;
        return true;
    }
    void SkipBlanks() {
        while (Take(' ')) {
        }
    }
};

// digits (',' digits)* ('.' digits)? or '.' digits, into `value`.
bool ReadDecimal(Tokens& t, double& value) {
    std::array<char, kLongestReadText + 1> digits{};
    std::size_t n = 0;
    while (IsDigit(t.Peek()) || (t.Peek() == ',' && n > 0 && t.at + 1 < t.s.size() &&
                                 IsDigit(t.s[t.at + 1]) && IsDigit(digits[n - 1]))) {
        if (t.Peek() != ',') {
            digits[n++] = t.Peek();
        }
        ++t.at;
    }
    if (t.Peek() == '.' && t.at + 1 < t.s.size() && IsDigit(t.s[t.at + 1])) {
        digits[n++] = '.';
        ++t.at;
        while (IsDigit(t.Peek())) {
            digits[n++] = t.Peek();
            ++t.at;
        }
    }
    if (n == 0) {
        return false;
    }
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + n, value);
    return error == std::errc() && end == digits.data() + n;
}

// Groups of a decimal and a unit, the units falling: "1億2000万5" or a plain decimal.
bool ReadGroups(Tokens& t, double& total) {
    total = 0.0;
    double largestUnitLeft = 1e9;  // above 億: every unit may still come
    bool any = false;
    while (IsDigit(t.Peek()) || t.Peek() == '.') {
        double part = 0.0;
        if (!ReadDecimal(t, part)) {
            return false;
        }
        any = true;
        double unit = 1.0;
        if (t.Take(kOku)) {
            unit = 1e8;
        } else if (t.Take(kMan)) {
            unit = 1e4;
        }
        if (unit >= largestUnitLeft) {
            return false;  // 万 before 億, or a unit twice
        }
        total += part * unit;
        if (unit == 1.0) {
            break;
        }
        largestUnitLeft = unit;
    }
    return any;
}

int32_t DaysInMonth(int32_t year, int32_t month) {
    constexpr std::array<int32_t, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// Up to `maxDigits` digits as a number; at least one.
bool ReadInteger(Tokens& t, std::size_t maxDigits, int32_t& value) {
    value = 0;
    std::size_t n = 0;
    while (IsDigit(t.Peek()) && n < maxDigits) {
        value = value * 10 + (t.Peek() - '0');
        ++t.at;
        ++n;
    }
    return n > 0 && !IsDigit(t.Peek());
}

const Era* TakeEra(Tokens& t) {
    for (const Era& era : kEras) {
        if (t.Take(era.token)) {
            t.SkipBlanks();
            return &era;
        }
        const char c = t.Peek();
        const bool letter = c == era.letter || c == era.letter - 'A' + 'a';
        if (letter && t.at + 1 < t.s.size() &&
            (IsDigit(t.s[t.at + 1]) || t.s[t.at + 1] == kFirstYear)) {
            ++t.at;
            return &era;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<double> ReadJapaneseNumber(std::string_view cp932) {
    thread_local std::string tokens;
    if (!Tokenize(cp932, tokens)) {
        return std::nullopt;
    }
    Tokens t{tokens};
    t.SkipBlanks();
    bool negative = false;
    bool signTaken = false;
    bool yenTaken = false;
    for (int i = 0; i < 2; ++i) {
        if (!signTaken && (t.Peek() == '-' || t.Peek() == '+')) {
            negative = t.Peek() == '-';
            signTaken = true;
            ++t.at;
        } else if (!yenTaken && t.Take('\\')) {
            yenTaken = true;
        }
    }
    double value = 0.0;
    if (!ReadGroups(t, value)) {
        return std::nullopt;
    }
    t.Take(kYen);
    t.SkipBlanks();
    if (!t.AtEnd() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<CalendarDate> ReadJapaneseDate(std::string_view cp932) {
    thread_local std::string tokens;
    if (!Tokenize(cp932, tokens)) {
        return std::nullopt;
    }
    Tokens t{tokens};
    t.SkipBlanks();
    const Era* era = TakeEra(t);
    CalendarDate date;
    const std::size_t yearStart = t.at;
    if (era != nullptr && t.Take(kFirstYear)) {
        date.year = 1;
    } else if (!ReadInteger(t, era != nullptr ? 3 : 4, date.year) ||
               (era == nullptr && t.at - yearStart != 4)) {
        return std::nullopt;
    }
    const char separator = t.Peek();
    if (separator != kYearMark && separator != '/' && separator != '-' && separator != '.') {
        return std::nullopt;
    }
    ++t.at;
    const bool kanji = separator == kYearMark;
    if (!ReadInteger(t, 2, date.month) ||
        !t.Take(kanji ? static_cast<char>(kMonthMark) : separator) ||
        !ReadInteger(t, 2, date.day) || (kanji && !t.Take(kDayMark))) {
        return std::nullopt;
    }
    t.SkipBlanks();
    if (!t.AtEnd() || date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > DaysInMonth(era != nullptr ? era->firstDay.year + date.year - 1 : date.year,
                               date.month)) {
        return std::nullopt;
    }
    if (era != nullptr) {
        date.year += era->firstDay.year - 1;
        if (date < era->firstDay) {
            return std::nullopt;
        }
    }
    return date;
}

int64_t DayNumber(CalendarDate date) {
    // Days from the civil date (the proleptic Gregorian calendar), counted in 400-year eras.
    const int64_t y = int64_t{date.year} - (date.month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t m = date.month;
    const int64_t dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + date.day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace qv
