// Balancing and the precision rule, against hand calculations.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>
#include <string>

#include "balance.hpp"
#include "entrydialog.hpp"

using namespace flownet;

namespace {

// A network in the extended matrix, balanced by a method after its totals are computed.
struct Net {
    Matrix<kExtendedSize> T, A;
    Vector<kExtendedSize> X;
    std::ostringstream console;
    void balance(bool (*method)(std::ostream&, MatView, MatView, VecView, int), int n) {
        computeTotals(T.view(), n);
        method(console, T.view(), A.view(), X.view(), n);
    }
};

void expectClose(float actual, double exact) {
    EXPECT_NEAR(actual, exact, 1e-6 * std::fabs(exact));  // a few units in the last place
}

}  // namespace

TEST(Balance, OneCompartmentByEachMethodAndTheirMean) {
    // N = 1: input T(2,1), export T(1,2), respiration T(1,3), stock T(3,1); total input T(4,1),
    // total output T(1,4). Input 10, export 4, respiration 2, stock 5: the forward balance keeps
    // the input and the output fractions 2/3 and 1/3, and the stock its ratio 5/6 to the output;
    // the backward one keeps the outputs, and the stock its ratio 5/10 to the input; the mean is
    // half their sum.
    // Sets input, export, respiration and stock, balances by the method, and checks them and
    // both totals against their exact values, and the console.
    const auto one = [](decltype(&BALNCE) method, std::array<double, 4> net,
                        std::array<double, 6> exact, const std::string& console = "") {
        Net w;
        float* const at[] = {&w.T(2, 1), &w.T(1, 2), &w.T(1, 3),
                             &w.T(3, 1), &w.T(4, 1), &w.T(1, 4)};
        for (int k = 0; k < 4; ++k) *at[k] = static_cast<float>(net[k]);
        w.balance(method, 1);
        for (int k = 0; k < 6; ++k) expectClose(*at[k], exact[k]);
        EXPECT_EQ(w.console.str(), console);
    };
    one(FWDBAL, {10, 4, 2, 5}, {10, 20.0 / 3, 10.0 / 3, 25.0 / 3, 10, 10});
    one(BAKBAL, {10, 4, 2, 5}, {6, 4, 2, 3, 6, 6});
    one(BALNCE, {10, 4, 2, 5}, {8, 16.0 / 3, 8.0 / 3, 17.0 / 3, 8, 8});
    // Without inputs the forward throughput is 0 and the mean keeps half the backward outputs;
    // without outputs the backward throughput is 0 and the mean keeps half the input.
    one(BALNCE, {0, 4, 2, 5}, {0, 2, 1, 2.5, 0, 3});
    one(BALNCE, {10, 0, 0, 5}, {5, 0, 0, 2.5, 5, 0});
    // The forward balance keeps the input 10 against the output 1: the stock 3E38 * 10 / 1
    // overflows, and so would the mean, which no network file could hold.
    one(BALNCE, {10, 1, 0, 3.0e38}, {10, 1, 0, 3.0e38, 10, 1},
        "\n BALANCING GIVES VALUES BEYOND SINGLE PRECISION. THE NETWORK IS LEFT AS IT WAS.\n");
    // Input 5 into a compartment whose only output is a flow of 10 to itself: its output
    // fraction to itself is 1, so the forward balance meets the zero pivot 1 - 1 and the
    // network, totals included, is left exactly as it was.
    Net w;
    w.T(2, 1) = 5, w.T(1, 1) = 10;
    w.balance(BALNCE, 1);
    const float kept[4][4] = {{10, 0, 0, 10}, {5, 0, 0, 5}, {0, 0, 0, 0}, {15, 0, 0, 15}};
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) EXPECT_EQ(w.T(i, j), kept[i - 1][j - 1]) << i << j;
    }
    EXPECT_EQ(w.console.str(),
              "\n\n TROUBLE DURING MATRIX INVERSION AT ROW   1\n\n\n\n THE NETWORK CANNOT BE "
              "BALANCED (A MATRIX IS SINGULAR). THE NETWORK IS LEFT AS IT WAS.\n");
}

TEST(Precision, ExponentOfTheStatedPrecision) {
    // K = the integer part of -log10(p * 0.1), p and 0.1 in single precision: 0.1 * 0.1 lies just
    // above 0.01 (K = 1, not 2), 0.001 * 0.1 just above 1E-4 (K = 3, not 4).
    const std::pair<float, int> cases[] = {{0.01f, 3},  {0.02f, 2}, {0.05f, 2},   {0.1f, 1},
                                           {0.001f, 3}, {1.0f, 0},  {1.0e10f, -9}};
    for (auto [p, k] : cases) EXPECT_EQ(precisionExponent(p), k) << p;
    EXPECT_EQ(entryTolerance(6), 1.0e-6f);
    EXPECT_EQ(entryTolerance(0), 1.0f);
}

// Every method the command line offers, on a network of three compartments with a cycle, out of
// steady state: each leaves every compartment balanced, creates no flow, and holds what it says.
TEST(Balance, EveryMethodBalancesCreatesNothingAndHoldsWhatItSays) {
    const auto unbalanced = [](Net& w) {
        w.T(4, 1) = 10;                                 // input to 1
        w.T(1, 2) = 6, w.T(2, 3) = 3, w.T(3, 1) = 1, w.T(1, 3) = 2;  // flows
        w.T(3, 4) = 2;                                  // export of 3
        w.T(1, 5) = 3, w.T(2, 5) = 2, w.T(3, 5) = 1;    // respirations
        w.T(5, 1) = 4, w.T(5, 2) = 5, w.T(5, 3) = 6;    // stocks
        computeTotals(w.T.view(), 3);
    };
    for (BalanceMethod method :
         {BalanceMethod::Input, BalanceMethod::Output, BalanceMethod::Average}) {
        Net w, before;
        unbalanced(w);
        unbalanced(before);
        ASSERT_TRUE(balanceBy(w.console, method, w.T.view(), w.A.view(), w.X.view(), 3));
        for (int i = 1; i <= 3; ++i) {
            EXPECT_NEAR(w.T(6, i), w.T(i, 6), 1e-5f * w.T(6, i)) << i;  // total in, total out
            for (int j = 1; j <= 5; ++j) {
                if (before.T(i, j) == 0.0f) {
                    EXPECT_EQ(w.T(i, j), 0.0f) << i << j;
                }
                if (before.T(j, i) == 0.0f) {
                    EXPECT_EQ(w.T(j, i), 0.0f) << j << i;
                }
            }
        }
        if (method == BalanceMethod::Input) {
            EXPECT_EQ(w.T(4, 1), 10.0f);  // the input, and the output fractions of 1
            expectClose(w.T(1, 2) / w.T(1, 6), 6.0 / 11);
        } else if (method == BalanceMethod::Output) {
            EXPECT_EQ(w.T(3, 4), 2.0f);  // the export and respirations, the input fractions of 3
            EXPECT_EQ(w.T(2, 5), 2.0f);
            expectClose(w.T(2, 3) / w.T(6, 3), 3.0 / 5);
        } else {
            Net mean;  // the defined balancing, to the bit
            unbalanced(mean);
            BALNCE(mean.console, mean.T.view(), mean.A.view(), mean.X.view(), 3);
            EXPECT_EQ(w.T.a, mean.T.a);
        }
    }
    // A compartment whose only output (input) is a flow of 10 to itself: its output (input)
    // fraction to itself is 1, the inversion meets the zero pivot 1 - 1, and the network, totals
    // included, is left as it was.
    for (BalanceMethod method : {BalanceMethod::Input, BalanceMethod::Output}) {
        Net w;
        w.T(1, 1) = 10;
        (method == BalanceMethod::Input ? w.T(2, 1) : w.T(1, 2)) = 5;  // an input, an export
        computeTotals(w.T.view(), 1);
        const auto kept = w.T.a;
        EXPECT_FALSE(balanceBy(w.console, method, w.T.view(), w.A.view(), w.X.view(), 1));
        EXPECT_EQ(w.T.a, kept);
        EXPECT_NE(w.console.str().find("CANNOT BE BALANCED"), std::string::npos);
    }
}
