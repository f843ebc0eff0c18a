#include "Values.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include <locale.h>

namespace fw {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// strtod that always reads '.' as the decimal point, whatever locale the process runs in.
double ParseInCLocale(const std::string& number) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(number.c_str(), nullptr, cLocale);
}

}  // namespace

double Val(const std::string& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j])) ++j;
            i = j;
        }
    }
    return ParseInCLocale(text.substr(start, i - start));
}

std::string Str(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    if (value == 0) return "0";
    // The shortest round-trip digits, then fixed notation for magnitudes from 1e-7
    // to below 1e21 and scientific notation beyond.
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    (void)ec;
    std::string sci(buf, end);
    const std::size_t ePos = sci.find('e');
    const int exponent = std::atoi(sci.c_str() + ePos + 1);
    if (exponent < -7 || exponent >= 21) return sci;
    auto [fend, fec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    (void)fec;
    return std::string(buf, fend);
}

}  // namespace fw
