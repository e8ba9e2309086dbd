// The analysis stages against values worked out by hand: information and connectance indices,
// Lindeman trophic aggregation and the structure analyses. Index terms of a flow t from a source
// with outflow R to a destination with inflow C, in bits: a = t log2(t TST / (R C)),
// o = -t log2(t^2 / (R C)), c = -t log2(t / TST).
#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "support/expect.hpp"
#include "support/run.hpp"
#include "support/stages.hpp"

using namespace flownet;
using namespace flownet::testing;

namespace {

const std::string o = ".000E+00", one = ".100E+01";

std::string aggregate(const NetData& d) {
    auto a = ascended(d);
    std::ostringstream out;
    trophicAggregation(out, a->N, a->NL, trophicArrays(*a), nullptr,
                       ChainStart::LivingCanonicalInputs);
    return out.str();
}

std::string structureReport(const NetData& d) {
    auto a = ascended(d);
    std::ostringstream out;
    structureAnalyses(out, a->N, structureArrays(*a), InjectedInput::Unit);
    return out.str();
}

}  // namespace

// Out of steady state (1 takes in 10, gives out 8; 2 takes in 6, exports 9), with stale values in
// the rows and columns of the extension: throughputs are the larger side, TST = 10 + 8 + 9.
TEST(InformationIndices, ExtensionThroughputsAndNormalisedFlows) {
    NetData d{2, 1, {10}, {0, 9}, {2}, {{1, 2, 6}}};
    for (int j = 1; j <= 5; ++j) {
        for (const Flow& stale : {Flow{3, j, 99}, Flow{4, j, 99}, Flow{5, j, 99}, Flow{j, 3, 99}})
            d.flows.push_back(stale);
    }
    auto a = ascended(d);
    const float extended[5][5] = {{0, 6, 0, 0, 2}, {0, 0, 0, 9, 0}, {10, 0, 0, 0, 0}};
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 5; ++j) EXPECT_EQ(a->T(i, j), extended[i - 1][j - 1]) << i << j;
    EXPECT_EQ((std::vector<float>{a->TST, a->X(1), a->X(2), a->F(1, 2), a->G(1, 2)}),
              (std::vector<float>{27, 10, 9, 6.0f / 10, 6.0f / 9}));
}

// Two compartments each feeding itself and the other with 5, inputs and exports of 1. Food web:
// each term 5 ln(1/4) over 20, 2 ln 2 nats = 2 bits, connectance 2^1. Overall: per compartment
// 2 ln 11 for the input and for the export and 10 ln(121/25) for the two flows out:
// (8 ln 11 + 20 ln 4.84) / 24 nats = 3.0490 bits, connectance 2.877.
TEST(Connectance, EqualExchangesAndExchangesWithTheOutside) {
    std::ostringstream out;
    printConnectanceIndices(
        out,
        ascended({2, 2, {1, 1}, {1, 1}, {}, {{1, 1, 5}, {1, 2, 5}, {2, 1, 5}, {2, 2, 5}}})->info);
    EXPECT_EQ(out.str(),
              "                           *** CONNECTANCE INDICES ***\n\n"
              "  OVERALL CONNECTANCE =   2.877\n\n"
              "  INTERCOMPERTMENTAL CONNECTANCE =   2.000\n\n"
              "  FOODWEB CONNECTANCE =   2.000\n\n\n\n");
    // Other inputs, exports and respirations change only the overall index; the exchanges with
    // the pool (3) count in the intercompartmental index only.
    const std::vector<Flow> flows{{1, 2, 5}, {2, 1, 5}, {2, 3, 3}, {3, 1, 2}};
    auto a = ascended({3, 2, {1, 1}, {1, 1}, {0, 0, 4}, flows});
    auto b = ascended({3, 2, {7, 0, 2}, {0, 3}, {2, 1}, flows});
    EXPECT_EQ(a->info(6, 2), b->info(6, 2));
    EXPECT_EQ(a->info(6, 3), b->info(6, 3));
    EXPECT_NE(a->info(6, 1), b->info(6, 1));
    EXPECT_NE(a->info(6, 2), a->info(6, 3));
}

// Effective levels. 3 eats half plants, half detritus (5): level 2. 4 eats half plants, half
// herbivores: half at 2, half at 3, level 2.5. Non-living compartments are level 1. A living
// compartment without intake (it only gives 5 away) is level 0; its consumer, fed half from
// outside, is 0.5. A single living compartment on detritus only: level 2 is never built, 0.
TEST(Lindeman, LevelsOfMixedDietsPoolsAndCompartmentsWithoutIntake) {
    const std::vector<Flow> diets{{1, 2, 20}, {1, 3, 5}, {5, 3, 5}, {1, 4, 4}, {2, 4, 4}};
    const std::string r = aggregate({5, 4, {100, 0, 0, 0, 10}, {}, {}, diets});
    const std::string levels = "EFFECTIVE TROPHIC LEVELS OF EACH SPECIES";
    EXPECT_EQ(listing(r, levels), (Values{one, ".200E+01", ".200E+01", ".250E+01", one}));
    const Values L = listing(r, "LINDEMAN TRANSFORMATION MATRIX");  // 4 x 4, row by row
    ASSERT_EQ(L.size(), 16u);
    EXPECT_EQ((Values{L[2], L[6], L[10], L[3], L[7], L[11], L[15]}),
              (Values{o, one, o, o, ".500E+00", ".500E+00", o}));
    EXPECT_EQ(listing(aggregate({2, 2, {0, 5}, {0, 10}, {}, {{1, 2, 5}}}), levels),
              (Values{o, ".500E+00"}));
    // On detritus only, the spine is the pool's input of 10 and the detritivory seen through L, 0.
    const std::string lone = aggregate({2, 1, {0, 10}, {}, {3, 8}, {{2, 1, 4}, {1, 2, 1}}});
    EXPECT_EQ(listing(lone, levels), (Values{o, one}));
    EXPECT_EQ(listing(lone, "LINDEMAN SPINE"), (Values{".100E+02"}));
    EXPECT_EQ(listing(lone, "TROPHIC EFFICIENCIES"), (Values{o}));
}

// Inputs at 1 and 3, a cycle between 1 and 2 and one between 2 and 3, in steady state: one unit in
// is one unit out in each block. Numbering the compartments 1, 2, 3 as 2, 3, 1 moves the
// coefficient of (i, j) to (p(i), p(j)).
TEST(StructureAnalyses, InputBlocksBalanceAndRelabellingPermutesTheCoefficients) {
    const std::vector<Flow> cycles{{1, 2, 8}, {2, 1, 2}, {2, 3, 5}, {3, 2, 3}};
    const int p[] = {0, 2, 3, 1};
    NetData relabelled{3, 3, {5, 10, 0}, {7, 0, 0}, {0, 4, 4}, {}};
    for (const Flow& f : cycles) relabelled.flows.push_back({p[f.from], p[f.to], f.t});
    const std::string r = structureReport({3, 3, {10, 0, 5}, {0, 0, 7}, {4, 4}, cycles});
    const std::string other = structureReport(relabelled);
    EXPECT_FALSE(holds(r, " ANALYSIS OF INPUT  2"));
    for (int block = 1; block <= 2; ++block) {
        float out = 0.0f;
        for (const auto& f : listing(r, "EXPORT VECTOR", block)) out += std::stof(f);
        for (const auto& f : listing(r, "RESPIRATIONS", block)) out += std::stof(f);
        EXPECT_NEAR(out, 1.0f, 3e-3f) << "block " << block;
    }
    for (const char* title : {"TOTAL CONTRIBUTION COEFFICIENTS", "TOTAL DEPENDENCY COEFFICIENTS"}) {
        const Values a = listing(r, title), b = listing(other, title);
        for (int i = 1; i <= 3; ++i) {
            for (int j = 1; j <= 3; ++j) {
                const float x = std::stof(a[3 * (i - 1) + j - 1]);
                EXPECT_NEAR(x, std::stof(b[3 * (p[i] - 1) + p[j] - 1]), 0.01f * x)
                    << title << i << j;
            }
        }
    }
}
