// Stage results read directly, on networks small enough to work out by hand.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>

#include "arrays.hpp"
#include "netread.hpp"
#include "steady.hpp"

using namespace flownet;

namespace {

using Arrays = AnalysisArrays<10>;

}  // namespace

// Plants (living, input 10, respiration r) give 4 to detritus, which exports e; K gives the
// tolerance 10^(1 - K), 1.0E-6 for a blank K. Plants take in 10 and give out r + 4; detritus takes
// in 4 and gives out e.
TEST(Stages, SteadyStateToleranceComesFromThePrecisionExponent) {
    struct Case {
        int k;
        float r, e, imbalance1, imbalance2;
    } cases[] = {
        // 10 - (5.95 + 4) is about 0.05: below 10^-1, not below 10^-3 nor 10^-6.
        {2, 5.95f, 4.0f, 0.0f, 0.0f},
        {4, 5.95f, 4.0f, 0.05f, 0.0f},
        {0, 5.95f, 4.0f, 0.05f, 0.0f},
        // K = 1: the tolerance 1 equals the imbalance 10 - 9, which is not below it.
        {1, 5.0f, 4.0f, 1.0f, 0.0f},
        // 3.9999995 is held as 4 - 2 * 2^-22, less than 1.0E-6 short of 4; 3.999998 as
        // 4 - 8 * 2^-22, 1.907E-6 short.
        {0, 6.0f, 3.9999995f, 0.0f, 0.0f},
        {0, 6.0f, 3.999998f, 0.0f, 8.0f / 4194304.0f},
    };
    for (const Case& c : cases) {
        auto a = std::make_unique<Arrays>();
        a->IN(1) = 10.0f;
        a->RE(1) = c.r;
        a->EX(2) = c.e;
        a->T(1, 2) = 4.0f;
        checkSteadyState(2, a->IN.view(), a->EX.view(), a->RE.view(), a->T.view(),
                         analysisTolerance(c.k), a->steady);
        const SteadyState& s = a->steady;
        EXPECT_EQ(s.inflow(1), 10.0f);
        EXPECT_EQ(s.inflow(2), 4.0f);
        EXPECT_EQ(s.outflow(2), c.e);
        EXPECT_NEAR(s.imbalance(1), c.imbalance1, 1.0e-6f) << c.k << " " << c.r;
        EXPECT_EQ(s.imbalance(2), c.imbalance2) << c.e;
        EXPECT_EQ(s.steady, c.imbalance1 == 0.0f && c.imbalance2 == 0.0f) << c.k << " " << c.r;
        EXPECT_TRUE(s.flowing);
    }
}

// A food chain of three living compartments: plants (input 100) feed 20 to herbivores and 4 to
// an omnivore, herbivores feed 4 to the omnivore. The omnivore eats half at level 2 and half at
// level 3: effective levels 1, 2 and 2.5. The chain starts with the 100 of the plants; level 2
// receives what the plants pass on, 24; level 3 what acts at level 2 passes on, the herbivores'
// 4 (the omnivore passes on nothing). Efficiencies 24 / 100, 4 / 24 and 0 / 4.
TEST(Stages, TrophicLevelsOfAFoodChainWithAnOmnivore) {
    auto a = std::make_unique<Arrays>();
    a->IN(1) = 100.0f;
    a->RE(1) = 76.0f;
    a->RE(2) = 16.0f;
    a->RE(3) = 8.0f;
    a->T(1, 2) = 20.0f;
    a->T(1, 3) = 4.0f;
    a->T(2, 3) = 4.0f;
    TrophicArrays work = trophicArrays(*a);
    aggregateTrophicLevels(3, 3, work, a->trophic);
    const TrophicAggregation& r = a->trophic;
    EXPECT_EQ(r.L(2, 3), 0.5f);
    EXPECT_EQ(r.L(3, 3), 0.5f);
    const auto levels = [](auto v) { return std::array{v(1), v(2), v(3)}; };
    EXPECT_EQ(levels(r.levels), (std::array{1.0f, 2.0f, 2.5f}));
    EXPECT_EQ(levels(r.chain), (std::array{100.0f, 24.0f, 4.0f}));
    // Respirations at each level: 76 and 16 at levels 1 and 2, the omnivore's 8 split 4 and 4.
    EXPECT_EQ(levels(r.respirations), (std::array{76.0f, 20.0f, 4.0f}));
    EXPECT_EQ(r.nEfficiencies, 3);
    EXPECT_EQ(levels(r.efficiencies), (std::array{0.24f, 1.0f / 6.0f, 0.0f}));
}

// The transformation matrix adds only the terms of a compartment's prey where the level below is
// finite; where it is not (an input too large for single precision), the terms of a zero diet
// fraction still count as written: 0 times infinity is NaN.
TEST(Stages, TransformationMatrixKeepsTheTermsOfANonFiniteLevel) {
    auto r = std::make_unique<TrophicAggregation>();
    r->q(1) = std::numeric_limits<float>::infinity();
    r->P(1, 2) = 1.0f;  // 2 eats 1; 1 eats nothing
    Matrix<kStageCapacity> L;
    transformationMatrix(L.view(), 2, 2, *r);
    EXPECT_EQ(L(2, 2), std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(L(2, 1)));  // P(1, 1) L(1, 1) + P(2, 1) L(1, 2) = 0 inf + 0 0
    // Finite: 2 at level 2 whole, 1 not above level 1.
    r->q(1) = 1.0f;
    transformationMatrix(L.view(), 2, 2, *r);
    EXPECT_EQ(L(2, 2), 1.0f);
    EXPECT_EQ(L(2, 1), 0.0f);
}
