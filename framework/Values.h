// Conversions and maths, the same on every locale and build.
#pragma once

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

// Pow(d, 2) is exactly d * d; other exponents as std::pow.
double Pow(double base, double exponent);
double Sqrt(double value);

// Toward zero; NaN gives 0; beyond the range of a 32-bit Integer, the nearest bound.
std::int32_t DoubleToInteger(double value);
double IntegerToDouble(std::int32_t value);

}  // namespace fw
