// Numbers for people: ordinary notation with a few significant digits, for pictures and pages.
#pragma once

#include <string>

namespace flownet {

// x in ordinary notation: four significant digits below 10,000 (0.04493, 12.5, 1118), whole
// numbers with thin spaces between groups of three above (11 184); powers of ten written out
// (3.2×10⁻⁶) below 0.0001 and from 10¹² up. "0" for zero, "–" for NaN, "∞" for infinities.
std::string plainNumber(double x);

}  // namespace flownet
