#include "tools/statistics_number.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "platform/failure.h"

namespace qv {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Exponents are gathered up to this; anything larger already lies far outside every range that
// matters, and the cap keeps the arithmetic below clear of integer overflow.
constexpr int64_t kExponentCap = 1'000'000'000;

// Once the gathered mantissa reaches this, further digits cannot change it (they lie some 4800
// places below the first), so they are only counted for their place. Far below the top of the
// extended range, so gathering never overflows.
constexpr long double kGatherLimit = 1e4900L;

// Scaled values beyond these are certainly outside double: the mantissa lies in [1, 1e4901).
constexpr int64_t kScaleOverflow = 6000;
constexpr int64_t kScaleUnderflow = -11000;

// Largest power applied in one step; 10^4000 and 10^-4000 are both normal extended values.
constexpr int kScaleStep = 4000;

// Powers of ten that extended precision holds exactly (5^27 < 2^64).
constexpr int kExactPowers = 27;

constexpr std::array<long double, kExactPowers + 1> MakeExactPowers() {
    std::array<long double, kExactPowers + 1> powers{};
    long double p = 1.0L;
    for (auto& power : powers) {
        power = p;
        p *= 10.0L;
    }
    return powers;
}

constexpr std::array<long double, kExactPowers + 1> kPowersOfTen = MakeExactPowers();

// 10^n for 0 <= n <= kScaleStep.
long double PowerOfTen(int n) {
    if (n <= kExactPowers) {
        return kPowersOfTen[static_cast<std::size_t>(n)];
    }
    return std::pow(10.0L, static_cast<long double>(n));
}

// m * 10^k, multiplying by positive powers and dividing by negative ones.
long double Scale(long double m, int64_t k) {
    while (k > kScaleStep && !std::isinf(m)) {
        m *= PowerOfTen(kScaleStep);
        k -= kScaleStep;
    }
    while (k < -kScaleStep) {
        m /= PowerOfTen(kScaleStep);
        k += kScaleStep;
    }
    if (k >= 0) {
        return m * PowerOfTen(static_cast<int>(k));
    }
    return m / PowerOfTen(static_cast<int>(-k));
}

// The mantissa digits read as one integer. The first 19 digits fit a 64-bit integer exactly, as
// they would in extended precision, so they are gathered there; later ones go on in extended
// precision, value * 10 + digit.
class Mantissa {
public:
    void AddDigit(char c, bool afterPoint) {
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (!wide_) {
            if (exact_ < 1'000'000'000'000'000'000ULL) {
                exact_ = exact_ * 10 + digit;
                scale_ -= afterPoint ? 1 : 0;
                return;
            }
            wide_ = true;
            value_ = static_cast<long double>(exact_);
        }
        if (value_ < kGatherLimit) {
            value_ = value_ * 10.0L + static_cast<long double>(digit);
            scale_ -= afterPoint ? 1 : 0;
        } else if (!afterPoint) {
            scale_ += 1;  // dropped, but its place still counts
        }
    }

    bool IsZero() const { return wide_ ? value_ == 0.0L : exact_ == 0; }
    long double Value() const { return wide_ ? value_ : static_cast<long double>(exact_); }
    // Whether the digits are all held in the 64-bit integer Exact().
    bool IsExact() const { return !wide_; }
    uint64_t Exact() const { return exact_; }
    // Power of ten the digits stand for: minus the digits after the point kept, plus the
    // integer digits dropped.
    int64_t Scale() const { return scale_; }

private:
    uint64_t exact_ = 0;
    long double value_ = 0.0L;
    bool wide_ = false;
    int64_t scale_ = 0;
};

}  // namespace

NumberReading ReadStatisticsNumber(std::string_view text, double& value) {
    const char* p = text.data();
    const char* const end = p + text.size();

    while (p < end && *p == ' ') {
        ++p;
    }
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end) {
        return NumberReading::NotANumber;
    }

    Mantissa mantissa;
    while (p < end && IsDigit(*p)) {
        mantissa.AddDigit(*p++, false);
    }
    if (p < end && *p == '.') {
        if (p + 1 == end) {
            return NumberReading::NotANumber;
        }
        ++p;
        while (p < end && IsDigit(*p)) {
            mantissa.AddDigit(*p++, true);
        }
    }

    int64_t exponent = 0;
    if (p < end && (*p == 'E' || *p == 'e')) {
        ++p;
        bool negativeExponent = false;
        if (p < end && (*p == '+' || *p == '-')) {
            negativeExponent = *p == '-';
            ++p;
        }
        if (p == end || !IsDigit(*p)) {
            return NumberReading::NotANumber;
        }
        while (p < end && IsDigit(*p)) {
            exponent = exponent * 10 + (*p++ - '0');
            if (exponent > kExponentCap) {
                exponent = kExponentCap;
            }
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (p != end) {
        return NumberReading::NotANumber;
    }

    if (mantissa.IsZero()) {
        value = negative ? -0.0 : 0.0;
        return NumberReading::Number;
    }
    const int64_t k = exponent + mantissa.Scale();
    if (k > kScaleOverflow) {
        return NumberReading::OutOfRange;
    }
    double rounded = 0.0;
    if (k == 0 && mantissa.IsExact()) {
        // Exact in extended precision too, so a single rounding either way; the usual case of
        // whole numbers, kept off the slower extended arithmetic.
        rounded = static_cast<double>(mantissa.Exact());
    } else {
        const long double scaled = k < kScaleUnderflow ? 0.0L : Scale(mantissa.Value(), k);
        rounded = static_cast<double>(scaled);
    }
    if (std::isinf(rounded)) {
        return NumberReading::OutOfRange;
    }
    value = negative ? -rounded : rounded;
    return NumberReading::Number;
}

bool ParseStatisticsNumber(std::string_view text, double& value) {
    switch (ReadStatisticsNumber(text, value)) {
        case NumberReading::Number:
            return true;
        case NumberReading::NotANumber:
            return false;
        case NumberReading::OutOfRange:
            break;
    }
    throw Failure(kFloatOverflowMessage);
}

namespace {

constexpr char kYen = '\x5C';

// The cell text with the yen mark and the commas removed. Returns `cell` itself when there is
// nothing to remove, else the text built in `buffer`.
std::string_view StripYenAndCommas(std::string_view cell, std::string& buffer) {
    std::size_t yen = cell.size();
    if (cell[0] == kYen) {
        yen = 0;
    } else if (cell.size() > 1 && cell[1] == kYen) {
        yen = 1;
    }
    if (yen == cell.size() && cell.find(',') == std::string_view::npos) {
        return cell;
    }
    buffer.resize(cell.size());
    char* out = buffer.data();
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (i != yen && cell[i] != ',') {
            *out++ = cell[i];
        }
    }
    return std::string_view(buffer.data(), static_cast<std::size_t>(out - buffer.data()));
}

}  // namespace

NumberReading ReadCellNumber(std::string_view cell, std::string& buffer, double& value) {
    if (cell.empty()) {
        return NumberReading::NotANumber;
    }
    return ReadStatisticsNumber(StripYenAndCommas(cell, buffer), value);
}

std::optional<double> ParseStatisticsNumber(std::string_view text) {
    double value = 0.0;
    if (!ParseStatisticsNumber(text, value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace qv
