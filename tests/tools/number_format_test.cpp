#include "tools/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

namespace qv {
namespace {

TEST(NumberFormatTest, FixedScientificRoundingAndSign) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        // clang-format off
        {1150.0, "1150"}, {1.0, "1"}, {0.5, "0.5"}, {123.456, "123.456"}, {0.00012, "0.00012"},
        {0.0001, "0.0001"}, {0.000123456, "0.000123456"}, {1.5e14, "150000000000000"},
        {999999999999999.0, "999999999999999"}, {999999999999999.4, "999999999999999"},
        {123456789012345.6, "123456789012346"}, {10.0 / 3.0, "3.33333333333333"},
        {1150.0 / 3.0, "383.333333333333"}, {0.1 + 0.2, "0.3"}, {2.0 / 3.0, "0.666666666666667"},
        {1e15, "1E15"}, {1.23e15, "1.23E15"}, {0.00001, "1E-5"}, {0.0000999, "9.99E-5"},
        {123456789012345678.0, "1.23456789012346E17"}, {1e300, "1E300"}, {1e-300, "1E-300"},
        {DBL_MAX, "1.79769313486232E308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        // Rounding looks at the 16th of 18 written digits only and carries through nines,
        // which may move the value into the other form.
        {999999999999999.5, "1E15"}, {0.99999999999999994, "1"}, {0.00009999999999999999, "0.0001"},
        {1.000000000000004, "1"}, {1.000000000000006, "1.00000000000001"},
        {1.99999999999999949, "2"}, {129.9999999999999, "130"},
        {1.500000000000145, "1.50000000000015"},  // 1.500000000000144995 written as ...14500
        {0.0, "0"}, {-0.0, "0"}, {-1150.0, "-1150"}, {-2.5, "-2.5"}, {-0.00012, "-0.00012"},
        {-0.00001, "-1E-5"}, {-999999999999999.5, "-1E15"}, {-1.5e20, "-1.5E20"}
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatStatisticsNumber(c.value, "."), c.text);
    }
}

TEST(NumberFormatTest, SeparatorAndNonFiniteValues) {
    EXPECT_EQ(FormatStatisticsNumber(2.5, ","), "2,5");
    EXPECT_EQ(FormatStatisticsNumber(0.00012, ","), "0,00012");
    EXPECT_EQ(FormatStatisticsNumber(-1.5e-20, ","), "-1,5E-20");
    EXPECT_EQ(FormatStatisticsNumber(1150.0, ","), "1150");
    EXPECT_EQ(FormatStatisticsNumber(12.25, "::"), "12::25");
    EXPECT_EQ(FormatStatisticsNumber(std::numeric_limits<double>::infinity(), "."), "INF");
    EXPECT_EQ(FormatStatisticsNumber(-std::numeric_limits<double>::infinity(), "."), "-INF");
    EXPECT_EQ(FormatStatisticsNumber(std::numeric_limits<double>::quiet_NaN(), "."), "NAN");
}

}  // namespace
}  // namespace qv
