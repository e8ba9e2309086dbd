#include "plainnumber.hpp"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace flownet {

namespace {

// Trailing zeros of a decimal fraction removed ("12.50" becomes "12.5", "3.000" becomes "3").
std::string trimmed(std::string t) {
    if (t.find('.') == std::string::npos) return t;
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
    return t;
}

// Digits of a whole number in groups of three, a thin space between groups.
std::string grouped(const std::string& digits) {
    std::string g;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) g += "\u2009";
        g += digits[i];
    }
    return g;
}

std::string superscript(int e) {
    static constexpr std::string_view kDigits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string s = e < 0 ? "⁻" : "";
    for (char c : std::to_string(std::abs(e))) s += kDigits[c - '0'];
    return s;
}

}  // namespace

std::string plainNumber(double x) {
    if (std::isnan(x)) return "–";
    if (std::isinf(x)) return x < 0 ? "−∞" : "∞";
    if (x == 0.0) return "0";
    const std::string sign = x < 0 ? "−" : "";
    const double a = std::fabs(x);
    char text[64];
    if (a < 1e-4 || a >= 1e12) {
        int e = static_cast<int>(std::floor(std::log10(a)));
        double m = a / std::pow(10.0, e);
        if (m >= 9.9995) {
            m /= 10.0;
            ++e;
        }
        std::snprintf(text, sizeof text, "%.3f", m);
        return sign + trimmed(text) + "×10" + superscript(e);
    }
    if (std::round(a) >= 10000.0) {
        std::snprintf(text, sizeof text, "%.0f", a);
        return sign + grouped(text);
    }
    std::snprintf(text, sizeof text, "%.4g", a);
    std::string t = text;
    if (t.find('e') != std::string::npos) {  // %.4g of 1000 to 9999.5 rounded up to 1e+04
        std::snprintf(text, sizeof text, "%.0f", a);
        return sign + grouped(text);
    }
    return sign + trimmed(t);
}

}  // namespace flownet
