// Lindeman trophic aggregation: transformation matrix, effective levels, chains and efficiencies,
// read back from the printed listings, and the seams for migratory inputs.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sstream>

#include "support/run.hpp"
#include "support/stages.hpp"

using namespace flownet;
using namespace flownet::testing;

namespace {

using Values = std::vector<std::string>;
const std::string o = ".000E+00", one = ".100E+01";

std::string aggregate(const NetData& d, const MigratoryInputs* migratory = nullptr,
                      ChainStart start = ChainStart::LivingCanonicalInputs) {
    auto a = std::make_unique<AnalysisArrays<10>>();
    load(*a, d);
    std::ostringstream out;
    trophicAggregation(out, a->N, a->NL, trophicArrays(*a), migratory, start);
    return out.str();
}

Values levels(const std::string& report) {
    return listing(report, "EFFECTIVE TROPHIC LEVELS OF EACH SPECIES");
}

}  // namespace

// Plants 1 (input 100) -> herbivores 2 (40) -> carnivores 3 (10), all living.
TEST(Lindeman, StraightChainOfThreeLevels) {
    const std::string r = aggregate({3, 3, {100}, {}, {60, 30, 10}, {{1, 2, 40}, {2, 3, 10}}});
    EXPECT_EQ(listing(r, "LINDEMAN TRANSFORMATION MATRIX"),
              (Values{one, o, o, o, one, o, o, o, one}));
    EXPECT_EQ(levels(r), (Values{one, ".200E+01", ".300E+01"}));
    EXPECT_EQ(listing(r, "CANONICAL RESPIRATIONS"), (Values{".600E+02", ".300E+02", ".100E+02"}));
    EXPECT_EQ(listing(r, "THE GRAZING CHAIN"), (Values{".100E+03", ".400E+02", ".100E+02"}));
    // 40/100, 10/40, and the top level over the empty level above it.
    EXPECT_EQ(listing(r, "TROPHIC EFFICIENCIES"), (Values{".400E+00", ".250E+00", o}));
    for (const char* absent :
         {"DETRITAL", "DETRITIVORY", "LINDEMAN SPINE", "CANONICAL DISTRIBUTION"}) {
        EXPECT_FALSE(holds(r, absent)) << absent;
    }
}

// 3 eats half plants, half detritus: wholly level 2. 4 eats half plants, half herbivores (2):
// half at level 2, half at level 3, effective level 2.5. Detritus (5) is level 1.
TEST(Lindeman, MixedDietsSplitAConsumerAmongLevels) {
    const std::vector<Flow> diets{{1, 2, 20}, {1, 3, 5}, {5, 3, 5}, {1, 4, 4}, {2, 4, 4}};
    const std::string r = aggregate({5, 4, {100, 0, 0, 0, 10}, {}, {}, diets});
    EXPECT_EQ(levels(r), (Values{one, ".200E+01", ".200E+01", ".250E+01", one}));
    const Values L = listing(r, "LINDEMAN TRANSFORMATION MATRIX");  // 4 x 4, row by row
    ASSERT_EQ(L.size(), 16u);
    EXPECT_EQ((Values{L[3], L[7], L[11], L[15]}), (Values{o, ".500E+00", ".500E+00", o}));
    EXPECT_EQ((Values{L[2], L[6], L[10]}), (Values{o, one, o}));
}

// The salt-marsh example: the pool (4) feeds the herbivores. Grazing chain (100, 30, 8); the
// spine adds the detritivory 10 to level 2 and the returns of levels 2 and 3 (12 + 3) to level 1.
TEST(Lindeman, MarshExampleDetritalPoolAndSpine) {
    const std::string r = analyseFile(readFile(EXAMPLES_DIR "/marsh.dat"));
    EXPECT_EQ(levels(r), (Values{one, ".200E+01", ".300E+01", one}));
    EXPECT_EQ(listing(r, "CANONICAL EXPORTS"), (Values{o, o, one, ".500E+01"}));
    EXPECT_EQ(listing(r, "THE GRAZING CHAIN"), (Values{".100E+03", ".300E+02", ".800E+01"}));
    EXPECT_EQ(listing(r, "RETURNS TO DETRITAL POOL"), (Values{".200E+02", ".120E+02", ".300E+01"}));
    EXPECT_TRUE(holds(r,
                      " DETRITIVORY =   .10000E+02\n\n INPUT TO DETRITAL POOL =   .00000E+00\n\n"
                      " CIRCULATION WITHIN DETRITAL POOL =   .00000E+00\n\n LINDEMAN SPINE\n"));
    EXPECT_EQ(listing(r, "LINDEMAN SPINE"), (Values{".115E+03", ".400E+02", ".800E+01"}));
    EXPECT_EQ(listing(r, "TROPHIC EFFICIENCIES"), (Values{".348E+00", ".200E+00", o}));
}

TEST(Lindeman, EfficienciesStopAtTheFirstEmptyLevel) {
    Vector<7> y;
    y.a = {100, 20, 5, 0, 7, 3, 0};
    EXPECT_EQ(trophicEfficiencies(y.view(), 6), 4);
    EXPECT_EQ(y.a, (std::array<float, 7>{0.2f, 0.25f, 0, 0, 7, 3, 0}));
}

// 1 has no intake at all (it only gives 5 to 2): its column of L is zero. 2 takes half of its
// intake from outside and half from 1, which passes no level on.
TEST(Lindeman, LivingCompartmentWithoutIntakeIsAtLevelZero) {
    EXPECT_EQ(levels(aggregate({2, 2, {0, 5}, {0, 10}, {}, {{1, 2, 5}}})), (Values{o, ".500E+00"}));
}

// A single living compartment eating only detritus: level 2 is never built, so its level is 0.
// The spine is the pool's input of 10 and the detritivory seen through L, which is 0.
TEST(Lindeman, SingleLivingCompartmentOnDetritusOnly) {
    const std::string r = aggregate({2, 1, {0, 10}, {}, {3, 8}, {{2, 1, 4}, {1, 2, 1}}});
    EXPECT_EQ(levels(r), (Values{o, one}));
    EXPECT_EQ(listing(r, "LINDEMAN SPINE"), (Values{".100E+02"}));
    EXPECT_EQ(listing(r, "TROPHIC EFFICIENCIES"), (Values{o}));
}

// The living compartment takes 6 from outside and 4 from the pool: L(1, 1) = 0.6, so 2.4 is
// detritivory and 0.6 x 2 = 1.2 returns. Its canonical input is 0.6 x 6 = 3.6; with the pool's
// 10 the spine starts at 13.6 and the efficiency is 2.4 / 13.6. Started from the primary
// production 0.6 x 10 = 6 instead, the spine starts at 16 and the efficiency is 2.4 / 16.
TEST(Lindeman, OneLivingCompartmentEfficiencyIsDetritivoryOverTheSpine) {
    const NetData d{2, 1, {6, 10}, {}, {8, 8}, {{2, 1, 4}, {1, 2, 2}}};
    const std::string r = aggregate(d);
    EXPECT_TRUE(holds(r, " DETRITIVORY =   .24000E+01\n"));
    EXPECT_EQ(listing(r, "RETURNS TO DETRITAL POOL"), (Values{".120E+01"}));
    EXPECT_EQ(listing(r, "LINDEMAN SPINE"), (Values{".136E+02"}));
    EXPECT_EQ(listing(r, "TROPHIC EFFICIENCIES"), (Values{".176E+00"}));
    const std::string p = aggregate(d, nullptr, ChainStart::PrimaryProduction);
    EXPECT_EQ(listing(p, "LINDEMAN SPINE"), (Values{".160E+02"}));
    EXPECT_EQ(listing(p, "TROPHIC EFFICIENCIES"), (Values{".150E+00"}));
}

// 1 takes 100 from outside only; 2 takes 20 from outside and 30 from 1. As primary production,
// 2's input puts 40 percent of it at level 1 and the chain starts at 100 + 20. As a migratory
// input, 2's intake is the 30 from 1 alone, it sits wholly at level 2 and the chain starts at 100.
TEST(Lindeman, MigratoryInputIsLeftOutOfTheIntake) {
    const NetData d{2, 2, {100, 20}, {70, 50}, {}, {{1, 2, 30}}};
    const std::string plain = aggregate(d);
    EXPECT_EQ(levels(plain), (Values{one, ".160E+01"}));
    EXPECT_EQ(listing(plain, "THE GRAZING CHAIN"), (Values{".120E+03", ".300E+02"}));

    Vector<10> mig, none;
    mig(2) = 20;
    const MigratoryInputs migratory{mig.view(), 1}, noMigratory{none.view(), 0};
    const std::string r = aggregate(d, &migratory, ChainStart::PrimaryProduction);
    EXPECT_EQ(listing(r, "LINDEMAN TRANSFORMATION MATRIX"), (Values{one, o, o, one}));
    EXPECT_LT(r.find("EFFECTIVE TROPHIC LEVELS"), r.find("CANONICAL DISTRIBUTION OF INPUTS"));
    EXPECT_EQ(listing(r, "CANONICAL DISTRIBUTION OF INPUTS"), (Values{".100E+03", ".200E+02"}));
    EXPECT_EQ(listing(r, "THE GRAZING CHAIN"), (Values{".100E+03", ".300E+02"}));
    const std::string p = aggregate(d, &noMigratory, ChainStart::PrimaryProduction);
    EXPECT_FALSE(holds(p, "CANONICAL DISTRIBUTION"));
}
