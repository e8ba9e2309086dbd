// Cycle searches on networks of more than 64 cycle nodes, where the position sets use both of
// their words: the sets themselves, and a network whose cycles run through positions on both
// sides of the boundary, with counts known in closed form.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sstream>
#include <vector>

#include "cyccnt.hpp"
#include "cyclesearch.hpp"
#include "support/cyclenets.hpp"

using namespace flownet;
using namespace flownet::testing;

namespace {

TEST(PositionSets, MembersOnBothSidesOfTheWordBoundary) {
    NodeSet s;
    for (int p : {1, 64, 65, 128}) s.set(p);
    EXPECT_EQ(s.w[0], (std::uint64_t{1} << 63) | 1u);
    EXPECT_EQ(s.w[1], (std::uint64_t{1} << 63) | 1u);
    for (int p : {1, 64, 65, 128}) EXPECT_TRUE(s.test(p)) << p;
    for (int p : {2, 63, 66, 127}) EXPECT_FALSE(s.test(p)) << p;
    EXPECT_EQ(s.count(), 4);

    s.reset(64);
    EXPECT_FALSE(s.test(64));
    EXPECT_TRUE(s.test(65));
    s.reset(65);
    EXPECT_EQ(s.w[1], std::uint64_t{1} << 63);
    s.reset(66);  // not a member: nothing changes
    EXPECT_EQ(s.count(), 2);

    std::vector<int> taken;
    NodeSet r = NodeSet::range(62, 67);
    EXPECT_EQ(r.count(), 6);
    EXPECT_EQ(r.first(), 62);
    while (r.any()) taken.push_back(r.takeFirst());
    EXPECT_EQ(taken, (std::vector<int>{62, 63, 64, 65, 66, 67}));
    EXPECT_EQ(r.first(), 0);
}

// 100 compartments on one round: up the odd ones 1 -> 3 -> ... -> 99 (flow 2), to 100, down the
// even ones 100 -> 98 -> ... -> 2 (flow 2), and back by the arc 2 -> 1 (flow 1), the weak arc of
// every cycle. Skips i -> i + 4 (flow 3) for the odd i = 41..79 shorten the way up. Counted by the
// index t = (i - 1) / 2 of the odd compartments, a cycle is a way from t = 0 to t = 49 with steps
// of one or two, the steps of two from t = 20..39: one way to each t up to 21, then those to t - 1
// and to t - 2, Fibonacci numbers F(t - 19) with F(1) = F(2) = 1, up to t = 41. So there are
// F(22) = 17711 cycles. From 45 (t = 22) the way goes on in F(20) = 6765 ways, from 47 in
// F(19) = 4181: 6765 cycles take the skip 41 -> 45, 6765 the arc 43 -> 45, 4181 the skip
// 43 -> 47.
//
// The nexus candidates are marked in sweeps of increasing compartment number, so a mark runs
// along the whole way up in one sweep and down the other side one compartment per sweep: from
// B = 1 the even ones 98, 96, ..., 4 take sweeps 2 to 49, towards A = 2 the odd ones 99, ..., 3
// take sweeps 2 to 50. The longest cycle has 100 arcs, so the 50 sweeps mark every compartment
// and the removal finds every cycle.
constexpr int kRound = 100;
constexpr long long kCycles = 17711;
constexpr long long kFrom45 = 6765;
constexpr long long kFrom47 = 4181;

Net128 skipRound() {
    Net128 net;
    net.n = kRound;
    for (int i = 1; i <= 97; i += 2) net.T(i, i + 2) = 2.0f;
    net.T(99, 100) = 2.0f;
    for (int i = 100; i >= 4; i -= 2) net.T(i, i - 2) = 2.0f;
    net.T(2, 1) = 1.0f;
    for (int i = 41; i <= 79; i += 2) net.T(i, i + 4) = 3.0f;
    net.computeFractions();
    return net;
}

TEST(WideNetworks, CountsAndOrderBeyondSixtyFourPositions) {
    Net128 net = skipRound();
    auto order = std::make_unique<CycleOrder>();
    computeCycleOrder(net.T.view(), kRound, *order);
    ASSERT_EQ(order->ord.K, kRound);  // every compartment lies on a cycle

    std::ostringstream console;
    EXPECT_EQ(countingPass(console, net.T.view(), net.F.view(), kRound, CycleSearch::Pruned),
              kCycles);
    EXPECT_EQ(countingPass(console, net.T.view(), net.F.view(), kRound, CycleSearch::Reference),
              kCycles);

    // Both searches give the same cycles in the same order.
    auto work = std::make_unique<SearchWork>();
    auto collect = [&](CycleSearch how) {
        std::vector<std::vector<int>> cycles;
        enumerateCycles(how, *work, net.T.view(), order->ord, ArcFloor{0.0f, true},
                        [&](const FoundCycle& c) {
                            cycles.emplace_back(c.nodes, c.nodes + c.L + 1);
                            EXPECT_EQ(c.nodes[c.weakArc], 2);
                            EXPECT_EQ(c.nodes[c.weakArc + 1], 1);
                            return true;
                        });
        return cycles;
    };
    std::vector<std::vector<int>> pruned = collect(CycleSearch::Pruned);
    EXPECT_EQ(static_cast<long long>(pruned.size()), kCycles);
    EXPECT_EQ(pruned, collect(CycleSearch::Reference));

    // The cycles through single arcs, the way back among them (every cycle takes it).
    std::array<int, kMaxCycleNodes + 1> position{};
    for (int p = 1; p <= order->ord.K; ++p) position[order->ord.node[p]] = p;
    buildGraph(work->graph, net.T.view(), order->ord, ArcFloor{0.0f, true});
    setFractions(work->graph, net.F.view(), order->ord);
    auto through = [&](int i, int j) {
        long long count = 0;
        enumerateCyclesThrough(*work, work->graph, order->ord, position[i], position[j],
                               [&](const FoundCycle& c) {
                                   EXPECT_EQ(c.nodes[c.weakArc], 2);
                                   ++count;
                                   return true;
                               });
        return count;
    };
    EXPECT_EQ(through(41, 45), kFrom45);
    EXPECT_EQ(through(43, 45), kFrom45);
    EXPECT_EQ(through(43, 47), kFrom47);
    EXPECT_EQ(through(2, 1), kCycles);
}

TEST(WideNetworks, CountedSearchRemovesEveryCycleInOneNexus) {
    Net128 net = skipRound();
    Net128 other = net;
    auto run = [](Net128& n, CycleSearch how) {
        std::ostringstream report, console;
        int NC = kRound;
        CYCCNT(report, console, n.T.view(), n.F.view(), n.X.view(), NC, 10.0f, how);
        EXPECT_EQ(NC, kRound);
        return report.str();
    };
    const std::string pruned = run(net, CycleSearch::Pruned);
    EXPECT_EQ(pruned, run(other, CycleSearch::Reference));
    EXPECT_EQ(net.T.a, other.T.a);
    EXPECT_NE(pruned.find("   17711-CYCLE NEXUS WITH WEAK ARC ( 2, 1) ="), std::string::npos);
    EXPECT_EQ(pruned.find("NEXUS COUNTS DO NOT AGREE"), std::string::npos);
    EXPECT_NE(pruned.find("A TOTAL OF    17711 CYCLES REMOVED."), std::string::npos);
    EXPECT_EQ(net.T(2, 1), 0.0f);
}

}  // namespace
