// CYCCNT: the worked cases, the check messages, the progress lines, invariants on random
// networks, and the pruned search against the reference search.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "cyccnt.hpp"
#include "layout.hpp"
#include "support/cyclenets.hpp"
#include "support/run.hpp"

using namespace flownet;
using namespace flownet::testing;

namespace {

struct CountRun {
    std::string report, console;
    int NC = 0;
    Vector<128> cyc;
};

CountRun runCount(Net128& net, int NC, float TST, CycleSearch how = CycleSearch::Pruned) {
    CountRun run;
    run.NC = NC;
    std::ostringstream report, console;
    CYCCNT(report, console, net.T.view(), net.F.view(), net.X.view(), run.NC, TST, how,
           run.cyc.view());
    run.report = report.str();
    run.console = console.str();
    return run;
}

Net128 network(int n, std::initializer_list<std::tuple<int, int, float>> arcs) {
    Net128 net;
    net.n = n;
    for (auto [i, j, f] : arcs) net.T(i, j) = f;
    net.computeFractions();
    return net;
}

const std::string kNoCycles = "\n" + std::string(15, ' ') + "NO CYCLES DETECTED\n\n";

// Cycles through one arc: a -> first (flow 1), forward from first through first + 1..last
// (`flow` from each to every higher one) and back to a from each of first..last (`flow`):
// 2^(last - first) cycles, every one with the weak arc (a, first).
void hubNetwork(Net128& net, int n, int a, int first, int last, float flow) {
    net.n = n;
    net.T(a, first) = 1.0f;
    for (int i = first; i <= last; ++i) {
        net.T(i, a) = flow;
        for (int j = i + 1; j <= last; ++j) net.T(i, j) = flow;
    }
}

// The first lines of a report, as many characters as expected holds.
std::string head(const std::string& report, const std::string& expected) {
    return report.substr(0, expected.size());
}

}  // namespace

TEST(Cyccnt, ASelfLoopOnly) {
    // Throughput of 2: 14 in, 4 out; the loop's flow 4 comes back as (4/14) x 14.
    Net128 net = network(2, {{1, 2, 10.0f}, {2, 2, 4.0f}});
    CountRun run = runCount(net, 2, 20.0f);
    EXPECT_EQ(run.report,
              "\n           1-CYCLE NEXUS WITH WEAK ARC ( 2, 2) =   .4000E+01\n"
              "        1.  2- 2-\n"
              "\n  A TOTAL OF        1 CYCLES REMOVED.\n\n"
              "\n\n CYCLE DISTRIBUTIONS\n"
              "\n\n           1        2   \n"
              "       .400E+01 .000E+00\n\n\n"
              " NORMALIZED DISTRIBUTION\n"
              "\n\n           1        2   \n"
              "       .200E+00 .000E+00\n\n\n"
              "\n FINN CYCLING INDEX IS   .2000E+00\n\n");
    EXPECT_EQ(run.console, "");
    EXPECT_EQ(run.NC, 2);
    EXPECT_EQ(net.T(2, 2), 0.0f);
}

TEST(Cyccnt, TwoCyclesSharingTheirWeakArcInOneRound) {
    // The proportional case: 1 -> 2 -> 1 and 1 -> 2 -> 3 -> 1 share (1,2) = 2; shares 1.2 and .8.
    // The two parts P/SUMP add up to 1: no check message. Feeding-cycle mode: no distributions.
    Net128 net = network(3, {{1, 2, 2.0f}, {2, 1, 6.0f}, {2, 3, 4.0f}, {3, 1, 8.0f}});
    CountRun run = runCount(net, -3, 10.0f);
    EXPECT_EQ(run.report,
              "\n           2-CYCLE NEXUS WITH WEAK ARC ( 1, 2) =   .2000E+01\n"
              "        1.  1- 2- 1-\n"
              "        2.  1- 2- 3- 1-\n"
              "\n  A TOTAL OF        2 CYCLES REMOVED.\n\n"
              "\n FINN CYCLING INDEX IS   .4800E+00\n\n");
    EXPECT_EQ(run.NC, 3);
    EXPECT_EQ(net.T(1, 2), 0.0f);
    EXPECT_NEAR(net.T(2, 1), 4.8f, 1e-5);
    EXPECT_NEAR(net.T(2, 3), 3.2f, 1e-5);
    EXPECT_NEAR(net.T(3, 1), 7.2f, 1e-5);

    // The same flows from fractions a 1.0E30th as large and throughputs 1.0E30 times larger:
    // the products fall to 0, and the flow 2 is shared 1 and 1.
    net = network(3, {{1, 2, 2.0f}, {2, 1, 6.0f}, {2, 3, 4.0f}, {3, 1, 8.0f}});
    for (int i = 1; i <= 3; ++i) {
        net.X(i) = net.X(i) * 1.0e30f;
        for (int j = 1; j <= 3; ++j) net.F(i, j) = net.F(i, j) * 1.0e-30f;
    }
    run = runCount(net, 3, 10.0f);
    EXPECT_EQ(run.report.find("BAD SUM"), std::string::npos);
    EXPECT_NEAR(net.T(2, 1), 5.0f, 1e-4);
    EXPECT_NEAR(net.T(2, 3), 3.0f, 1e-4);
    EXPECT_NEAR(net.T(3, 1), 7.0f, 1e-4);
}

TEST(Cyccnt, NoCyclesIsSaidInBothModes) {
    Net128 net = network(3, {{1, 2, 5.0f}, {2, 3, 3.0f}, {3, 2, 1.0f}});
    CountRun feeding = runCount(net, -2, 10.0f);
    EXPECT_EQ(feeding.report, kNoCycles);
    EXPECT_EQ(feeding.NC, -2);
    net.T(3, 2) = 0.0f;
    net.computeFractions();
    CountRun whole = runCount(net, 3, 10.0f);
    EXPECT_EQ(whole.report, kNoCycles);
    EXPECT_EQ(whole.NC, -3);
}

TEST(Cyccnt, ANexusListsItsFirstFiftyCyclesAndTheNextGoesOnCounting) {
    // (1,2) = 1 is the smallest arc; from 2 the flows run forward through 3..8 (10 from each
    // to every higher one) and back to 1 from each (10): 2^6 = 64 cycles, all with weak arc
    // (1,2). The candidates follow the cycle order: 1, 2, then 8, 7, ..., 3 (closing counts 6
    // down to 1). The loop 9 <-> 10 (5 each, weak arc the last, (10,9)) is the next round.
    Net128 net;
    hubNetwork(net, 10, 1, 2, 8, 10.0f);
    net.T(9, 10) = net.T(10, 9) = 5.0f;
    net.computeFractions();
    CountRun run = runCount(net, 10, 1.0f);
    Listing listing = readListing(run.report, 8, 8);
    ASSERT_EQ(listing.nexuses.size(), 2u);
    EXPECT_EQ(listing.nexuses[0].count, 64);
    EXPECT_EQ(listing.nexuses[1].count, 1);
    EXPECT_EQ(listing.nexuses[1].a * 100 + listing.nexuses[1].b, 1009);
    ASSERT_EQ(listing.cycles.size(), 51u);
    EXPECT_EQ(listing.cycles[0].nodes, (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(listing.cycles[1].nodes, (std::vector<int>{1, 2, 8, 1}));
    EXPECT_EQ(listing.cycles[2].nodes, (std::vector<int>{1, 2, 7, 1}));
    EXPECT_EQ(listing.cycles[3].nodes, (std::vector<int>{1, 2, 7, 8, 1}));
    EXPECT_EQ(listing.cycles[49].number, 50);
    EXPECT_EQ(listing.cycles[50].number, 65);
    EXPECT_EQ(listing.cycles[50].nodes, (std::vector<int>{10, 9, 10}));  // from A = 10
    EXPECT_NE(run.report.find("A TOTAL OF       65 CYCLES REMOVED."), std::string::npos);
    EXPECT_EQ(run.report.find("AGREE"), std::string::npos);
    EXPECT_EQ(run.report.find("BAD SUM"), std::string::npos);
    EXPECT_TRUE(acyclic(net.T.view(), 10));
}

TEST(Cyccnt, ACandidateLeftUnmarkedKeepsItsCycleOut) {
    // The ring 1 -> 2 -> 9 -> 8 -> ... -> 3 -> 1, weak arc (1,2) = 1, every other arc 5: one
    // cycle of 9 arcs, H = 4. The forward sweeps run against the ring's numbering and mark one
    // compartment each, 9 (a successor of 2) then 8, 7, 6, 5; 4 and 3 stay unmarked, so the
    // cycle is not enumerated. (1,2) is set to 0 all the same.
    Net128 net;
    net.n = 9;
    net.T(1, 2) = 1.0f;
    net.T(2, 9) = net.T(3, 1) = 5.0f;
    for (int k = 9; k >= 4; --k) net.T(k, k - 1) = 5.0f;
    net.computeFractions();
    CountRun run = runCount(net, 9, 1.0f);
    const std::string expected =
        "\n           1-CYCLE NEXUS WITH WEAK ARC ( 1, 2) =   .1000E+01\n"
        "\n  NEXUS COUNTS DO NOT AGREE.       0       1\n\n"
        "\n  A TOTAL OF        0 CYCLES REMOVED.\n\n";
    EXPECT_EQ(head(run.report, expected), expected);
    EXPECT_EQ(net.T(1, 2), 0.0f);
    EXPECT_NEAR(net.T(2, 9), 5.0f, 1e-5);
    EXPECT_EQ(run.NC, 9);
}

TEST(Cyccnt, ACycleWithAnotherWeakArcOfTheSameFlowSpoilsTheSum) {
    // 1 -> 2 -> 1 (weak arc (1,2) = 1, found first, keeps the round) and 1 -> 2 -> 3 -> 1, whose
    // smallest flows (1,2) and (3,1) are both 1: its weak arc is the last, (3,1), so its P is not
    // in SUMP, yet it begins with 1 -> 2 and is removed with the nexus. Throughputs 5, 9, 5:
    // P = .2 x 4/9 and .2 x 5/9 x .2, a quarter of the first; the parts add up to 1.25.
    Net128 net = network(3, {{1, 2, 1.0f}, {2, 1, 4.0f}, {2, 3, 5.0f}, {3, 1, 1.0f}});
    CountRun run = runCount(net, 3, 1.0f);
    const std::string expected =
        "\n           1-CYCLE NEXUS WITH WEAK ARC ( 1, 2) =   .1000E+01\n"
        "        1.  1- 2- 1-\n"
        "        2.  1- 2- 3- 1-\n"
        "\n  BAD SUM CHECK =  1.250000\n\n"
        "\n  NEXUS COUNTS DO NOT AGREE.       2       1\n\n";
    EXPECT_EQ(head(run.report, expected), expected);
    EXPECT_EQ(net.T(1, 2), 0.0f);
    EXPECT_NEAR(net.T(2, 1), 3.0f, 1e-5);
    EXPECT_NEAR(net.T(3, 1), 0.75f, 1e-5);
}

TEST(Cyccnt, ProgressLinesOnTheConsole) {
    // 1 -> 101 (flow 1), forward through 102..118 (2 from each to every higher one) and back
    // to 1 from each of 101..118 (2): 2^17 = 131,072 cycles, all through (1,101). The counting
    // pass reports at 100,000, the nexus at every 5,000 up to 130,000. Compartments above 99
    // print as asterisks in the node fields.
    Net128 net;
    hubNetwork(net, 118, 1, 101, 118, 2.0f);
    net.computeFractions();
    CountRun run = runCount(net, 118, 1.0f);
    std::string console = " " + formatInteger(100000, 10) + "  CYCLES AND COUNTING.\n";
    for (int k = 5000; k <= 130000; k += 5000) {
        console += " " + formatInteger(k, 10) + "  NEXUS CYCLES AND COUNTING.\n";
    }
    EXPECT_EQ(run.console, console);
    const std::string expected =
        "\n      131072-CYCLE NEXUS WITH WEAK ARC ( 1,**) =   .1000E+01\n"
        "        1.  1-**- 1-\n";
    EXPECT_EQ(head(run.report, expected), expected);
    EXPECT_NE(run.report.find("A TOTAL OF   131072 CYCLES REMOVED."), std::string::npos);
}

TEST(Cyccnt, InvariantsOnRandomNetworks) {
    // Distinct flows: the first round's weak arc is the weak arc of smallest flow among all
    // cycles of the rebuilt flows, and its count the number of cycles with that weak arc.
    std::mt19937 rng(31);
    for (int trial = 0; trial < 120; ++trial) {
        Net128 net;
        RandomFlows r{2 + trial % 9, 0.2 + 0.1 * (trial % 5), trial % 3 == 0 ? 0.2 : 0.0, 0};
        randomFlows(net.T.view(), r, rng);
        net.n = r.n;
        net.computeFractions();
        Net128 rebuilt = net;
        for (int i = 1; i <= r.n; ++i) {
            for (int j = 1; j <= r.n; ++j) rebuilt.T(i, j) = net.F(i, j) * net.X(i);
        }
        std::map<std::pair<int, int>, long long> byWeakArc;
        float least = INFINITY;
        std::pair<int, int> weakest;
        for (const auto& c : bruteForceCycles(rebuilt.T.view(), r.n)) {
            std::pair<int, int> arc;
            float w = INFINITY;
            for (std::size_t k = 0; k < c.size(); ++k) {
                float f = rebuilt.T(c[k], c[(k + 1) % c.size()]);
                if (f <= w)
                    std::tie(w, arc) = std::tuple(f, std::pair(c[k], c[(k + 1) % c.size()]));
            }
            ++byWeakArc[arc];
            if (w < least) std::tie(least, weakest) = std::tuple(w, arc);
        }
        CountRun run = runCount(net, r.n, 1.0f);
        SCOPED_TRACE(trial);
        Listing listing = readListing(run.report, 8, 8);
        if (byWeakArc.empty()) {
            EXPECT_EQ(run.report, kNoCycles);
            continue;
        }
        ASSERT_FALSE(listing.nexuses.empty());
        EXPECT_EQ(std::pair(listing.nexuses[0].a, listing.nexuses[0].b), weakest);
        EXPECT_EQ(listing.nexuses[0].count, byWeakArc[weakest]);
        for (const ListedCycle& c : listing.cycles) {
            const ListedNexus& x = listing.nexuses[static_cast<std::size_t>(c.nexus)];
            EXPECT_TRUE(c.nodes[0] == x.a && c.nodes[1] == x.b);
        }

        // The flows left hold no cycle; what was taken off is the distribution.
        EXPECT_TRUE(acyclic(net.T.view(), r.n));
        double removed = 0.0, cycled = 0.0;
        for (int i = 1; i <= r.n; ++i) {
            for (int j = 1; j <= r.n; ++j) removed += rebuilt.T(i, j) - net.T(i, j);
        }
        for (int L = 1; L <= r.n; ++L) cycled += run.cyc(L);
        EXPECT_NEAR(cycled, removed, 1.0e-4 * removed);
    }
}

TEST(Cyccnt, PrunedAndReferenceSearchesWriteTheSameReports) {
    std::mt19937 rng(77);
    for (int trial = 0; trial < 120; ++trial) {
        Net128 net;
        RandomFlows r{2 + trial % 10, 0.2 + 0.1 * (trial % 6), trial % 3 == 0 ? 0.3 : 0.0,
                      trial % 2 == 0 ? 2 + trial % 3 : 0};
        if (trial % 30 == 29) r = {9, 0.55, 0.1, 3};  // nexuses of more than 50 cycles
        randomFlows(net.T.view(), r, rng);
        net.n = r.n;
        net.computeFractions();
        int NC = trial % 4 == 1 ? -(r.n - 1) : r.n;
        Net128 other = net;
        CountRun pruned = runCount(net, NC, 2.5f, CycleSearch::Pruned);
        CountRun plain = runCount(other, NC, 2.5f, CycleSearch::Reference);
        ASSERT_EQ(pruned.report, plain.report) << trial;
        EXPECT_EQ(pruned.console, plain.console);
        EXPECT_EQ(pruned.NC, plain.NC);
        EXPECT_EQ(net.T.a, other.T.a) << trial;
    }
}
