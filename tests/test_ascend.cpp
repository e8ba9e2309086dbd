// Information and connectance indices against values worked out by hand from the terms of each
// flow: a = t ln(t TST / (R C)), o = -t ln(t^2 / (R C)), c = -t ln(t / TST), in bits.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "support/run.hpp"
#include "support/stages.hpp"

using namespace flownet;
using namespace flownet::testing;

using Arrays = AnalysisArrays<10>;

// IN(1) = 10 -> 1 -> 2 -> EX(2) = 10: TST = 30; every flow is the only outflow of its source and
// the only inflow of its destination, so a = c = 10 ln 3 and o = 0 for each of the three flows:
// capacity = ascendency = 30 log2 3 = 47.549 bits, the internal ones 10 log2 3 = 15.850 bits.
TEST(InformationIndices, ChainWithoutOverheadPrintsBothSections) {
    const std::string report = analyse({2, 2, {10}, {0, 10}, {}, {{1, 2, 10}}});
    EXPECT_EQ(report.substr(report.find("\n\n\n                          *** INFORMATION")), R"(


                          *** INFORMATION INDICIES ***

  TOTAL SYSTEM THROUGHPUT =  .30000E+02


  DEVELOPMENT CAPACITY =  .47549E+02

  ASCENDENCY =  .47549E+02     (****)

  OVERHEAD ON IMPORTS =  .00000E+00     (.000)

  OVERHEAD ON EXPORTS =  .00000E+00     (.000)

  DISSIPATIVE OVERHEAD =  .00000E+00     (.000)

  REDUNDANCY = .00000E+00     (.000)


  INTERNAL CAPACITY = .15850E+02

  INTERNAL ASCENDENCY = .15850E+02     (****)

  REDUNDANCY =  .00000E+00     (.000)


                           *** CONNECTANCE INDICES ***

  OVERALL CONNECTANCE =   1.000

  INTERCOMPERTMENTAL CONNECTANCE =   1.000

  FOODWEB CONNECTANCE =   1.000



)");
}

// One compartment with an input and an export of 5 and no internal flow: the ratios against the
// internal capacity and the food-web and intercompartmental uncertainties are 0/0.
TEST(InformationIndices, ZeroDivisorsPrintNaN) {
    const std::string report = analyse({1, 1, {5}, {5}, {}, {}});
    EXPECT_TRUE(holds(report, "\n  INTERNAL ASCENDENCY = .00000E+00     ( NaN)\n"));
    EXPECT_TRUE(holds(report, "\n  FOODWEB CONNECTANCE =     NaN\n"));
}

// A chain of 80 compartments, the largest network, needs rows and columns 81..83 for the
// extension. TST = 81, capacity = ascendency = 81 log2 81 bits, the internal ones 79 log2 81.
TEST(InformationIndices, LargestNetworkHasRoomForTheExtension) {
    NetData chain{80, 80, {1}, std::vector<float>(80, 0.0f), {}, {}};
    chain.EX[79] = 1;
    for (int i = 1; i < 80; ++i) chain.flows.push_back({i, i + 1, 1});
    const std::string report = analyse(chain);
    EXPECT_TRUE(holds(report,
                      "  TOTAL SYSTEM THROUGHPUT =  .81000E+02\n\n\n"
                      "  DEVELOPMENT CAPACITY =  .51353E+03\n"));
    EXPECT_TRUE(holds(report, "  INTERNAL CAPACITY = .50085E+03\n"));
}

// Out of steady state (1 takes in 10 and gives out 8; 2 takes in 6 and exports 9), with stale
// values in the rows and columns of the extension.
TEST(Ascend, ExtendsTheFlowsAndTakesTheLargerSideAsThroughput) {
    auto a = std::make_unique<Arrays>();
    load(*a, {2, 1, {10}, {0, 9}, {2}, {{1, 2, 6}}});
    for (int j = 1; j <= 5; ++j) a->T(3, j) = a->T(4, j) = a->T(5, j) = a->T(j, 3) = 99.0f;
    ascend(*a);
    const float extended[5][5] = {{0, 6, 0, 0, 2}, {0, 0, 0, 9, 0}, {10, 0, 0, 0, 0}};
    for (int i = 1; i <= 5; ++i) {
        for (int j = 1; j <= 5; ++j) EXPECT_EQ(a->T(i, j), extended[i - 1][j - 1]) << i << j;
    }
    EXPECT_EQ((std::vector<float>{a->TST, a->X(1), a->X(2), a->F(1, 2), a->G(1, 2)}),
              (std::vector<float>{27, 10, 9, 6.0f / 10, 6.0f / 9}));
}

// Two living compartments each feeding itself and the other with 5, with inputs and exports of 1.
// qF: each term is 5 ln(1/4) over a block total of 20, 2 ln 2 nats = 2 bits, connectance 2^1.
// qO adds, per compartment, 2 ln 11 for the input and for the export and 10 ln(121/25) for its
// two flows out: (8 ln 11 + 20 ln 4.84) / 24 nats = 3.0490 bits, connectance 2.877.
TEST(Connectance, EqualExchangesGiveTwoEffectiveLinks) {
    auto a = std::make_unique<Arrays>();
    load(*a, {2, 2, {1, 1}, {1, 1}, {}, {{1, 1, 5}, {1, 2, 5}, {2, 1, 5}, {2, 2, 5}}});
    ascend(*a);
    std::ostringstream out;
    printConnectanceIndices(out, a->info);
    EXPECT_EQ(out.str(),
              "                           *** CONNECTANCE INDICES ***\n\n"
              "  OVERALL CONNECTANCE =   2.877\n\n"
              "  INTERCOMPERTMENTAL CONNECTANCE =   2.000\n\n"
              "  FOODWEB CONNECTANCE =   2.000\n\n\n\n");
}

TEST(Connectance, ExchangesWithTheOutsideChangeOnlyTheOverallIndex) {
    const std::vector<Flow> flows{{1, 2, 5}, {2, 1, 5}, {2, 3, 3}, {3, 1, 2}};
    auto a = std::make_unique<Arrays>(), b = std::make_unique<Arrays>();
    load(*a, {3, 2, {1, 1}, {1, 1}, {0, 0, 4}, flows});
    load(*b, {3, 2, {7, 0, 2}, {0, 3}, {2, 1}, flows});
    ascend(*a);
    ascend(*b);
    EXPECT_EQ(a->info(6, 2), b->info(6, 2));
    EXPECT_EQ(a->info(6, 3), b->info(6, 3));
    EXPECT_NE(a->info(6, 1), b->info(6, 1));
    EXPECT_NE(a->info(6, 2), a->info(6, 3));  // the exchanges with the pool count in qI only
}

// The salt-marsh example (TST 283), each index summed flow by flow.
TEST(InformationIndices, MarshExampleAddsUpAndMatchesTheFlowByFlowSums) {
    const std::string report = analyseFile(readFile(EXAMPLES_DIR "/marsh.dat"));
    for (const char* line : {"  ASCENDENCY =  .32504E+03     (.393)\n",
                             "  DISSIPATIVE OVERHEAD =  .24321E+03     (.294)\n",
                             "  REDUNDANCY = .23805E+03     (.288)\n",
                             "  INTERNAL ASCENDENCY = .99319E+02     (.294)\n",
                             "  INTERCOMPERTMENTAL CONNECTANCE =   1.838\n"}) {
        EXPECT_TRUE(holds(report, line)) << line;
    }
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
}
