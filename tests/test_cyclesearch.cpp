// The search shared by the cycle routines: the cycle order, and both enumerations against an
// independent one.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "cyclesearch.hpp"
#include "support/cyclenets.hpp"

using namespace flownet;
using namespace flownet::testing;

namespace {

struct Seen {
    std::vector<int> nodes;  // u1..uL,u1
    int weakArc;
    float weakFlow;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> enumerate(CycleSearch how, ConstMatView T, const NodeList& list, ArcFloor floor,
                            std::size_t stopAfter = 0) {
    auto work = std::make_unique<SearchWork>();
    std::vector<Seen> seen;
    bool ran = enumerateCycles(how, *work, T, list, floor, [&](const FoundCycle& c) {
        seen.push_back({std::vector<int>(c.nodes, c.nodes + c.L + 1), c.weakArc, c.weakFlow});
        return seen.size() != stopAfter;
    });
    EXPECT_EQ(ran, stopAfter == 0 || seen.size() < stopAfter);
    return seen;
}

NodeList cycleOrder(ConstMatView T, int n) {
    auto order = std::make_unique<CycleOrder>();
    computeCycleOrder(T, n, *order);
    return order->ord;
}

}  // namespace

TEST(CycleOrder, ClosingCountsOrderTheCycleNodes) {
    // 1 -> 2 -> 3 -> 1 and 3 -> 4 -> 2; 5 only receives, 6 only gives. Compartment 2 closes two
    // arcs (from 1 and 4), 1, 3 and 4 one each; 6 reaches 1, but nothing reaches 6.
    Net80 net;
    net.T(1, 2) = net.T(2, 3) = net.T(3, 1) = net.T(3, 4) = net.T(4, 2) = 1.0f;
    net.T(4, 5) = net.T(6, 1) = 1.0f;
    auto order = std::make_unique<CycleOrder>();
    computeCycleOrder(net.T.view(), 6, *order);
    EXPECT_EQ(std::vector<int>(order->DEG.begin() + 1, order->DEG.begin() + 7),
              (std::vector<int>{1, 2, 1, 1, 0, 0}));
    EXPECT_EQ(order->ord.K, 4);
    EXPECT_EQ(std::vector<int>(order->ord.node.begin() + 1, order->ord.node.begin() + 7),
              (std::vector<int>{2, 1, 3, 4, 5, 6}));
}

TEST(Enumeration, EveryCycleOnceInOrderFromItsLowestPosition) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 300; ++trial) {
        Net80 net;
        RandomFlows r{2 + trial % 9, 0.15 + 0.1 * (trial % 6), 0.2, trial % 3 == 0 ? 4 : 0};
        randomFlows(net.T.view(), r, rng);
        // With flows 1..4 an arc floor of 2 keeps the flows 2 to 4, a strict one 3 and 4.
        ArcFloor floor = r.ties > 0 ? ArcFloor{2.0f, trial % 2 == 0} : ArcFloor{0.0f, true};
        NodeList list = cycleOrder(net.T.view(), r.n);
        std::vector<Seen> pruned = enumerate(CycleSearch::Pruned, net.T.view(), list, floor);
        ASSERT_EQ(pruned, enumerate(CycleSearch::Reference, net.T.view(), list, floor)) << trial;

        Net80 kept;
        for (int i = 1; i <= r.n; ++i) {
            for (int j = 1; j <= r.n; ++j)
                kept.T(i, j) = floor.admits(net.T(i, j)) ? net.T(i, j) : 0;
        }
        std::vector<std::vector<int>> all = bruteForceCycles(kept.T.view(), r.n);
        std::multiset<std::vector<int>> found;
        for (const Seen& s : pruned) found.insert(canonicalCycle(s.nodes));
        ASSERT_EQ(found, std::multiset<std::vector<int>>(all.begin(), all.end())) << trial;

        // Lexicographic order of the positions, each cycle from its lowest position; the weak
        // arc the last of the smallest flows.
        std::vector<int> before;
        for (const Seen& s : pruned) {
            std::vector<int> pos;
            for (std::size_t k = 0; k + 1 < s.nodes.size(); ++k) {
                pos.push_back(
                    static_cast<int>(std::find(list.node.begin() + 1, list.node.end(), s.nodes[k]) -
                                     list.node.begin()));
            }
            EXPECT_EQ(pos.front(), *std::min_element(pos.begin(), pos.end()));
            EXPECT_LT(before, pos);
            before = pos;
            for (std::size_t k = 0; k + 1 < s.nodes.size(); ++k) {
                float f = net.T(s.nodes[k], s.nodes[k + 1]);
                int w = s.weakArc;
                EXPECT_TRUE(static_cast<int>(k) < w
                                ? f >= s.weakFlow
                                : (static_cast<int>(k) > w ? f > s.weakFlow : f == s.weakFlow));
            }
        }
    }
}

TEST(Enumeration, TheVisitorCanAbandonTheSearch) {
    // The complete network on four compartments: 20 cycles. From 1 in order: 1-2-1, 1-2-3-1,
    // 1-2-3-4-1, 1-2-4-1, 1-2-4-3-1, 1-3-1, 1-3-2-1, ...
    Net80 net;
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) net.T(i, j) = i == j ? 0.0f : 1.0f;
    }
    NodeList list = cycleOrder(net.T.view(), 4);
    for (CycleSearch how : {CycleSearch::Pruned, CycleSearch::Reference}) {
        EXPECT_EQ(enumerate(how, net.T.view(), list, ArcFloor{1.0f, false}).size(), 20u);
        std::vector<Seen> first = enumerate(how, net.T.view(), list, ArcFloor{1.0f, false}, 7);
        ASSERT_EQ(first.size(), 7u);
        EXPECT_EQ(first[6].nodes, (std::vector<int>{1, 3, 2, 1}));
    }
}

TEST(Enumeration, CyclesThroughAnArcWithFlowsLoweredOnTheWay) {
    std::mt19937 rng(21);
    int cut = 0;
    for (int trial = 0; trial < 200; ++trial) {
        Net80 net;
        RandomFlows r{4 + trial % 7, 0.45, 0.0, trial % 2 ? 3 : 0};
        randomFlows(net.T.view(), r, rng);
        net.T(1, 2) = 1.0f;  // the arc heads the list; the others follow in number order
        NodeList list;
        list.K = r.n;
        for (int p = 1; p <= r.n; ++p) list.node[static_cast<std::size_t>(p)] = p;
        std::multiset<std::vector<int>> expected;
        for (const auto& c : bruteForceCycles(net.T.view(), r.n)) {
            if (c.size() >= 2 && c[0] == 1 && c[1] == 2) expected.insert(c);
        }

        // Without changes of flow, each cycle through 1 -> 2 once. Lowering flows: every second
        // cycle takes away one of its arcs after the first (another each time), which is then
        // not followed again from another path; the others lower those arcs by a third of
        // their smallest flow.
        auto work = std::make_unique<SearchWork>();
        std::vector<std::vector<int>> seq[3];
        for (int run = 0; run < 3; ++run) {
            Net80 copy = net;
            MatView T = copy.T.view();
            auto& out = seq[run];
            CycleSearch how = run == 2 ? CycleSearch::Reference : CycleSearch::Pruned;
            enumerateArcCycles(how, *work, T, copy.F.view(), list, ArcFloor{0.0f, true},
                               [&](const FoundCycle& c) {
                                   out.emplace_back(c.nodes, c.nodes + c.L + 1);
                                   if (run == 0 || c.L < 2) return true;
                                   if (out.size() % 2 == 0) {
                                       int k = 1 + static_cast<int>(out.size() / 2) % (c.L - 1);
                                       *c.flows[k] = 0.0f;
                                       return true;
                                   }
                                   float least = *c.flows[1];
                                   for (int k = 1; k < c.L; ++k)
                                       least = std::min(least, *c.flows[k]);
                                   for (int k = 1; k < c.L; ++k) *c.flows[k] -= least / 3.0f;
                                   return true;
                               });
        }
        std::multiset<std::vector<int>> found;
        for (const auto& c : seq[0]) found.insert(canonicalCycle(c));
        ASSERT_EQ(found, expected) << trial;
        ASSERT_EQ(seq[1], seq[2]) << trial;
        cut += seq[1].size() < seq[0].size() ? 1 : 0;
    }
    EXPECT_GT(cut, 20);
}
