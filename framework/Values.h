// Conversions and maths, the same on every locale and build.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace fw {

// The longest leading decimal number of the text (blanks skipped, optional sign,
// digits, optional fraction and exponent); 0 when the text starts with none.
// An overflow gives plus or minus infinity. Independent of the locale.
double Val(const std::string& text);

// The shortest text that reads back as the same value: "0", "0.3", "-12.5",
// "2.5e+21"; "inf", "-inf" and "nan" for the values that are not finite.
std::string Str(double value);

// Pow(d, 2) is exactly d * d; other exponents as std::pow. Both are inline: the
// integration step makes twelve of these calls, and out of line they halved its
// speed in the running program.
inline double Pow(double base, double exponent) {
    if (exponent == 2.0) return base * base;
    return std::pow(base, exponent);
}
inline double Sqrt(double value) { return std::sqrt(value); }

// Toward zero; NaN gives 0; beyond the range of a 32-bit Integer, the nearest bound.
// Inline like Pow: two of these make each dot and picture position.
inline std::int32_t DoubleToInteger(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}
inline double IntegerToDouble(std::int32_t value) { return static_cast<double>(value); }

}  // namespace fw
