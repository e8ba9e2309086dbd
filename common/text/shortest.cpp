#include "shortest.hpp"

#include <charconv>
#include <cmath>

namespace flownet {

namespace {

template <class Real>
std::string shortest(Real x) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, x).ptr;
    return std::string(buffer, end);
}

}  // namespace

std::string shortestText(float x) {
    return shortest(x);
}

std::string shortestText(double x) {
    return shortest(x);
}

double shortestValue(float x) {
    if (!std::isfinite(x)) return static_cast<double>(x);
    const std::string text = shortestText(x);
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace flownet
