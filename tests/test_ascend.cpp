// Information and connectance indices: the extended flow matrix, the index table and the two
// report sections, against values worked out by hand from the formulas of each flow.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

#include "support/run.hpp"
#include "support/stages.hpp"

using namespace flownet;
using namespace flownet::testing;

namespace {

using Arrays = AnalysisArrays<10>;

// Two living compartments, each feeding itself and the other with 5, with one unit of input and
// of export each: every compartment moves 11.
const NetData kFoodWeb{2, 2, {1, 1}, {1, 1}, {}, {{1, 1, 5}, {1, 2, 5}, {2, 1, 5}, {2, 2, 5}}};

}  // namespace

// IN(1) = 10 -> 1 -> 2 -> EX(2) = 10: TST = 30; every flow is the only outflow of its source and
// the only inflow of its destination, so a = c = 10 ln 3 and o = 0 for each of the three flows:
// capacity = ascendency = 30 log2 3 = 47.549 bits, internal ones 10 log2 3 = 15.850 bits.
TEST(InformationIndices, ChainWithoutOverheadPrintsBothSections) {
    const std::string report = analyse({2, 2, {10}, {0, 10}, {}, {{1, 2, 10}}});
    const std::vector<std::string> expected{
        "                          *** INFORMATION INDICIES ***",
        "",
        "  TOTAL SYSTEM THROUGHPUT =  .30000E+02",
        "",
        "",
        "  DEVELOPMENT CAPACITY =  .47549E+02",
        "",
        "  ASCENDENCY =  .47549E+02     (****)",
        "",
        "  OVERHEAD ON IMPORTS =  .00000E+00     (.000)",
        "",
        "  OVERHEAD ON EXPORTS =  .00000E+00     (.000)",
        "",
        "  DISSIPATIVE OVERHEAD =  .00000E+00     (.000)",
        "",
        "  REDUNDANCY = .00000E+00     (.000)",
        "",
        "",
        "  INTERNAL CAPACITY = .15850E+02",
        "",
        "  INTERNAL ASCENDENCY = .15850E+02     (****)",
        "",
        "  REDUNDANCY =  .00000E+00     (.000)",
        "",
        "",
        "                           *** CONNECTANCE INDICES ***",
        "",
        "  OVERALL CONNECTANCE =   1.000",
        "",
        "  INTERCOMPERTMENTAL CONNECTANCE =   1.000",
        "",
        "  FOODWEB CONNECTANCE =   1.000",
        "",
        "",
        ""};
    EXPECT_EQ(linesFrom(report, "*** INFORMATION INDICIES ***", 100), expected);
}

// A chain of 80 compartments, the largest network: the extension needs rows and columns 81..83.
// TST = 81 and every flow is alone at both ends: capacity = ascendency = 81 log2 81 = 513.53 bits,
// internal ones 79 log2 81 = 500.85 bits.
TEST(InformationIndices, LargestNetworkHasRoomForTheExtension) {
    NetData chain{80, 80, {1}, std::vector<float>(80, 0.0f), {}, {}};
    chain.EX[79] = 1;
    for (int i = 1; i < 80; ++i) chain.flows.push_back({i, i + 1, 1});
    const std::string report = analyse(chain);
    EXPECT_EQ(linesFrom(report, "TOTAL SYSTEM THROUGHPUT", 1)[0],
              "  TOTAL SYSTEM THROUGHPUT =  .81000E+02");
    EXPECT_EQ(linesFrom(report, "DEVELOPMENT CAPACITY", 1)[0],
              "  DEVELOPMENT CAPACITY =  .51353E+03");
    EXPECT_EQ(linesFrom(report, "INTERNAL CAPACITY", 1)[0], "  INTERNAL CAPACITY = .50085E+03");
}

// One compartment with an input of 5 and an export of 5: no internal flow, so the ratios against
// the internal capacity and the food-web and intercompartmental uncertainties are 0/0.
TEST(InformationIndices, ZeroDivisorsPrintNaN) {
    const std::string report = analyse({1, 1, {5}, {5}, {}, {}});
    EXPECT_EQ(linesFrom(report, "INTERNAL ASCENDENCY", 1)[0],
              "  INTERNAL ASCENDENCY = .00000E+00     ( NaN)");
    EXPECT_EQ(linesFrom(report, "OVERALL CONNECTANCE", 1)[0], "  OVERALL CONNECTANCE =   1.000");
    EXPECT_EQ(linesFrom(report, "FOODWEB CONNECTANCE", 1)[0], "  FOODWEB CONNECTANCE =     NaN");
}

// Out of steady state: compartment 1 takes in 10 and gives out 8, compartment 2 takes in 6 and
// exports 9. Stale values in the extra rows and columns must not survive.
TEST(Ascend, ExtendsTheFlowsAndTakesTheLargerSideAsThroughput) {
    auto a = std::make_unique<Arrays>();
    load(*a, {2, 1, {10}, {0, 9}, {2}, {{1, 2, 6}}});
    for (int j = 1; j <= 5; ++j) a->T(3, j) = a->T(4, j) = a->T(5, j) = a->T(j, 3) = 99.0f;
    ascend(*a);
    const float expectedRows[5][5] = {
        {0, 6, 0, 0, 2}, {0, 0, 0, 9, 0}, {10, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}};
    for (int i = 1; i <= 5; ++i) {
        for (int j = 1; j <= 5; ++j) EXPECT_EQ(a->T(i, j), expectedRows[i - 1][j - 1]) << i << j;
    }
    EXPECT_EQ(a->TST, 27.0f);
    EXPECT_EQ(a->X(1), 10.0f);
    EXPECT_EQ(a->X(2), 9.0f);
    EXPECT_FLOAT_EQ(a->F(1, 2), 0.6f);
    EXPECT_FLOAT_EQ(a->G(1, 2), 6.0f / 9.0f);
}

// qF: each flow is half of its source's and of its destination's exchanges, so each of the four
// terms is 5 ln(1/4) over a block total of 20: qF = 2 ln 2 nats = 2 bits, connectance 2^1.
// qO adds, for each compartment, 2 ln 11 for the input and for the export and 10 ln(121/25)
// for its two flows out: (8 ln 11 + 20 ln 4.84) / 24 nats = 3.0490 bits, connectance 2.877.
TEST(Connectance, EqualExchangesGiveTwoEffectiveLinks) {
    auto a = std::make_unique<Arrays>();
    load(*a, kFoodWeb);
    ascend(*a);
    EXPECT_NEAR(a->info(6, 3), 2.0f, 1e-5f);
    EXPECT_EQ(a->info(6, 2), a->info(6, 3));
    EXPECT_NEAR(a->info(6, 1), 3.048983f, 1e-5f);
    std::ostringstream out;
    printConnectanceIndices(out, a->info);
    EXPECT_EQ(out.str(),
              "                           *** CONNECTANCE INDICES ***\n\n"
              "  OVERALL CONNECTANCE =   2.877\n\n"
              "  INTERCOMPERTMENTAL CONNECTANCE =   2.000\n\n"
              "  FOODWEB CONNECTANCE =   2.000\n\n\n\n");
}

TEST(Connectance, ExchangesWithTheOutsideChangeOnlyTheOverallIndex) {
    auto first = std::make_unique<Arrays>(), second = std::make_unique<Arrays>();
    load(*first, {3, 2, {1, 1}, {1, 1}, {0, 0, 4}, {{1, 2, 5}, {2, 1, 5}, {2, 3, 3}, {3, 1, 2}}});
    load(*second, {3, 2, {7, 0, 2}, {0, 3}, {2, 1}, {{1, 2, 5}, {2, 1, 5}, {2, 3, 3}, {3, 1, 2}}});
    ascend(*first);
    ascend(*second);
    EXPECT_EQ(first->info(6, 2), second->info(6, 2));
    EXPECT_EQ(first->info(6, 3), second->info(6, 3));
    EXPECT_NE(first->info(6, 1), second->info(6, 1));
    EXPECT_NE(first->info(6, 2), first->info(6, 3));  // the detrital exchanges count in qI only
}

// The salt-marsh example (283 units of throughput): capacity is ascendency plus the four
// overheads, and each index agrees with the sums over its flows worked out term by term.
TEST(InformationIndices, MarshExampleAddsUpAndMatchesTheFlowByFlowSums) {
    const std::string report = analyseFile(readFile(EXAMPLES_DIR "/marsh.dat"));
    const std::vector<std::string> expected{"  TOTAL SYSTEM THROUGHPUT =  .28300E+03",
                                            "",
                                            "",
                                            "  DEVELOPMENT CAPACITY =  .82723E+03",
                                            "",
                                            "  ASCENDENCY =  .32504E+03     (.393)",
                                            "",
                                            "  OVERHEAD ON IMPORTS =  .00000E+00     (.000)",
                                            "",
                                            "  OVERHEAD ON EXPORTS =  .20937E+02     (.025)",
                                            "",
                                            "  DISSIPATIVE OVERHEAD =  .24321E+03     (.294)",
                                            "",
                                            "  REDUNDANCY = .23805E+03     (.288)",
                                            "",
                                            "",
                                            "  INTERNAL CAPACITY = .33737E+03",
                                            "",
                                            "  INTERNAL ASCENDENCY = .99319E+02     (.294)",
                                            "",
                                            "  REDUNDANCY =  .23805E+03     (.706)"};
    EXPECT_EQ(linesFrom(report, "TOTAL SYSTEM THROUGHPUT", 21), expected);
    EXPECT_EQ(linesFrom(report, "OVERALL CONNECTANCE", 1)[0], "  OVERALL CONNECTANCE =   1.740");
    EXPECT_EQ(linesFrom(report, "INTERCOMPERTMENTAL", 1)[0],
              "  INTERCOMPERTMENTAL CONNECTANCE =   1.838");
    EXPECT_EQ(linesFrom(report, "FOODWEB CONNECTANCE", 1)[0], "  FOODWEB CONNECTANCE =   1.000");

    auto a = std::make_unique<Arrays>();
    load(*a, {4,
              3,
              {100},
              {0, 0, 1, 5},
              {50, 20, 4, 20},
              {{1, 2, 30}, {1, 4, 20}, {2, 3, 8}, {2, 4, 12}, {3, 4, 3}, {4, 2, 10}}});
    ascend(*a);
    const InfoTable& t = a->info;
    EXPECT_NEAR(t(5, 3), t(5, 1) + t(1, 2) + t(2, 2) + t(3, 2) + t(4, 2), 1e-5f * t(5, 3));
    EXPECT_NEAR(t(5, 3), 827.2341f, 2e-3f);
    EXPECT_NEAR(t(5, 1), 325.0404f, 2e-3f);
}
