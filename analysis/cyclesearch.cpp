#include "cyclesearch.hpp"

#include <cassert>

#include "listing.hpp"

namespace flownet {

void computeCycleOrder(ConstMatView T, int n, CycleOrder& order) {
    assert(n <= kMaxCycleNodes);
    // Reach sets: i itself and every compartment reachable from it, as the closure of the arcs
    // (Warshall's algorithm on rows of bits).
    std::array<NodeSet, kMaxCycleNodes + 1> reach{};
    std::array<NodeSet, kMaxCycleNodes + 1> into{};  // into[i] = {j : T(j, i) > 0}
    for (int i = 1; i <= n; ++i) {
        reach[i].set(i);
        for (int j = 1; j <= n; ++j) {
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

namespace cycle_search_detail {

void buildGraph(SearchWork& w, ConstMatView T, const NodeList& list, ArcFloor floor) {
    const int K = list.K;
    for (int p = 1; p <= K; ++p) {
        w.succ[p] = NodeSet{};
        w.pred[p] = NodeSet{};
    }
    for (int p = 1; p <= K; ++p) {
        for (int q = 1; q <= K; ++q) {
            float flow = T(list.node[p], list.node[q]);
            w.flow[p][q] = flow;
            if (floor.admits(flow)) {
                w.succ[p].set(q);
                w.pred[q].set(p);
            }
        }
    }
}

NodeSet reachingBack(const SearchWork& w, int S, int K) {
    const NodeSet from = NodeSet::range(S, K);
    NodeSet reached, todo;
    reached.set(S);
    todo.set(S);
    while (todo.any()) {
        int x = todo.first();
        todo.reset(x);
        NodeSet fresh = w.pred[x] & from & ~reached;
        reached |= fresh;
        todo |= fresh;
    }
    return reached;
}

void unblock(SearchWork& w, int u) {
    int top = 0;
    w.blocked.reset(u);
    w.unblockStack[top++] = u;
    while (top > 0) {
        int x = w.unblockStack[--top];
        NodeSet waiting = w.B[x];
        w.B[x] = NodeSet{};
        while (waiting.any()) {
            int y = waiting.first();
            waiting.reset(y);
            if (w.blocked.test(y)) {
                w.blocked.reset(y);
                w.unblockStack[top++] = y;
            }
        }
    }
}

}  // namespace cycle_search_detail

}  // namespace flownet
