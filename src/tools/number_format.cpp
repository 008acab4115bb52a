#include "tools/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qv {

namespace {

constexpr int kWrittenDigits = 18;
constexpr int kShownDigits = 15;
// Values 0.d x 10^e with e in this range are written in fixed form.
constexpr int kFixedLowest = -3;
constexpr int kFixedHighest = 15;

}  // namespace

std::string FormatStatisticsNumber(double value, std::string_view separator) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (value == 0.0) {
        return "0";
    }

    std::string out;
    if (value < 0) {
        out += '-';
        value = -value;
    }

    // "d.ddddddddddddddddde+XX": 18 significant digits, rounded to nearest.
    char written[40];
    std::snprintf(written, sizeof written, "%.*e", kWrittenDigits - 1, value);
    char digits[kWrittenDigits];
    digits[0] = written[0];
    for (int i = 1; i < kWrittenDigits; ++i) {
        digits[i] = written[i + 1];
    }
    int e = static_cast<int>(std::strtol(written + kWrittenDigits + 2, nullptr, 10)) + 1;

    // Round to 15 digits on the 16th alone.
    if (digits[kShownDigits] >= '5') {
        int i = kShownDigits - 1;
        while (i >= 0 && digits[i] == '9') {
            digits[i] = '0';
            --i;
        }
        if (i < 0) {
            digits[0] = '1';
            ++e;
        } else {
            ++digits[i];
        }
    }
    int n = kShownDigits;
    while (n > 1 && digits[n - 1] == '0') {
        --n;
    }

    if (e >= kFixedLowest && e <= kFixedHighest) {
        if (e > 0) {
            for (int i = 0; i < e; ++i) {
                out += i < n ? digits[i] : '0';
            }
            if (n > e) {
                out += separator;
                out.append(digits + e, static_cast<size_t>(n - e));
            }
        } else {
            out += '0';
            out += separator;
            out.append(static_cast<size_t>(-e), '0');
            out.append(digits, static_cast<size_t>(n));
        }
        return out;
    }

    out += digits[0];
    if (n > 1) {
        out += separator;
        out.append(digits + 1, static_cast<size_t>(n - 1));
    }
    out += 'E';
    const int shown = e - 1;
    if (shown < 0) {
        out += '-';
    }
    out += std::to_string(std::abs(shown));
    return out;
}

}  // namespace qv
