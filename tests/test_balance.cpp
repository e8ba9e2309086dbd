// Balancing and the precision rule, against hand calculations.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>

#include "balance.hpp"
#include "entrydialog.hpp"

using namespace flownet;

namespace {

struct Work {
    Matrix<kExtendedSize> T, A;
    Vector<kExtendedSize> X;
    std::ostringstream console;
};

using Method = void (*)(std::ostream&, MatView, MatView, VecView, int);

// One compartment (N = 1): input T(2,1), export T(1,2), respiration T(1,3), stock T(3,1).
// Returns {input, export, respiration, stock, total input, total output} after the method.
std::array<float, 6> balanceOne(Method method, float in, float ex, float re, float stock) {
    Work w;
    w.T(2, 1) = in;
    w.T(1, 2) = ex;
    w.T(1, 3) = re;
    w.T(3, 1) = stock;
    computeTotals(w.T.view(), 1);
    method(w.console, w.T.view(), w.A.view(), w.X.view(), 1);
    EXPECT_EQ(w.console.str(), "");  // no inversion trouble
    return {w.T(2, 1), w.T(1, 2), w.T(1, 3), w.T(3, 1), w.T(4, 1), w.T(1, 4)};
}

// Within a few units in the last place of single precision.
void expectClose(float actual, double exact) {
    EXPECT_NEAR(actual, exact, 1e-6 * std::fabs(exact)) << "exact " << exact;
}

void expectAll(const std::array<float, 6>& actual, const std::array<double, 6>& exact) {
    for (std::size_t k = 0; k < 6; ++k) expectClose(actual[k], exact[k]);
}

}  // namespace

TEST(Balance, OneCompartmentByEachMethodAndTheirMean) {
    // Input 10, export 4, respiration 2, stock 5: total output 6.
    expectAll(balanceOne(FWDBAL, 10, 4, 2, 5), {10, 20.0 / 3, 10.0 / 3, 25.0 / 3, 10, 10});
    expectAll(balanceOne(BAKBAL, 10, 4, 2, 5), {6, 4, 2, 3, 6, 6});
    expectAll(balanceOne(BALNCE, 10, 4, 2, 5), {8, 16.0 / 3, 8.0 / 3, 17.0 / 3, 8, 8});
    // Without inputs the forward throughput is 0; without outputs the backward one is.
    expectAll(balanceOne(BALNCE, 0, 4, 2, 5), {0, 2, 1, 2.5, 0, 3});
    expectAll(balanceOne(BALNCE, 10, 0, 0, 5), {5, 0, 0, 2.5, 5, 0});
}

TEST(Balance, TwoCompartmentsAndASecondCallThatChangesNothing) {
    // Input 10 into 1, flow 8 from 1 to 2, export 1 and respiration 2 from 1, respiration 5 from
    // 2, stocks 100 and 50.
    Work w;
    MatView T = w.T.view();
    T(3, 1) = 10;
    T(1, 2) = 8;
    T(1, 3) = 1;
    T(1, 4) = 2;
    T(2, 4) = 5;
    T(4, 1) = 100;
    T(4, 2) = 50;
    computeTotals(T, 2);
    BALNCE(w.console, T, w.A.view(), w.X.view(), 2);
    expectClose(T(3, 1), 9);
    expectClose(T(1, 2), 135.0 / 22);
    expectClose(T(1, 3), 21.0 / 22);
    expectClose(T(1, 4), 21.0 / 11);
    expectClose(T(4, 1), 940.0 / 11);
    expectClose(T(2, 4), 135.0 / 22);
    expectClose(T(4, 2), 4575.0 / 88);
    expectClose(T(5, 1), 9);  // total input = total output
    expectClose(T(1, 5), 9);
    // Balancing creates nothing where there was no entry.
    for (float zero : {T(3, 2), T(2, 3), T(1, 1), T(2, 1), T(2, 2)}) EXPECT_EQ(zero, 0.0f);

    // The balanced network balanced again comes back unchanged.
    const Matrix<kExtendedSize> first = w.T;
    BALNCE(w.console, T, w.A.view(), w.X.view(), 2);
    for (int i = 1; i <= 5; ++i) {
        for (int j = 1; j <= 5; ++j) expectClose(T(i, j), first(i, j));
    }
}

TEST(Precision, ExponentOfTheStatedPrecision) {
    EXPECT_EQ(precisionExponent(0.01f), 3);
    EXPECT_EQ(precisionExponent(0.02f), 2);
    EXPECT_EQ(precisionExponent(0.05f), 2);
    EXPECT_EQ(precisionExponent(0.1f), 1);
    EXPECT_EQ(precisionExponent(0.001f), 3);
    EXPECT_EQ(precisionExponent(1.0f), 0);
    EXPECT_EQ(precisionExponent(1.0e10f), -9);
    EXPECT_EQ(entryTolerance(6), 1.0e-6f);
    EXPECT_EQ(entryTolerance(0), 1.0f);
}

TEST(Balance, ABalanceBeyondSinglePrecisionLeavesTheNetworkAsItWas) {
    // One compartment with input 10, export 1 and stock 3E38: the input-based balance keeps the
    // input, so the throughput becomes 10 and the stock 3E38 * 10 / 1 overflows, and so would the
    // mean. Such a network could not be written as a file that reads back.
    Work w;
    w.T(2, 1) = 10.0f;
    w.T(1, 2) = 1.0f;
    w.T(3, 1) = 3.0e38f;
    computeTotals(w.T.view(), 1);
    BALNCE(w.console, w.T.view(), w.A.view(), w.X.view(), 1);
    EXPECT_EQ(
        w.console.str(),
        "\n BALANCING GIVES VALUES BEYOND SINGLE PRECISION. THE NETWORK IS LEFT AS IT WAS.\n");
    EXPECT_EQ(w.T(2, 1), 10.0f);
    EXPECT_EQ(w.T(1, 2), 1.0f);
    EXPECT_EQ(w.T(3, 1), 3.0e38f);
    EXPECT_EQ(w.T(4, 1), 10.0f);  // the totals as before
    EXPECT_EQ(w.T(1, 4), 1.0f);
}
