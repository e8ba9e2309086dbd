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

std::string aggregate(const NetData& d, ChainStart start = ChainStart::LivingCanonicalInputs) {
    auto a = ascended(d);
    std::ostringstream out;
    trophicAggregation(out, a->N, a->NL, trophicArrays(*a), nullptr, start);
    return out.str();
}

std::string structureReport(const NetData& d, InjectedInput inject = InjectedInput::Unit) {
    auto a = ascended(d);
    std::ostringstream out;
    structureAnalyses(out, a->N, structureArrays(*a), inject);
    return out.str();
}

// The salt marsh of the examples: plants 1, herbivores 2, carnivores 3, detritus 4.
const NetData kMarsh{4,
                     3,
                     {100},
                     {0, 0, 1, 5},
                     {50, 20, 4, 20},
                     {{1, 2, 30}, {1, 4, 20}, {2, 3, 8}, {2, 4, 12}, {3, 4, 3}, {4, 2, 10}}};

}  // namespace

// IN(1) = 10 -> 1 -> 2 -> EX(2) = 10: TST = 30. Each flow is the only outflow of its source and the
// only inflow of its destination, so a = c = 10 log2 3 and o = 0: capacity = ascendency =
// 30 log2 3 = 47.549, the internal ones 10 log2 3 = 15.850; every connectance is 2^0 = 1.
TEST(InformationIndices, ChainWithoutOverhead) {
    const std::string r = analyse({2, 2, {10}, {0, 10}, {}, {{1, 2, 10}}});
    expectInOrder(
        r, {"\n\n\n                          *** INFORMATION INDICIES ***\n\n",
            "  TOTAL SYSTEM THROUGHPUT =  .30000E+02\n\n\n",
            "  DEVELOPMENT CAPACITY =  .47549E+02\n\n", "  ASCENDENCY =  .47549E+02     (****)\n\n",
            "  OVERHEAD ON IMPORTS =  .00000E+00     (.000)\n\n",
            "  OVERHEAD ON EXPORTS =  .00000E+00     (.000)\n\n",
            "  DISSIPATIVE OVERHEAD =  .00000E+00     (.000)\n\n",
            "  REDUNDANCY = .00000E+00     (.000)\n\n\n", "  INTERNAL CAPACITY = .15850E+02\n\n",
            "  INTERNAL ASCENDENCY = .15850E+02     (****)\n\n",
            "  REDUNDANCY =  .00000E+00     (.000)\n\n\n",
            "                           *** CONNECTANCE INDICES ***\n\n",
            "  OVERALL CONNECTANCE =   1.000\n\n", "  INTERCOMPERTMENTAL CONNECTANCE =   1.000\n\n",
            "  FOODWEB CONNECTANCE =   1.000\n\n\n\n"});
    // A chain of 80, the largest network, uses rows and columns 81 to 83 for the extension:
    // TST = 81, capacity 81 log2 81, internal capacity 79 log2 81.
    NetData chain{80, 80, {1}, std::vector<float>(80, 0.0f), {}, {}};
    chain.EX[79] = 1;
    for (int i = 1; i < 80; ++i) chain.flows.push_back({i, i + 1, 1});
    expectInOrder(analyse(chain),
                  {"  TOTAL SYSTEM THROUGHPUT =  .81000E+02\n\n\n",
                   "  DEVELOPMENT CAPACITY =  .51353E+03\n", "  INTERNAL CAPACITY = .50085E+03\n"});
    // One compartment without internal flow: the internal ratios are 0/0.
    const std::string lone = analyse({1, 1, {5}, {5}, {}, {}});
    EXPECT_TRUE(holds(lone, "\n  INTERNAL ASCENDENCY = .00000E+00     ( NaN)\n"));
    EXPECT_TRUE(holds(lone, "\n  FOODWEB CONNECTANCE =     NaN\n"));
}

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

// The marsh (TST 283): printed indices from the example, and capacity = ascendency + the four
// overheads, each summed flow by flow.
TEST(InformationIndices, MarshAddsUp) {
    const std::string r = analyseFile(readFile(EXAMPLES_DIR "/marsh.dat"));
    for (const char* line : {"  ASCENDENCY =  .32504E+03     (.393)\n",
                             "  DISSIPATIVE OVERHEAD =  .24321E+03     (.294)\n",
                             "  REDUNDANCY = .23805E+03     (.288)\n",
                             "  INTERNAL ASCENDENCY = .99319E+02     (.294)\n",
                             "  INTERCOMPERTMENTAL CONNECTANCE =   1.838\n"}) {
        EXPECT_TRUE(holds(r, line)) << line;
    }
    const auto marsh = ascended(kMarsh);
    const InfoTable& t = marsh->info;
    EXPECT_NEAR(t(5, 3), t(5, 1) + t(1, 2) + t(2, 2) + t(3, 2) + t(4, 2), 1e-5f * t(5, 3));
    EXPECT_NEAR(t(5, 3), 827.2341f, 2e-3f);
}

// Plants 1 (input 100) -> herbivores 2 (40) -> carnivores 3 (10), all living: 40/100, 10/40, and
// the top level over the empty level above it.
TEST(Lindeman, StraightChainOfThreeLevels) {
    const std::string r = aggregate({3, 3, {100}, {}, {60, 30, 10}, {{1, 2, 40}, {2, 3, 10}}});
    EXPECT_EQ(listing(r, "LINDEMAN TRANSFORMATION MATRIX"),
              (Values{one, o, o, o, one, o, o, o, one}));
    EXPECT_EQ(listing(r, "EFFECTIVE TROPHIC LEVELS OF EACH SPECIES"),
              (Values{one, ".200E+01", ".300E+01"}));
    EXPECT_EQ(listing(r, "CANONICAL RESPIRATIONS"), (Values{".600E+02", ".300E+02", ".100E+02"}));
    EXPECT_EQ(listing(r, "THE GRAZING CHAIN"), (Values{".100E+03", ".400E+02", ".100E+02"}));
    EXPECT_EQ(listing(r, "TROPHIC EFFICIENCIES"), (Values{".400E+00", ".250E+00", o}));
    EXPECT_FALSE(holds(r, "DETRIT") || holds(r, "SPINE") || holds(r, "CANONICAL DISTRIBUTION"));
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

// The marsh: the pool feeds the herbivores. Grazing chain (100, 30, 8); the spine adds the
// detritivory 10 to level 2 and the returns of levels 2 and 3 (12 + 3) to level 1.
TEST(Lindeman, MarshDetritalPoolAndSpine) {
    const std::string r = aggregate(kMarsh);
    EXPECT_EQ(listing(r, "CANONICAL EXPORTS"), (Values{o, o, one, ".500E+01"}));
    EXPECT_EQ(listing(r, "THE GRAZING CHAIN"), (Values{".100E+03", ".300E+02", ".800E+01"}));
    EXPECT_EQ(listing(r, "RETURNS TO DETRITAL POOL"), (Values{".200E+02", ".120E+02", ".300E+01"}));
    EXPECT_TRUE(holds(r,
                      " DETRITIVORY =   .10000E+02\n\n INPUT TO DETRITAL POOL =   .00000E+00\n\n"
                      " CIRCULATION WITHIN DETRITAL POOL =   .00000E+00\n\n LINDEMAN SPINE\n"));
    EXPECT_EQ(listing(r, "LINDEMAN SPINE"), (Values{".115E+03", ".400E+02", ".800E+01"}));
    EXPECT_EQ(listing(r, "TROPHIC EFFICIENCIES"), (Values{".348E+00", ".200E+00", o}));
}

// One living compartment takes 6 from outside and 4 from the pool: L(1, 1) = 0.6, so 2.4 is
// detritivory and 0.6 x 2 = 1.2 returns. Its canonical input is 0.6 x 6 = 3.6; with the pool's 10
// the spine starts at 13.6, efficiency 2.4 / 13.6. From the primary production 0.6 x 10 = 6
// instead, the spine starts at 16 and the efficiency is 2.4 / 16.
TEST(Lindeman, OneLivingCompartmentEfficiencyIsDetritivoryOverTheSpine) {
    const NetData d{2, 1, {6, 10}, {}, {8, 8}, {{2, 1, 4}, {1, 2, 2}}};
    const std::string r = aggregate(d), p = aggregate(d, ChainStart::PrimaryProduction);
    EXPECT_TRUE(holds(r, " DETRITIVORY =   .24000E+01\n"));
    EXPECT_EQ(listing(r, "RETURNS TO DETRITAL POOL"), (Values{".120E+01"}));
    EXPECT_EQ(listing(r, "LINDEMAN SPINE"), (Values{".136E+02"}));
    EXPECT_EQ(listing(r, "TROPHIC EFFICIENCIES"), (Values{".176E+00"}));
    EXPECT_EQ(listing(p, "LINDEMAN SPINE"), (Values{".160E+02"}));
    EXPECT_EQ(listing(p, "TROPHIC EFFICIENCIES"), (Values{".150E+00"}));
}

// The efficiencies stop at the first empty level: the zero at level 4 of six ends the list.
TEST(Lindeman, EfficienciesStopAtTheFirstEmptyLevel) {
    Vector<7> y;
    y.a = {100, 20, 5, 0, 7, 3, 0};
    EXPECT_EQ(trophicEfficiencies(y.view(), 6), 4);
    EXPECT_EQ(y.a, (std::array<float, 7>{0.2f, 0.25f, 0, 0, 7, 3, 0}));
}

// IN(1) = 10 -> 1 -> 2 -> 3 -> EX(3) = 6, RE(1) = RE(2) = 2: X = (10, 8, 6). 4/5 of 1's throughput
// reaches 2, 4/5 x 3/4 = 3/5 reaches 3, 3/4 of 2's reaches 3; all of 2's and 3's came through 1,
// all of 3's through 2. One unit into 1 passes 0.8 to 2 and 0.6 to 3; the actual input, ten times.
TEST(StructureAnalyses, StraightChain) {
    const NetData chain{3, 3, {10}, {0, 0, 6}, {2, 2}, {{1, 2, 8}, {2, 3, 6}}};
    const std::string r = structureReport(chain);
    EXPECT_EQ(listing(r, "TOTAL CONTRIBUTION COEFFICIENTS"),
              (Values{o, ".800E+00", ".600E+00", o, o, ".750E+00", o, o, o}));
    EXPECT_EQ(listing(r, "TOTAL DEPENDENCY COEFFICIENTS"),
              (Values{o, one, one, o, o, one, o, o, o}));
    EXPECT_EQ(r.find(" ANALYSIS OF INPUT  1\n"), r.rfind("ANALYSIS OF INPUT") - 1);  // the only one
    EXPECT_EQ(listing(r, "INPUT VECTOR"), (Values{one, o, o}));
    EXPECT_EQ(listing(r, "EXPORT VECTOR"), (Values{o, o, ".600E+00"}));
    EXPECT_EQ(listing(r, "RESPIRATIONS"), (Values{".200E+00", ".200E+00", o}));
    EXPECT_EQ(listing(r, "EXCHANGE MATRIX"), (Values{o, ".800E+00", o, o, o, ".600E+00", o, o, o}));
    EXPECT_EQ(listing(structureReport(chain, InjectedInput::Actual), "EXCHANGE MATRIX"),
              (Values{o, ".800E+01", o, o, o, ".600E+01", o, o, o}));
}

// 1 (input 10) gives 10 to 2 and respires 5; 2 feeds itself 2, returns 5 to 1 and exports 5:
// X = (15, 12), (I - G)^-1 = [1.5 1.5; 0.6 1.8], (I - F)^-1 = [1.5 1.2; 0.75 1.8]. Of 2's
// throughput 5/12 goes to 1 at once and, through its own loop, (5/12) / (1 - 1/6) = 1/2 in all.
// All of 2's throughput came from 1, a third of 1's from 2. A unit into 1 generates 1.5 and 1.2.
TEST(StructureAnalyses, CycleWithASelfLoop) {
    const std::string r =
        structureReport({2, 2, {10}, {0, 5}, {5}, {{1, 2, 10}, {2, 1, 5}, {2, 2, 2}}});
    EXPECT_EQ(listing(r, "TOTAL CONTRIBUTION COEFFICIENTS"),
              (Values{".333E+00", ".667E+00", ".500E+00", ".444E+00"}));
    EXPECT_EQ(listing(r, "TOTAL DEPENDENCY COEFFICIENTS"),
              (Values{".333E+00", one, ".333E+00", ".444E+00"}));
    EXPECT_EQ(listing(r, "EXCHANGE MATRIX"), (Values{o, one, ".500E+00", ".200E+00"}));
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
