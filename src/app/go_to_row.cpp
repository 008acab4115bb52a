#include "app/go_to_row.h"

#include <algorithm>

namespace qv {

namespace {

constexpr std::string_view kFullWidthDigitLead = "\xEF\xBC";  // U+FF10..U+FF19: EF BC 90..99

// The digit at the front of `text` and its length in bytes, or -1.
int FrontDigit(std::string_view text, size_t& length) {
    if (!text.empty() && text[0] >= '0' && text[0] <= '9') {
        length = 1;
        return text[0] - '0';
    }
    if (text.size() >= 3 && text.starts_with(kFullWidthDigitLead)) {
        const auto last = static_cast<unsigned char>(text[2]);
        if (last >= 0x90 && last <= 0x99) {
            length = 3;
            return last - 0x90;
        }
    }
    return -1;
}

std::string_view TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::optional<int32_t> RowToGoTo(std::string_view typed, int32_t rowCount) {
    std::string_view text = TrimSpaces(typed);
    const bool negative = text.starts_with('-');
    text.remove_prefix(negative ? 1 : 0);
    int64_t value = 0;  // saturates: only whether it passes rowCount matters
    bool anyDigit = false;
    while (!text.empty()) {
        size_t length = 0;
        const int digit = FrontDigit(text, length);
        if (digit < 0 && !(text[0] == ',' && anyDigit)) {
            return std::nullopt;
        }
        if (digit >= 0) {
            anyDigit = true;
            value = std::min<int64_t>(value * 10 + digit, INT32_MAX);
        }
        text.remove_prefix(digit >= 0 ? length : 1);
    }
    if (!anyDigit || rowCount < 2) {
        return std::nullopt;
    }
    return negative ? 1 : static_cast<int32_t>(std::clamp<int64_t>(value, 1, rowCount - 1));
}

}  // namespace qv
