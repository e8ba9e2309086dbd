// The companion indices on networks small enough to work out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "companion.hpp"

using namespace flownet;

namespace {

// Two compartments: t(1, 2) and t(2, 1) between them, an input z1 to the first, respiration r1
// of the first, export e2 of the second; standing stocks 5 and 0. Into c, as the storage of
// another network may hold it.
void twoCompartmentsInto(CompanionIndices& c, float t12, float t21, float z1, float r1, float e2,
                         CompanionMatrices formed) {
    Vector<2> stocks, IN, EX, RE;
    Matrix<2> t;
    stocks(1) = 5.0f;
    IN(1) = z1;
    RE(1) = r1;
    EX(2) = e2;
    t(1, 2) = t12;
    t(2, 1) = t21;
    companionIndices(c, 2, stocks.view(), IN.view(), EX.view(), RE.view(), t.view(), formed);
}

CompanionIndices twoCompartments(float t12, float t21, float z1, float r1, float e2) {
    CompanionIndices c;
    twoCompartmentsInto(c, t12, t21, z1, r1, e2, CompanionMatrices::every);
    return c;
}

void expectMatrix(const SquareMatrix& m, std::initializer_list<double> rows) {
    auto it = rows.begin();
    for (int i = 1; i <= m.n; ++i) {
        for (int j = 1; j <= m.n; ++j) EXPECT_NEAR(m(i, j), *it++, 1e-12) << i << "," << j;
    }
}

// Plants take in 10, respire 6 and pass 4 to detritus, which exports it: no cycle.
TEST(Companion, AChainHasNoCyclingAndItsImpactsByHand) {
    const CompanionIndices c = twoCompartments(4, 0, 10, 6, 4);
    EXPECT_DOUBLE_EQ(c.TST, 14.0);  // throughflows 10 and 4
    EXPECT_DOUBLE_EQ(c.TSTp, 24.0);
    EXPECT_DOUBLE_EQ(c.APL, 1.4);
    EXPECT_DOUBLE_EQ(c.FCI, 0.0);
    // Flows 10, 4, 6 and 4 of 24; with the extended row and column sums only the export's
    // log term differs from log2(2.4).
    EXPECT_NEAR(c.H,
                -(10.0 / 24 * std::log2(10.0 / 24) + 8.0 / 24 * std::log2(4.0 / 24) +
                  6.0 / 24 * std::log2(6.0 / 24)),
                1e-12);
    EXPECT_NEAR(c.AMI, 20.0 / 24 * std::log2(2.4) + 4.0 / 24 * std::log2(6.0), 1e-12);
    EXPECT_NEAR(c.A, 24 * c.AMI, 1e-12);
    EXPECT_NEAR(c.robustness, -(c.AMI / c.H) * std::log(c.AMI / c.H), 1e-12);
    // G = [0 .4; 0 0] is nilpotent: N = I + G, nothing indirect; CV(G) = sqrt(3), CV(N) =
    // 1/sqrt(2).
    expectMatrix(c.output.integral, {1, 0.4, 0, 1});
    EXPECT_DOUBLE_EQ(c.output.indirectToDirect, 0.0);
    EXPECT_NEAR(c.output.homogenisation, std::sqrt(6.0), 1e-12);
    // Q = [0 1; -1 0] (detritus eats only plants, plants feed only detritus):
    // M = (I - Q)^-1 - I = [-.5 .5; -.5 -.5].
    expectMatrix(c.totalImpact, {-0.5, 0.5, -0.5, -0.5});
    // D = [0 -.4; 1 0]: U = (I - D)^-1 = [1 -.4; 1 1] / 1.4, three positive entries and one
    // negative: mutualism 3, synergism (3 / 1.4) / (.4 / 1.4) = 7.5.
    expectMatrix(c.integralUtility, {1 / 1.4, -0.4 / 1.4, 1 / 1.4, 1 / 1.4});
    EXPECT_DOUBLE_EQ(c.mutualism, 3.0);
    EXPECT_NEAR(c.synergism, 7.5, 1e-12);
    // Storage: 5 held in a throughflow of 10; the detritus holds nothing.
    EXPECT_DOUBLE_EQ(c.residenceTime[0], 0.5);
    EXPECT_DOUBLE_EQ(c.turnoverRate[0], 2.0);
    EXPECT_TRUE(std::isnan(c.residenceTime[1]) && std::isnan(c.turnoverRate[1]));
    EXPECT_DOUBLE_EQ(c.totalStorage, 5.0);
}

// A two-compartment cycle: 1 takes in 10 and 4 back from 2, passes 8 to 2 and respires 6; 2
// exports 4. Throughflows 14 and 8; G(1, 2) = 8/14, G(2, 1) = 4/8, det(I - G) = 5/7, so
// N = (7/5) [1 4/7; 1/2 1] and N(i, i) = 7/5: TSTc = (2/7)(14 + 8) = 44/7.
TEST(Companion, ATwoCompartmentCycleByHand) {
    const CompanionIndices c = twoCompartments(8, 4, 10, 6, 4);
    EXPECT_DOUBLE_EQ(c.TST, 22.0);
    EXPECT_DOUBLE_EQ(c.TSTp, 32.0);
    EXPECT_NEAR(c.TSTc, 44.0 / 7, 1e-12);
    EXPECT_NEAR(c.FCI, 2.0 / 7, 1e-12);
    EXPECT_NEAR(c.FCIb, 11.0 / 56, 1e-12);
    expectMatrix(c.output.integral, {1.4, 0.8, 0.7, 1.4});
    // sum(N - I - G) / sum(G) = (4.3 - 2 - 15/14) / (15/14) = 17.2 / 15.
    EXPECT_NEAR(c.output.indirectToDirect, 17.2 / 15, 1e-12);
    EXPECT_EQ(c.output.amplification, 0);
    // Input orientation: G(1, 2) = 8/8, G(2, 1) = 4/14; N = (7/5) [1 1; 2/7 1], the same diagonal.
    expectMatrix(c.input.integral, {1.4, 1.4, 0.4, 1.4});
    EXPECT_NEAR(c.input.indirectToDirect, 9.2 / 9, 1e-12);
    EXPECT_EQ(c.input.amplification, 1);
}

// The indices of the same network whatever the storage held before, and whether only the matrices
// the indices need are formed or every one.
TEST(Companion, ReusedStorageAndTheSamplersMatricesGiveTheSameIndices) {
    // A three-compartment network first (a cycle 1 -> 2 -> 3 -> 1 and a compartment 3 without
    // stock), so that every list and matrix held is larger than the next network's.
    CompanionIndices c;
    {
        Vector<3> stocks, IN, EX, RE;
        Matrix<3> t;
        stocks(1) = stocks(2) = 2.0f;
        IN(1) = 6;
        t(1, 2) = 5;
        t(2, 3) = 4;
        t(3, 1) = 3;
        RE(1) = 4;
        RE(2) = 1;
        EX(3) = 1;
        companionIndices(c, 3, stocks.view(), IN.view(), EX.view(), RE.view(), t.view(),
                         CompanionMatrices::every);
        ASSERT_GT(c.input.amplification + c.output.amplification, 0);
    }
    // The two-compartment cycle by hand (above), only the needed matrices formed.
    twoCompartmentsInto(c, 8, 4, 10, 6, 4, CompanionMatrices::needed);
    EXPECT_DOUBLE_EQ(c.TST, 22.0);
    EXPECT_DOUBLE_EQ(c.TSTp, 32.0);
    EXPECT_NEAR(c.TSTc, 44.0 / 7, 1e-12);
    EXPECT_DOUBLE_EQ(c.totalStorage, 5.0);
    ASSERT_EQ(c.residenceTime.size(), 2u);
    ASSERT_EQ(c.turnoverRate.size(), 2u);
    expectMatrix(c.output.integral, {1.4, 0.8, 0.7, 1.4});
    EXPECT_NEAR(c.output.indirectToDirect, 17.2 / 15, 1e-12);
    EXPECT_EQ(c.output.amplification, 0);
    EXPECT_NEAR(c.input.indirectToDirect, 9.2 / 9, 1e-12);
    EXPECT_EQ(c.input.amplification, 1);
    EXPECT_EQ(c.directImpact.n, 0);  // not formed
    EXPECT_EQ(c.directUtility.n, 0);
    EXPECT_EQ(c.totalImpact.n, 2);
    EXPECT_EQ(c.integralUtility.n, 2);
    const CompanionIndices fresh = twoCompartments(8, 4, 10, 6, 4);
    EXPECT_EQ(c.input.homogenisation, fresh.input.homogenisation);
    EXPECT_EQ(c.output.homogenisation, fresh.output.homogenisation);
    EXPECT_EQ(c.totalImpact.a, fresh.totalImpact.a);
    EXPECT_EQ(c.integralUtility.a, fresh.integralUtility.a);
    EXPECT_EQ(c.mutualism, fresh.mutualism);
    EXPECT_EQ(c.synergism, fresh.synergism);
    EXPECT_EQ(c.H, fresh.H);
    EXPECT_EQ(c.AMI, fresh.AMI);

    // The chain next, into the same storage: its input orientation amplifies nothing (N'(1, 2)
    // is 1 exactly) and nothing cycles.
    twoCompartmentsInto(c, 4, 0, 10, 6, 4, CompanionMatrices::needed);
    EXPECT_DOUBLE_EQ(c.TST, 14.0);
    EXPECT_DOUBLE_EQ(c.TSTc, 0.0);
    EXPECT_EQ(c.input.amplification, 0);
    EXPECT_DOUBLE_EQ(c.input.indirectToDirect, 0.0);
    // And every matrix formed again, over the needed ones: the input matrices by hand (G'(1, 2) =
    // 4/4; N' = I + G').
    twoCompartmentsInto(c, 4, 0, 10, 6, 4, CompanionMatrices::every);
    expectMatrix(c.input.direct, {0, 1, 0, 0});
    expectMatrix(c.input.integral, {1, 1, 0, 1});
    expectMatrix(c.directImpact, {0, 1, -1, 0});
    expectMatrix(c.directUtility, {0, -0.4, 1, 0});
}

// Where a compartment has no throughflow the input orientation cannot be had by similarity: it
// is inverted.
TEST(Companion, AnInputOrientationWithoutSimilarityIsInverted) {
    Vector<3> stocks, IN, EX, RE;
    Matrix<3> t;
    IN(1) = 10;
    t(1, 2) = 8;
    t(2, 1) = 4;
    RE(1) = 6;
    EX(2) = 4;  // compartment 3 takes and passes nothing
    CompanionIndices c;
    companionIndices(c, 3, stocks.view(), IN.view(), EX.view(), RE.view(), t.view());
    ASSERT_FALSE(c.input.singular);
    // G' as for the two-compartment cycle, with a row and column of 0: N' = (7/5) [1 1; 2/7 1]
    // and N'(3, 3) = 1.
    expectMatrix(c.input.integral, {1.4, 1.4, 0, 0.4, 1.4, 0, 0, 0, 1});
    EXPECT_NEAR(c.input.indirectToDirect, 9.2 / 9, 1e-12);
    EXPECT_EQ(c.input.amplification, 1);
}

TEST(Companion, InversionExchangesRowsAndTellsASingularMatrix) {
    SquareMatrix cyclic(3);  // a cyclic permutation: its inverse is its transpose
    cyclic(1, 2) = cyclic(2, 3) = cyclic(3, 1) = 1.0;
    ASSERT_TRUE(invertInPlace(cyclic));
    expectMatrix(cyclic, {0, 0, 1, 1, 0, 0, 0, 1, 0});
    SquareMatrix singular(2);
    singular(1, 1) = singular(1, 2) = 2.0;
    singular(2, 1) = singular(2, 2) = 3.0;
    EXPECT_FALSE(invertInPlace(singular));
    // A NaN below the first pivot spreads into the second column although its first entry is 0
    // (0 times NaN): the second pivot is NaN and the inversion fails.
    SquareMatrix undefined(2);
    undefined(1, 1) = undefined(2, 2) = 1.0;
    undefined(2, 1) = std::nan("");
    EXPECT_FALSE(invertInPlace(undefined));
}

}  // namespace
