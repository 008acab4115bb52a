#include "platform/text.h"

#include <charconv>

#include "platform/cp932.h"
#include "platform/failure.h"

namespace qv {

std::string_view Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::string IntToStr(int64_t value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::optional<int32_t> ParseInt(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    if (pos == text.size()) {
        return std::nullopt;
    }

    if (text[pos] == '$') {
        ++pos;
        if (pos == text.size()) {
            return std::nullopt;
        }
        // The value is checked after every digit, so it never exceeds 32 bits plus one digit.
        uint64_t value = 0;
        for (; pos < text.size(); ++pos) {
            int digit = HexDigitValue(text[pos]);
            if (digit < 0) {
                return std::nullopt;
            }
            value = value * 16 + static_cast<uint64_t>(digit);
            if (value > 0xFFFFFFFFu) {
                return std::nullopt;
            }
        }
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    }

    bool negative = false;
    if (text[pos] == '+' || text[pos] == '-') {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size()) {
        return std::nullopt;
    }
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t value = 0;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > limit) {
            return std::nullopt;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

namespace {

// The text as a message shows it: a NUL byte would end the message there, so it shows as "\0".
std::string ShownInMessage(std::string_view text) {
    std::string shown = Cp932ToUtf8(text);
    for (std::size_t at = shown.find('\0'); at != std::string::npos; at = shown.find('\0', at)) {
        shown.replace(at, 1, "\\0");
    }
    return shown;
}

}  // namespace

int32_t StrToInt(std::string_view text) {
    if (auto value = ParseInt(text)) {
        return *value;
    }
    throw Failure("'" + ShownInMessage(text) + "' は整数ではありません");
}

}  // namespace qv
