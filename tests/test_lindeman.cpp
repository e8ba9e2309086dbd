// Lindeman trophic aggregation: transformation matrix, effective levels, chains and efficiencies,
// read back from the printed listings, and the seams for migratory inputs.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "support/run.hpp"
#include "support/stages.hpp"

using namespace flownet;
using namespace flownet::testing;

namespace {

using Arrays = AnalysisArrays<10>;
using Values = std::vector<std::string>;

std::string aggregate(const NetData& d, const MigratoryInputs* migratory = nullptr,
                      ChainStart start = ChainStart::LivingCanonicalInputs) {
    auto a = std::make_unique<Arrays>();
    load(*a, d);
    std::ostringstream out;
    trophicAggregation(out, a->N, a->NL, trophicArrays(*a), migratory, start);
    return out.str();
}

bool has(const std::string& report, const char* text) {
    return report.find(text) != std::string::npos;
}

// A detritivore (1) that also takes an input of 6; the pool (2) has an input of 10.
const NetData kDetritivore{2, 1, {6, 10}, {}, {8, 8}, {{2, 1, 4}, {1, 2, 2}}};

}  // namespace

// Plants 1 (input 100) -> herbivores 2 (40) -> carnivores 3 (10), all living.
TEST(Lindeman, StraightChainOfThreeLevels) {
    const std::string r = aggregate({3, 3, {100}, {}, {60, 30, 10}, {{1, 2, 40}, {2, 3, 10}}});
    EXPECT_EQ(listing(r, "LINDEMAN TRANSFORMATION MATRIX"),
              (std::vector<Values>{{".100E+01", ".000E+00", ".000E+00"},
                                   {".000E+00", ".100E+01", ".000E+00"},
                                   {".000E+00", ".000E+00", ".100E+01"}}));
    EXPECT_EQ(vectorListing(r, "EFFECTIVE TROPHIC LEVELS OF EACH SPECIES"),
              (Values{".100E+01", ".200E+01", ".300E+01"}));
    EXPECT_EQ(vectorListing(r, "CANONICAL RESPIRATIONS"),
              (Values{".600E+02", ".300E+02", ".100E+02"}));
    EXPECT_EQ(vectorListing(r, "THE GRAZING CHAIN"), (Values{".100E+03", ".400E+02", ".100E+02"}));
    // 40/100, 10/40, and the top level over the empty level above it.
    EXPECT_EQ(vectorListing(r, "TROPHIC EFFICIENCIES"),
              (Values{".400E+00", ".250E+00", ".000E+00"}));
    for (const char* absent : {"RETURNS TO DETRITAL POOL", "DETRITIVORY", "INPUT TO DETRITAL POOL",
                               "CIRCULATION", "LINDEMAN SPINE", "CANONICAL DISTRIBUTION"}) {
        EXPECT_FALSE(has(r, absent)) << absent;
    }
}

// 3 eats half plants, half detritus: wholly level 2. 4 eats half plants, half herbivores (2):
// half at level 2, half at level 3, effective level 2.5. Detritus (5) is level 1.
TEST(Lindeman, MixedDietsSplitAConsumerAmongLevels) {
    const std::string r = aggregate({5,
                                     4,
                                     {100, 0, 0, 0, 10},
                                     {},
                                     {},
                                     {{1, 2, 20}, {1, 3, 5}, {5, 3, 5}, {1, 4, 4}, {2, 4, 4}}});
    EXPECT_EQ(vectorListing(r, "EFFECTIVE TROPHIC LEVELS OF EACH SPECIES"),
              (Values{".100E+01", ".200E+01", ".200E+01", ".250E+01", ".100E+01"}));
    const auto L = listing(r, "LINDEMAN TRANSFORMATION MATRIX");
    ASSERT_EQ(L.size(), 4u);
    EXPECT_EQ((Values{L[0][3], L[1][3], L[2][3], L[3][3]}),
              (Values{".000E+00", ".500E+00", ".500E+00", ".000E+00"}));
    EXPECT_EQ((Values{L[0][2], L[1][2], L[2][2]}), (Values{".000E+00", ".100E+01", ".000E+00"}));
}

// The salt-marsh example: plants, herbivores, carnivores and a detrital pool that feeds the
// herbivores. The grazing chain is (100, 30, 8); the spine adds the detritivory 10 to level 2 and
// the returns of levels 2 and 3 (12 + 3) to level 1: (115, 40, 8).
TEST(Lindeman, MarshExampleDetritalPoolAndSpine) {
    const std::string r = analyseFile(readFile(EXAMPLES_DIR "/marsh.dat"));
    EXPECT_EQ(vectorListing(r, "EFFECTIVE TROPHIC LEVELS OF EACH SPECIES"),
              (Values{".100E+01", ".200E+01", ".300E+01", ".100E+01"}));
    EXPECT_EQ(vectorListing(r, "CANONICAL EXPORTS"),
              (Values{".000E+00", ".000E+00", ".100E+01", ".500E+01"}));
    EXPECT_EQ(vectorListing(r, "THE GRAZING CHAIN"), (Values{".100E+03", ".300E+02", ".800E+01"}));
    EXPECT_EQ(vectorListing(r, "RETURNS TO DETRITAL POOL"),
              (Values{".200E+02", ".120E+02", ".300E+01"}));
    EXPECT_EQ(linesFrom(r, "DETRITIVORY", 6),
              (Values{" DETRITIVORY =   .10000E+02", "", " INPUT TO DETRITAL POOL =   .00000E+00",
                      "", " CIRCULATION WITHIN DETRITAL POOL =   .00000E+00", ""}));
    EXPECT_EQ(vectorListing(r, "LINDEMAN SPINE"), (Values{".115E+03", ".400E+02", ".800E+01"}));
    EXPECT_EQ(vectorListing(r, "TROPHIC EFFICIENCIES"),
              (Values{".348E+00", ".200E+00", ".000E+00"}));
}

TEST(Lindeman, EfficienciesStopAtTheFirstEmptyLevel) {
    Vector<7> y;
    const float chain[] = {100, 20, 5, 0, 7, 3};
    for (int i = 1; i <= 6; ++i) y(i) = chain[i - 1];
    EXPECT_EQ(trophicEfficiencies(y.view(), 6), 4);
    EXPECT_FLOAT_EQ(y(1), 0.2f);
    EXPECT_FLOAT_EQ(y(2), 0.25f);
    EXPECT_EQ(y(3), 0.0f);
    EXPECT_EQ(y(4), 0.0f);
    EXPECT_EQ(y(5), 7.0f);  // beyond the stop nothing is touched
}

// Compartment 1 has no intake at all (it only gives 5 to 2): its column of L is zero.
TEST(Lindeman, LivingCompartmentWithoutIntakeIsAtLevelZero) {
    const std::string r = aggregate({2, 2, {0, 5}, {0, 10}, {}, {{1, 2, 5}}});
    EXPECT_EQ(vectorListing(r, "EFFECTIVE TROPHIC LEVELS OF EACH SPECIES"),
              (Values{".000E+00", ".500E+00"}));
}

// A single living compartment eating only detritus: level 2 is never built, so its level is 0.
// The spine is the pool's input of 10 and the detritivory seen through L, which is 0.
TEST(Lindeman, SingleLivingCompartmentOnDetritusOnly) {
    const std::string r = aggregate({2, 1, {0, 10}, {}, {3, 8}, {{2, 1, 4}, {1, 2, 1}}});
    EXPECT_EQ(vectorListing(r, "EFFECTIVE TROPHIC LEVELS OF EACH SPECIES"),
              (Values{".000E+00", ".100E+01"}));
    EXPECT_EQ(vectorListing(r, "LINDEMAN SPINE"), (Values{".100E+02"}));
    EXPECT_EQ(vectorListing(r, "TROPHIC EFFICIENCIES"), (Values{".000E+00"}));
}

// The detritivore takes 6 from outside and 4 from the pool: L(1, 1) = 0.6, so 0.6 x 4 = 2.4 is
// detritivory and 0.6 x 2 = 1.2 returns. Its canonical input is 0.6 x 6 = 3.6; with the pool's 10
// the spine starts at 13.6, and the one efficiency is 2.4 / 13.6. Started from the primary
// production 0.6 x 10 = 6 instead, the spine starts at 16 and the efficiency is 2.4 / 16.
TEST(Lindeman, OneLivingCompartmentAndThePoolEfficiencyIsDetritivoryOverTheSpine) {
    const std::string r = aggregate(kDetritivore);
    EXPECT_EQ(linesFrom(r, "DETRITIVORY", 1)[0], " DETRITIVORY =   .24000E+01");
    EXPECT_EQ(vectorListing(r, "RETURNS TO DETRITAL POOL"), (Values{".120E+01"}));
    EXPECT_EQ(vectorListing(r, "LINDEMAN SPINE"), (Values{".136E+02"}));
    EXPECT_EQ(vectorListing(r, "TROPHIC EFFICIENCIES"), (Values{".176E+00"}));

    const std::string p = aggregate(kDetritivore, nullptr, ChainStart::PrimaryProduction);
    EXPECT_EQ(vectorListing(p, "LINDEMAN SPINE"), (Values{".160E+02"}));
    EXPECT_EQ(vectorListing(p, "TROPHIC EFFICIENCIES"), (Values{".150E+00"}));
}

// 1 takes 100 from outside only; 2 takes 20 from outside and 30 from 1. Treated as primary
// production, 2's input puts 40 percent of it at level 1 and the chain starts at 100 + 20 = 120;
// treated as migratory, 2's intake is the 30 from 1 alone, it sits wholly at level 2, and the
// chain starts at the primary production of 100.
TEST(Lindeman, MigratoryInputIsLeftOutOfTheIntake) {
    const NetData d{2, 2, {100, 20}, {70, 50}, {}, {{1, 2, 30}}};
    const std::string plain = aggregate(d);
    EXPECT_EQ(vectorListing(plain, "EFFECTIVE TROPHIC LEVELS OF EACH SPECIES"),
              (Values{".100E+01", ".160E+01"}));
    EXPECT_EQ(vectorListing(plain, "THE GRAZING CHAIN"), (Values{".120E+03", ".300E+02"}));

    Vector<10> mig;
    mig(2) = 20;
    const MigratoryInputs migratory{mig.view(), 1};
    const std::string r = aggregate(d, &migratory, ChainStart::PrimaryProduction);
    EXPECT_EQ(listing(r, "LINDEMAN TRANSFORMATION MATRIX"),
              (std::vector<Values>{{".100E+01", ".000E+00"}, {".000E+00", ".100E+01"}}));
    EXPECT_EQ(vectorListing(r, "CANONICAL DISTRIBUTION OF INPUTS"),
              (Values{".100E+03", ".200E+02"}));
    EXPECT_LT(r.find("EFFECTIVE TROPHIC LEVELS"), r.find("\n CANONICAL DISTRIBUTION OF INPUTS"));
    EXPECT_EQ(vectorListing(r, "THE GRAZING CHAIN"), (Values{".100E+03", ".300E+02"}));

    // Without suspects the distribution of the inputs is not printed.
    Vector<10> noMig;
    const MigratoryInputs none{noMig.view(), 0};
    EXPECT_FALSE(has(aggregate(d, &none, ChainStart::PrimaryProduction), "CANONICAL DISTRIBUTION"));
}
