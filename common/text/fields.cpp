// The I, E and F fields: an integer, a real in scientific notation and a real in fixed notation,
// each in a field of w columns.
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "fields.hpp"
#include "layout.hpp"

namespace flownet {

namespace layout_detail {

namespace {

// w asterisks: a value too wide for its field.
void appendStars(LineBuffer& out, int w) {
    out.fill(static_cast<std::size_t>(w), '*');
}

// Text right-aligned in w columns, appended to out; w asterisks when it does not fit.
void appendRight(LineBuffer& out, std::string_view s, int w) {
    const std::size_t width = static_cast<std::size_t>(w);
    if (s.size() > width) return appendStars(out, w);
    char* p = out.room(width);
    char* text = p + (width - s.size());
    while (p < text) *p++ = ' ';
    for (char c : s) *p++ = c;
}

// NaN, Inf or -Inf right-aligned, for a value that is not finite.
void appendNonFinite(LineBuffer& out, double x, int w) {
    appendRight(out, std::isnan(x) ? "NaN" : x < 0 ? "-Inf" : "Inf", w);
}

// Room for any double in fixed notation with a sensible number of decimals (a double below
// 2^1024 has at most 309 digits before the point). A conversion that does not fit is wider than
// any field, and prints as asterisks.
constexpr std::size_t kConversionRoom = 400;

// The d significant digits of ax > 0, rounded to nearest, as an integer D of d digits, and the
// exponent of the field (ax is about .D x 10^exponent), without a full decimal conversion: ax is
// scaled by a power of ten, exact up to 10^22, so that the scaled value is off the exact one by
// a few units in its last place at most, which decides the rounding unless the value lies within
// a millionth of a half; then, and for values out of that range or more than 7 digits, false.
bool quickDigits(double ax, int d, long long& D, int& exponent) {
    static constexpr std::array<double, 23> kTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    static constexpr std::array<long long, 9> kWholeTen = {
        1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    if (d > 7 || !(ax >= 1e-15 && ax < 1e15)) return false;
    // The decimal exponent from the binary one, floor(e2 x log10 2), low by one at most.
    const int e2 = static_cast<int>((std::bit_cast<std::uint64_t>(ax) >> 52) & 0x7ff) - 1023;
    int k = d - 1 - ((e2 * 78913) >> 18);  // ax x 10^k has d digits, or d + 1
    double scaled = 0.0;
    for (int tries = 0; tries < 3; ++tries) {
        if (k > 22 || k < -22) return false;
        scaled = k >= 0 ? ax * kTen[static_cast<std::size_t>(k)]
                        : ax / kTen[static_cast<std::size_t>(-k)];
        if (scaled < kTen[static_cast<std::size_t>(d - 1)]) {
            ++k;
        } else if (scaled >= kTen[static_cast<std::size_t>(d)]) {
            --k;
        } else {
            break;
        }
    }
    if (!(scaled >= kTen[static_cast<std::size_t>(d - 1)] &&
          scaled < kTen[static_cast<std::size_t>(d)]))
        return false;
    const double whole = std::floor(scaled), part = scaled - whole;
    if (std::fabs(part - 0.5) < 1e-6) return false;
    D = static_cast<long long>(whole) + (part > 0.5 ? 1 : 0);
    if (D == kWholeTen[static_cast<std::size_t>(d)]) {  // 999.6 rounds to 1000: .100 one up
        D = kWholeTen[static_cast<std::size_t>(d - 1)];
        --k;
    }
    exponent = d - k;
    return true;
}

}  // namespace

// Ew.d: .DDDE+XX, the d significant digits rounded to nearest on the exact binary value (the
// shortest-first conversion of std::to_chars with a precision is correctly rounded, as printf
// is; quickDigits gives the same digits when it can). A three-digit exponent drops the E
// (.DDD+XXX); a wider one fills the field with asterisks.
void appendExponent(LineBuffer& out, double x, int w, int d) {
    if (!std::isfinite(x)) return appendNonFinite(out, x, w);
    if (x == 0.0) {
        // .000E+00, the most common field of the matrix listings
        if (d + 5 > w) return appendStars(out, w);
        char* p = out.room(static_cast<std::size_t>(w));
        char* point = p + (w - d - 5);
        while (p < point) *p++ = ' ';
        *p++ = '.';
        for (int k = 0; k < d; ++k) *p++ = '0';
        for (char c : {'E', '+', '0', '0'}) *p++ = c;
        return;
    }
    char s[kConversionRoom + 8];
    std::size_t n = 0;
    if (x < 0) s[n++] = '-';
    s[n++] = '.';
    int exponent = 0;
    long long D = 0;
    if (quickDigits(std::fabs(x), d, D, exponent)) {
        for (int k = d - 1; k >= 0; --k, D /= 10)
            s[n + static_cast<std::size_t>(k)] = static_cast<char>('0' + D % 10);
        n += static_cast<std::size_t>(d);
    } else {
        // d.ddd...e+XX: the first digit, then (with d > 1) the point and d - 1 digits.
        char t[kConversionRoom];
        const auto r =
            std::to_chars(t, t + sizeof t, std::fabs(x), std::chars_format::scientific, d - 1);
        if (r.ec != std::errc{}) return appendStars(out, w);
        const char* e = t + 1 + (d > 1 ? d : 0);  // the 'e'
        std::from_chars(e + 2, r.ptr, exponent);
        exponent = (e[1] == '-' ? -exponent : exponent) + 1;
        s[n++] = t[0];
        for (const char* c = t + 2; c < e; ++c) s[n++] = *c;
    }
    const int mag = exponent < 0 ? -exponent : exponent;
    if (mag > 999) return appendStars(out, w);
    if (mag <= 99) s[n++] = 'E';
    s[n++] = exponent < 0 ? '-' : '+';
    if (mag > 99) s[n++] = static_cast<char>('0' + mag / 100);
    s[n++] = static_cast<char>('0' + mag / 10 % 10);
    s[n++] = static_cast<char>('0' + mag % 10);
    appendRight(out, std::string_view(s, n), w);
}

// Fw.d: no zero before the point for a magnitude below 1 unless no digit would remain.
void appendFixed(LineBuffer& out, double x, int w, int d) {
    if (!std::isfinite(x)) return appendNonFinite(out, x, w);
    char s[kConversionRoom + 2];
    char* digits = s + 1;  // room for the sign
    const auto r =
        std::to_chars(digits, s + sizeof s - 1, std::fabs(x), std::chars_format::fixed, d);
    if (r.ec != std::errc{}) return appendStars(out, w);
    char* end = r.ptr;
    if (d == 0) {
        *end++ = '.';
    } else if (end - digits > 1 && digits[0] == '0' && digits[1] == '.') {
        ++digits;  // no zero before the point
    }
    if (x < 0) *--digits = '-';
    appendRight(out, std::string_view(digits, static_cast<std::size_t>(end - digits)), w);
}

}  // namespace layout_detail

using namespace layout_detail;

std::string formatInteger(long long value, int width) {
    std::string s;
    LineBuffer b(s);
    appendInteger(b, value, width);
    return std::string(b.text());
}

std::string formatExponent(double x, int w, int d) {
    std::string s;
    LineBuffer b(s);
    appendExponent(b, x, w, d);
    return std::string(b.text());
}

std::string formatFixed(double x, int w, int d) {
    std::string s;
    LineBuffer b(s);
    appendFixed(b, x, w, d);
    return std::string(b.text());
}

}  // namespace flownet
