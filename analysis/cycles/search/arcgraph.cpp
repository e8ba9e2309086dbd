#include "arcgraph.hpp"

namespace flownet {

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
                low.arc = {p, q};
                carriers = 1;
            } else if (f == low.flow) {
                ++carriers;
            } else if (f < low.next) {
                low.next = f;
            }
        }
    }
    if (carriers != 1) low.arc = Arc{};
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
