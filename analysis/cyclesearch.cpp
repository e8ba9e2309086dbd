#include "cyclesearch.hpp"

#include <cassert>

#include "listing.hpp"

namespace flownet {

void computeCycleOrder(ConstMatView T, int n, CycleOrder& order) {
    assert(n <= kMaxCycleNodes);
    // Reach sets: i itself and every compartment reachable from it, as the closure of the arcs
    // (Warshall's algorithm on rows of bits).
    auto& reach = order.reach;
    std::array<NodeSet, kMaxCycleNodes + 1> into{};  // into[i] = {j : T(j, i) > 0}
    for (int i = 1; i <= n; ++i) {
        reach[i] = NodeSet::single(i);
        into[i] = NodeSet{};
    }
    for (int j = 1; j <= n; ++j) {  // down the columns of T, as they are stored
        for (int i = 1; i <= n; ++i) {
            if (T(i, j) > 0.0f) {
                reach[i].set(j);
                into[j].set(i);
            }
        }
    }
    for (int k = 1; k <= n; ++k) {
        for (int i = 1; i <= n; ++i) {
            if (reach[i].test(k)) reach[i] |= reach[k];
        }
    }

    // Closing counts.
    for (int i = 1; i <= n; ++i) order.DEG[i] = (reach[i] & into[i]).count();

    // ORD: n picks of the largest count not yet picked; the first strictly larger value wins,
    // so ties go to the lower compartment number. K counts the picks with a count above 0.
    std::array<bool, kMaxCycleNodes + 1> picked{};
    order.ord.K = 0;
    for (int pick = 1; pick <= n; ++pick) {
        int best = 0;
        for (int i = 1; i <= n; ++i) {
            if (!picked[i] && (best == 0 || order.DEG[i] > order.DEG[best])) best = i;
        }
        picked[best] = true;
        order.ord.node[pick] = best;
        if (order.DEG[best] > 0) ++order.ord.K;
    }
}

void lastWeakArc(ConstMatView T, FoundCycle& c) {
    c.weakFlow = cycle_search_detail::kNoFlow;
    for (int k = 0; k < c.L; ++k) {
        float flow = T(c.nodes[k], c.nodes[k + 1]);
        if (flow <= c.weakFlow) {
            c.weakFlow = flow;
            c.weakArc = k;
        }
    }
}

void writeCycleStatistics(std::ostream& report, VecView CYC, int n, float TST, bool wholeNetwork) {
    if (wholeNetwork) {
        writeLayout(report, "(/,/,1X,'CYCLE DISTRIBUTIONS')");
        VECPRT(report, CYC, n);
    }
    float SUM = 0.0f;
    for (int L = 1; L <= n; ++L) {
        SUM = SUM + CYC(L);
        CYC(L) = CYC(L) / TST;
    }
    if (wholeNetwork) {
        writeLayout(report, "(1X,'NORMALIZED DISTRIBUTION')");
        VECPRT(report, CYC, n);
    }
    float FINN = SUM / TST;
    writeLayout(report, "(/,1X,'FINN CYCLING INDEX IS ',E11.4,/)", {FINN});
}

void buildGraph(ArcGraph& g, ConstMatView T, const NodeList& list, ArcFloor floor) {
    const int K = list.K;
    g.K = K;
    for (int p = 1; p <= K; ++p) {
        g.succ[p] = NodeSet{};
        g.pred[p] = NodeSet{};
    }
    for (int q = 1; q <= K; ++q) {
        const int j = list.node[q];
        for (int p = 1; p <= K; ++p) {
            float flow = T(list.node[p], j);
            g.flow[p][q] = flow;
            if (floor.admits(flow)) {
                g.succ[p].set(q);
                g.pred[q].set(p);
            }
        }
    }
}

void setFractions(ArcGraph& g, ConstMatView F, const NodeList& list) {
    for (int q = 1; q <= list.K; ++q) {
        const int j = list.node[q];
        for (int p = 1; p <= list.K; ++p) g.frac[p][q] = F(list.node[p], j);
    }
}

namespace cycle_search_detail {

NodeSet reaching(const ArcGraph& g, NodeSet targets, NodeSet within) {
    NodeSet reached = targets;
    NodeSet todo = reached;
    while (todo.any()) {
        int x = todo.takeFirst();
        NodeSet fresh = g.pred[x] & within & ~reached;
        reached |= fresh;
        todo |= fresh;
    }
    return reached;
}

LowestArc lowestArc(const ArcGraph& g) {
    LowestArc low;
    int carriers = 0;
    for (int p = 1; p <= g.K; ++p) {
        for (NodeSet heads = g.succ[p]; heads.any();) {
            const int q = heads.takeFirst();
            const float f = g.flow[p][q];
            if (f < low.flow) {
                low.next = low.flow;
                low.flow = f;
                low.a = p;
                low.b = q;
                carriers = 1;
            } else if (f == low.flow) {
                ++carriers;
            } else if (f < low.next) {
                low.next = f;
            }
        }
    }
    if (carriers != 1) low.a = low.b = 0;
    return low;
}

NodeSet reachingLowArc(const ArcGraph& g, NodeSet cand, float ceiling) {
    NodeSet tails;
    for (NodeSet s = cand; s.any();) {
        const int x = s.takeFirst();
        for (NodeSet heads = g.succ[x] & cand; heads.any();) {
            if (g.flow[x][heads.takeFirst()] <= ceiling) {
                tails.set(x);
                break;
            }
        }
    }
    return reaching(g, tails, cand);
}

NodeSet unblockChain(const ArcGraph& g, NodeSet blocked, NodeSet onPath, int u) {
    // What is freed is a closure, whatever the order: every freed position frees, as one set,
    // its blocked predecessors off the path.
    blocked.reset(u);
    const NodeSet offPath = ~onPath;
    NodeSet todo = NodeSet::single(u);
    while (todo.any()) {
        // Up to four freed positions at a time, so that their rows are read side by side.
        NodeSet waiting = g.pred[todo.takeFirst()];
        for (int k = 1; k < 4 && todo.any(); ++k) waiting |= g.pred[todo.takeFirst()];
        const NodeSet fresh = waiting & blocked & offPath;
        blocked &= ~fresh;
        todo |= fresh;
    }
    return blocked;
}

}  // namespace cycle_search_detail

}  // namespace flownet
