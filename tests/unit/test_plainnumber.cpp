// Numbers for people: four significant digits, whole numbers grouped by thousands, powers of ten
// written out at the extremes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "plainnumber.hpp"

namespace flownet {
namespace {

TEST(PlainNumber, OrdinaryNotationAcrossTheRanges) {
    const std::string thin = "\u2009";
    EXPECT_EQ(plainNumber(0.0), "0");
    EXPECT_EQ(plainNumber(11184.0), "11" + thin + "184");
    EXPECT_EQ(plainNumber(1234567.4), "1" + thin + "234" + thin + "567");
    EXPECT_EQ(plainNumber(9999.7), "10" + thin + "000");  // %.4g would print 1e+04
    EXPECT_EQ(plainNumber(1118.04), "1118");
    EXPECT_EQ(plainNumber(12.5), "12.5");
    EXPECT_EQ(plainNumber(0.044934), "0.04493");
    EXPECT_EQ(plainNumber(-3.0), "−3");
    EXPECT_EQ(plainNumber(3.2e-6), "3.2×10⁻⁶");
    EXPECT_EQ(plainNumber(9.99999e-5), "1×10⁻⁴");  // the mantissa rounds up to 10
    EXPECT_EQ(plainNumber(2.5e13), "2.5×10¹³");
    EXPECT_EQ(plainNumber(std::nan("")), "–");
    EXPECT_EQ(plainNumber(-std::numeric_limits<double>::infinity()), "−∞");
}

}  // namespace
}  // namespace flownet
