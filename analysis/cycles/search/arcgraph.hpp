// The arcs among the positions of a cycle search, held as bitsets with their flows and fractions,
// and the position sets the pruned searches draw from them: what can reach a target, the lowest
// arc, and Johnson's unblocking.
#pragma once

#include <array>
#include <limits>

#include "matview.hpp"
#include "nodeset.hpp"

namespace flownet {

// A flow above every flow: the ceiling of a search that wants every cycle, and the least flow of
// a set of arcs before any is seen.
inline constexpr float kNoFlow = std::numeric_limits<float>::infinity();

// Which arcs take part in a search: flow >= floor, or flow > floor when strict.
struct ArcFloor {
    float floor = 0.0f;
    bool strict = false;
    bool admits(float flow) const { return strict ? flow > floor : flow >= floor; }
};

// The arcs among the positions 1..K of a node list, by position: successor and predecessor
// sets, and the flow and fraction of every pair (fractions only where a search needs them).
struct ArcGraph {
    int K = 0;
    std::array<NodeSet, kMaxCycleNodes + 1> succ{}, pred{};
    std::array<std::array<float, kMaxCycleNodes + 1>, kMaxCycleNodes + 1> flow{}, frac{};

    void removeArc(Arc a) {
        succ[a.tail].reset(a.head);
        pred[a.head].reset(a.tail);
    }
};

// The arcs the floor admits among the positions of the list, and their flows.
void buildGraph(ArcGraph& g, ConstMatView T, const NodeList& list, ArcFloor floor);

// The fractions F of the pairs of positions of the list.
void setFractions(ArcGraph& g, ConstMatView F, const NodeList& list);

namespace cycle_search_detail {

// The positions of `within` from which one of the targets can be reached along arcs through
// positions of `within`, and the targets themselves.
NodeSet reaching(const ArcGraph& g, NodeSet targets, NodeSet within);

// The arc of smallest flow of a graph, when one arc alone carries that flow, and the next flow
// above it. Below that next flow no other arc can be the weak arc of a cycle.
struct LowestArc {
    Arc arc;               // by position; {0, 0} when no arc or a tie
    float flow = kNoFlow;  // the smallest flow
    float next = kNoFlow;  // the smallest flow above it
    bool lone(float ceiling) const { return arc.tail != 0 && ceiling < next; }
};
LowestArc lowestArc(const ArcGraph& g);

// The positions of cand from which S can be reached through positions of cand along a path with
// an arc of flow at most `ceiling`: those that reach the tail of such an arc whose head is in cand.
NodeSet reachingLowArc(const ArcGraph& g, NodeSet cand, float ceiling);

// Johnson's unblocking: u becomes free again, and with it every blocked position off the path
// that has an arc into a freed position. (A position off the path is blocked only when its
// search closed no cycle; it waits on all its successors, so this frees exactly the positions
// whose waiting list holds a freed one.)
// The sets are the caller's own, kept out of memory that the search writes.
NodeSet unblockChain(const ArcGraph& g, NodeSet blocked, NodeSet onPath, int u);
inline void unblock(const ArcGraph& g, NodeSet& blocked, NodeSet onPath, int u) {
    blocked.reset(u);
    if ((g.pred[u] & blocked & ~onPath).any()) blocked = unblockChain(g, blocked, onPath, u);
}

}  // namespace cycle_search_detail

}  // namespace flownet
