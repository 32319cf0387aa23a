// Numbers to text and back, exactly as string conversions of compiled code produce and read them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tx {

// Positive values from 0.000001 to 9999999 in fixed form with six decimals ("1.500000"); every
// other finite value, and every negative one, with 7 significant digits, trailing fraction zeros
// removed but the point kept ("-1.5", "-100.", "1.234568e+007"); "INFINITY", "-INFINITY", "NAN".
std::string formatFloat(float value);

// Decimal digits with a leading "-" for negative values.
std::string formatInt(int32_t value);

// Leading white space, an optional sign, then decimal digits up to the first other character,
// accumulated in 32 bits with wrap-around; no digits give 0.
int32_t parseInt(std::string_view text);

// Leading white space, then the longest decimal number prefix (sign, digits with an optional
// point, optional exponent) read as a double and rounded to float; no such prefix gives 0.
float parseFloat(std::string_view text);

}  // namespace tx
