#include "tools/statistics_number.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "platform/failure.h"

namespace qv {
namespace {

struct NumberCase {
    std::string text;
    double value;
};

TEST(NumberSyntaxTest, ReadsNumbers) {
    // clang-format off
    const NumberCase cases[] = {
        {"0", 0}, {"7", 7}, {"+7", 7}, {"-300", -300}, {" 12", 12}, {"   -12", -12}, {" +7", 7},
        {".5", 0.5}, {"-.5", -0.5}, {"1.e3", 1000}, {"0012.50", 12.5}, {"2.5e2", 250},
        {"1E-2", 0.01}, {"1e+2", 100}, {"12e-1", 1.2}, {"0.1", 0.1}, {"e5", 0}, {"-.E2", 0},
        {".e1", 0}, {"E-0", 0}, {"1e0000000000000000000002", 100},
        {"9007199254740993", 9007199254740992.0}, {"1.7976931348623157e308", DBL_MAX},
        {"123456789012345678901234567890", 1.2345678901234568e29},
        {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
        {"1e-400", 0}, {"1e-5000", 0}, {"1e-999999999999", 0}, {"0e999999999999", 0}};
    // clang-format on
    for (const auto& c : cases) {
        double value = -1.0;
        ASSERT_TRUE(ParseStatisticsNumber(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(ParseStatisticsNumber(c.text), value) << c.text;
    }
    EXPECT_TRUE(std::signbit(*ParseStatisticsNumber("-0")));
    EXPECT_FALSE(std::signbit(*ParseStatisticsNumber("0")));
}

// Long mantissas keep their place when scaled far down or up again.
TEST(NumberSyntaxTest, ReadsLongMantissas) {
    const std::string zeros(5000, '0');
    const NumberCase cases[] = {{"25" + zeros.substr(0, 399) + "e-400", 2.5},
                                {"7" + zeros.substr(0, 4999) + "e-4900", 7e99},
                                {"1" + zeros.substr(0, 4999) + ".5e-5100", 1e-101},
                                {"0." + zeros + "1e5001", 1}};
    for (const auto& c : cases) {
        const std::optional<double> value = ParseStatisticsNumber(c.text);
        ASSERT_TRUE(value.has_value()) << c.text.size();
        EXPECT_DOUBLE_EQ(*value, c.value) << c.text.size();
    }
}

TEST(NumberSyntaxTest, RefusesOtherTexts) {
    // Full-width digits 12 and a full-width blank among them.
    // clang-format off
    const std::string refused[] = {
        "", "   ", "+", "-", "  -", ".", "1.", "-1.", "+.", "1e", "1e+", "1E-", "e", ".E", "--7",
        "+-7", "+ 7", "12 ", "1 2", "\t12", "1.2.3", "12a", "abc", "0x10", "1e2.5", "1e2e3",
        "1e--2", "1,000", "\\100", "\x82\x50\x82\x51", "1\x81\x40", std::string("1\0", 2)};
    // clang-format on
    for (const std::string& text : refused) {
        double value = 42.0;
        EXPECT_FALSE(ParseStatisticsNumber(text, value)) << text;
        EXPECT_EQ(value, 42.0) << text;
    }
}

TEST(NumberSyntaxTest, ValuesBeyondDoubleRaiseOverflow) {
    // clang-format off
    const std::string cases[] = {
        "1e309", "-1e309", "1.8e308", "0.01e311", "1e5120", "-1e5120", "1e999999999999",
        "1" + std::string(5000, '0'), "1" + std::string(400, '0') + "e-80",
        "17976931348623159" + std::string(292, '0')};
    // clang-format on
    for (const std::string& text : cases) {
        try {
            ParseStatisticsNumber(text);
            ADD_FAILURE() << "no overflow: " << text.substr(0, 30);
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.message(), "浮動小数点数のｵｰﾊﾞｰﾌﾛｰ");
        }
    }
}

// Ordinary numbers of many shapes read as the C library reads them, give or take the last bit
// (both roundings, to extended and then to double, may each round a half-way case).
TEST(NumberSyntaxTest, AgreesWithStrtodOnRandomNumbers) {
    std::mt19937 random(20240611);
    auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int i = 0; i < 20000; ++i) {
        std::string text = below(2) ? "-" : "";
        const int digits = 1 + below(25);
        const int point = below(digits + 1);
        for (int d = 0; d < digits; ++d) {
            text += d == point && d != 0 ? "." : "";
            text += static_cast<char>('0' + below(10));
        }
        if (below(2)) {
            text += (below(2) ? "e" : "E") + std::to_string(below(611) - 330);
        }
        SCOPED_TRACE(text);
        const double expected = std::strtod(text.c_str(), nullptr);
        double got = 0.0;
        ASSERT_TRUE(ParseStatisticsNumber(text, got));
        if (got != expected) {
            EXPECT_EQ(std::nextafter(got, expected), expected);
        }
    }
}

}  // namespace
}  // namespace qv
