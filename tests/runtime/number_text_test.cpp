#include "number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace tx {
namespace {

float fromBits(uint32_t bits) {
    return std::bit_cast<float>(bits);
}

TEST(FormatFloat, SpecialValuesSixDecimalsOrSevenSignificantDigits) {
    const std::pair<float, const char*> cases[] = {
        {fromBits(0x0000'0000), "0.000000"},
        {fromBits(0x8000'0000), "-0.000000"},
        {fromBits(0x7F80'0000), "INFINITY"},
        {fromBits(0xFF80'0000), "-INFINITY"},
        {fromBits(0xFFC0'0001), "NAN"},  // the sign of a NaN is not shown
        {fromBits(0x7F80'0001), "NAN"},
        // Positive numbers in range: six decimals.
        {1.5f, "1.500000"},
        {123.456f, "123.456001"},  // the float widened to double, not the decimal typed
        {9999999.0f, "9999999.000000"},
        {0.000001f, "0.000001"},              // lower bound of the fixed form
        {0.0000015f, "0.000002"},             // rounded at the sixth decimal
        {fromBits(0x3F7F'FFFF), "1.000000"},  // 0.99999994 rounds up
        // Negative and out of range: seven significant digits.
        {-1.5f, "-1.5"},
        {-100.0f, "-100."},
        {-1234567.0f, "-1234567"},
        {fromBits(0xBF7F'FFFF), "-0.9999999"},
        {-0.001f, "-1.e-003"},
        {12345678.0f, "1.234568e+007"},
        {10000000.0f, "1.e+007"},
        {-16777216.0f, "-1.677722e+007"},
        {0.0000005f, "5.e-007"},
        {std::nextafter(0.000001f, 0.0f), "9.999999e-007"},  // just below the fixed range
        {std::numeric_limits<float>::max(), "3.402823e+038"},
        {fromBits(0x0000'0001), "1.401298e-045"},  // smallest subnormal
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(formatFloat(value), text) << text;
}

// Integers: an optional sign after white space, decimal digits up to the first other character,
// wrapping to 32 bits. Floats: the longest decimal prefix; out of range, infinity or zero.
TEST(ParseNumbers, LongestDecimalPrefixAfterWhiteSpace) {
    const std::pair<std::string, int32_t> ints[] = {
        {"", 0},
        {"0x10", 0},
        {"12abc", 12},
        {"+15", 15},
        {"\t\n\v\f\r9", 9},
        {"- 5", 0},
        {"007", 7},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"2147483647", std::numeric_limits<int32_t>::max()},
        {"2147483648", std::numeric_limits<int32_t>::min()},  // wraps
        {"-4294967295", 1},
        {std::string("12") + '\0' + "34", 12},
    };
    for (const auto& [text, value] : ints) EXPECT_EQ(parseInt(text), value) << text;
    const std::pair<const char*, float> floats[] = {
        {"1.5", 1.5f},
        {"\t 12abc", 12.0f},
        {"  -2.5e3x", -2500.0f},
        {".5", 0.5f},
        {"5.", 5.0f},
        {"1e+", 1.0f},
        {"2E-2", 0.02f},
        {"7.25e1.5", 72.5f},
        {"3.4028235e38", std::numeric_limits<float>::max()},
        {"1e-45", fromBits(0x0000'0001)},
        {"", 0.0f},
        {"-.e5", 0.0f},
        {"0x10", 0.0f},  // hexadecimal is not read: only the 0
        {"inf", 0.0f},
        // Out of range: infinity or zero, with the sign.
        {"1e39", std::numeric_limits<float>::infinity()},     // float overflow
        {"-1e400", -std::numeric_limits<float>::infinity()},  // double too
        {"1e-50", 0.0f},
        {"-1e-400", -0.0f},
    };
    for (const auto& [text, value] : floats)
        EXPECT_EQ(std::bit_cast<uint32_t>(parseFloat(text)), std::bit_cast<uint32_t>(value))
            << text;
}

}  // namespace
}  // namespace tx
