// What the two cycle routines, CYCLES and CYCCNT, share: the reach sets and closing counts that
// order the compartments for the search, the depth-first enumeration of simple cycles in its
// fixed order, and the closing statistics (cycle distributions and the Finn cycling index).
//
// The enumeration. The cycle nodes are numbered by their positions 1..K in a node list (the
// cycle order ORD, or the candidate list of a nexus). For each start position S = 1..K in turn,
// a depth-first search extends a path that begins at S: at every level it tries the candidate
// positions S, S+1, ..., K in this order; a usable arc back to S closes a cycle, a position
// already on the path is skipped, any other position reached by a usable arc is descended into.
// Every simple cycle is so found exactly once, from its member with the lowest position, and the
// cycles come out in lexicographic order of the positions of their node sequences.
//
// Two searches give exactly that sequence of cycles. The reference search does what the words
// above say, reading every arc from the flow matrix as it goes. The pruned search never descends
// into a branch from which no path leads back to the start through positions not on the path
// (Johnson's blocking, with arcs and position sets held as bitsets): the branches it skips hold
// no cycle, so the order of the cycles it finds is the same.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string_view>
#include <vector>

#include "layout.hpp"
#include "matview.hpp"

namespace flownet {

// The largest network either cycle routine takes.
inline constexpr int kMaxCycleNodes = 128;

// How the simple cycles are enumerated: both give the same cycles in the same order.
enum class CycleSearch { Pruned, Reference };

// A set of positions (or compartments) 1..128, one bit each.
struct NodeSet {
    std::array<std::uint64_t, 2> w{};

    static int word(int p) { return (p - 1) >> 6; }
    static std::uint64_t bit(int p) { return std::uint64_t{1} << ((p - 1) & 63); }

    void set(int p) { w[word(p)] |= bit(p); }
    void reset(int p) { w[word(p)] &= ~bit(p); }
    bool test(int p) const { return (w[word(p)] & bit(p)) != 0; }
    bool any() const { return (w[0] | w[1]) != 0; }
    int count() const { return std::popcount(w[0]) + std::popcount(w[1]); }
    // The lowest member, 0 when the set is empty.
    int first() const {
        if (w[0] != 0) return std::countr_zero(w[0]) + 1;
        if (w[1] != 0) return std::countr_zero(w[1]) + 65;
        return 0;
    }
    // Positions lo..hi.
    static NodeSet range(int lo, int hi) {
        NodeSet s;
        for (int p = lo; p <= hi; ++p) s.set(p);
        return s;
    }
    friend NodeSet operator&(NodeSet a, NodeSet b) { return {{a.w[0] & b.w[0], a.w[1] & b.w[1]}}; }
    friend NodeSet operator|(NodeSet a, NodeSet b) { return {{a.w[0] | b.w[0], a.w[1] | b.w[1]}}; }
    NodeSet operator~() const { return {{~w[0], ~w[1]}}; }
    NodeSet& operator|=(NodeSet b) { return *this = *this | b; }
    NodeSet& operator&=(NodeSet b) { return *this = *this & b; }
};

// Positions 1..K of a search and the compartment at each.
struct NodeList {
    int K = 0;
    std::array<int, kMaxCycleNodes + 1> node{};  // node[p], p = 1..K
};

// The cycle order of a network. Reach set of i: the compartments reachable from i along arcs
// (T > 0), i included. Closing count DEG(i): the number of compartments j of that reach set with
// T(j, i) > 0, the arcs that close a cycle through i; i lies on a cycle exactly when DEG(i) > 0.
// ORD lists the compartments by decreasing DEG, ties to the lower number; its first K entries,
// the compartments with DEG > 0, are the cycle nodes.
struct CycleOrder {
    NodeList ord;                               // ord.node[p] = ORD(p); ord.K = K
    std::array<int, kMaxCycleNodes + 1> DEG{};  // DEG(i), i = 1..n
};

// The round setup shared by both routines: reach sets, closing counts, ORD and K of the leading
// n x n part of T.
void computeCycleOrder(ConstMatView T, int n, CycleOrder& order);

// Which arcs take part in a search: flow >= floor, or flow > floor when strict.
struct ArcFloor {
    float floor = 0.0f;
    bool strict = false;
    bool admits(float flow) const { return strict ? flow > floor : flow >= floor; }
};

// A cycle as a search finds it.
struct FoundCycle {
    int L = 0;              // number of arcs
    const int* nodes;       // nodes[0..L]: the compartments u1, u2, ..., uL, u1
    int weakArc = 0;        // k of the weak arc nodes[k] -> nodes[k+1]: the last smallest flow
    float weakFlow = 0.0f;  // its flow
};

// Weak arc of the listing: the arc of smallest flow, the last of them in path order on ties.
// (The removal of CYCLES takes the first: see there.)
void lastWeakArc(ConstMatView T, FoundCycle& c);

// The probability that a unit of medium travels the whole cycle: the product of F(i, j) over
// its arcs, in path order, in single precision.
template <class Node>
float cycleProduct(ConstMatView F, const Node* nodes, int L) {
    float P = 1.0f;
    for (int k = 0; k < L; ++k) P = P * F(nodes[k], nodes[k + 1]);
    return P;
}

// Writes one cycle line: the number, then the L + 1 nodes u1, ..., uL, u1, each followed by a
// hyphen; the layout's group of 20 starts again on a new line for a long cycle.
template <class Node>
void writeCycleLine(std::ostream& out, std::string_view layout, long long number, const Node* nodes,
                    int L, std::vector<Item>& items) {
    items.clear();
    items.emplace_back(number);
    for (int k = 0; k <= L; ++k) items.emplace_back(static_cast<int>(nodes[k]));
    writeLayout(out, layout, items);
}

// Closing statistics, once every cycle has been removed. CYC(L) holds the flow removed from
// cycles of L arcs. In whole-network mode the distribution and the distribution normalised by
// TST are listed; in both modes the Finn cycling index, (CYC(1) + ... + CYC(n)) / TST, is
// written. CYC is left holding the normalised values.
void writeCycleStatistics(std::ostream& report, VecView CYC, int n, float TST, bool wholeNetwork);

// ---------------------------------------------------------------------------------------------
// The enumeration.

// Scratch space of the searches, allocated once by the caller: nothing is allocated while a
// search runs.
struct SearchWork {
    struct Frame {
        NodeSet rem;           // candidates of this level not yet tried
        int pos = 0;           // the position at this level
        bool found = false;    // a cycle was closed through this level
        float minFlow = 0.0f;  // smallest arc flow of the path up to this level
        int minArc = 0;        // its arc, the last on ties
    };
    std::array<Frame, kMaxCycleNodes + 2> frame{};
    std::array<int, kMaxCycleNodes + 2> comp{};  // compartments of the path, from index 1
    std::array<int, kMaxCycleNodes + 2> next{};  // reference search: next candidate per level
    std::array<int, kMaxCycleNodes + 2> path{};  // reference search: positions of the path
    std::array<NodeSet, kMaxCycleNodes + 1> succ{}, pred{}, B{};
    std::array<int, kMaxCycleNodes + 1> unblockStack{};
    std::array<std::array<float, kMaxCycleNodes + 1>, kMaxCycleNodes + 1> flow{};
    NodeSet blocked, onPath;
};

namespace cycle_search_detail {

inline constexpr float kNoFlow = std::numeric_limits<float>::infinity();

// Arcs between the positions of the list as sets, and a copy of their flows.
void buildGraph(SearchWork& w, ConstMatView T, const NodeList& list, ArcFloor floor);

// The positions >= S from which S can be reached through positions >= S, S included.
NodeSet reachingBack(const SearchWork& w, int S, int K);

// Johnson's unblocking: u and every blocked position that waited on it become free again.
void unblock(SearchWork& w, int u);

// The straightforward search from start position S. With second > 0 the path begins with the
// arc S -> second, which is not tested. With live flows, every arc is tested on its flow at the
// moment it is tried (the visitor may lower flows between cycles).
template <class Visit>
bool referenceFrom(SearchWork& w, ConstMatView T, const NodeList& list, ArcFloor floor, int S,
                   int second, Visit& visit) {
    const int K = list.K;
    auto& path = w.path;
    auto& next = w.next;
    int level = 1;
    path[1] = S;
    next[1] = S;
    if (second > 0) {
        level = 2;
        path[2] = second;
        next[2] = S;
    }
    const int base = level;
    while (level >= base) {
        int p = next[level];
        if (p > K) {
            --level;
            continue;
        }
        next[level] = p + 1;
        int q = path[level];
        if (!floor.admits(T(list.node[q], list.node[p]))) continue;
        if (p == S) {
            for (int k = 1; k <= level; ++k) w.comp[k] = list.node[path[k]];
            w.comp[level + 1] = list.node[S];
            FoundCycle c{level, &w.comp[1], 0, 0.0f};
            lastWeakArc(T, c);
            if (!visit(c)) return false;
            continue;
        }
        bool onPath = false;
        for (int k = 1; k <= level; ++k) onPath = onPath || path[k] == p;
        if (onPath) continue;
        ++level;
        path[level] = p;
        next[level] = S;
    }
    return true;
}

// The pruned search from start position S, over the graph built by buildGraph; the same cycles
// in the same order as referenceFrom. Without live flows the weak arc is kept along the path.
template <bool LiveFlows, class Visit>
bool prunedFrom(SearchWork& w, ConstMatView T, const NodeList& list, ArcFloor floor, int S,
                int second, Visit& visit) {
    const NodeSet cand = reachingBack(w, S, list.K);
    if (second > 0 ? !cand.test(second) : !(w.succ[S] & cand).any()) return true;
    w.blocked = NodeSet{};
    w.onPath = NodeSet{};
    for (NodeSet s = cand; s.any();) {
        int p = s.first();
        s.reset(p);
        w.B[p] = NodeSet{};
    }

    int level = 1;
    {
        auto& f = w.frame[1];
        f.pos = S;
        f.found = false;
        f.minFlow = kNoFlow;
        f.minArc = 0;
        f.rem = second > 0 ? NodeSet::range(second, second) : w.succ[S] & cand;
        w.blocked.set(S);
        w.comp[1] = list.node[S];
    }
    for (;;) {
        auto& f = w.frame[level];
        if (!f.rem.any()) {
            // Every candidate of this level is done: a position through which no cycle was
            // closed stays blocked until one of its successors is freed.
            const int v = f.pos;
            if (f.found) {
                unblock(w, v);
            } else {
                for (NodeSet s = w.succ[v] & cand; s.any();) {
                    int x = s.first();
                    s.reset(x);
                    w.B[x].set(v);
                }
            }
            if (level == 1) return true;
            w.onPath.reset(v);
            --level;
            if (f.found) w.frame[level].found = true;
            continue;
        }
        const int p = f.rem.first();
        f.rem.reset(p);
        if constexpr (LiveFlows) {
            bool fixedArc = level == 1 && second > 0;
            if (!fixedArc && !floor.admits(T(list.node[f.pos], list.node[p]))) continue;
        }
        if (p == S) {
            f.found = true;
            FoundCycle c{level, &w.comp[1], f.minArc, f.minFlow};
            if constexpr (!LiveFlows) {
                float closing = w.flow[f.pos][S];
                if (closing <= f.minFlow) {
                    c.weakArc = level - 1;
                    c.weakFlow = closing;
                }
            }
            w.comp[level + 1] = w.comp[1];
            if (!visit(c)) return false;
            continue;
        }
        if (w.blocked.test(p)) continue;
        // Descend into p.
        auto& g = w.frame[level + 1];
        g.pos = p;
        g.found = false;
        g.minFlow = f.minFlow;
        g.minArc = f.minArc;
        if constexpr (!LiveFlows) {
            float arc = w.flow[f.pos][p];
            if (arc <= f.minFlow) {
                g.minFlow = arc;
                g.minArc = level - 1;
            }
        }
        // The positions on the path are left out of the candidates here, once for the life of
        // the level: an unblocking chain may free a position on the path, which must not be
        // entered twice.
        w.blocked.set(p);
        w.onPath.set(p);
        g.rem = w.succ[p] & cand & ~w.onPath;
        ++level;
        w.comp[level] = list.node[p];
    }
}

}  // namespace cycle_search_detail

// Enumerates every simple cycle among the positions of the list whose arcs the floor admits, in
// the fixed order, and calls visit(const FoundCycle&) for each. The flows must not change during
// the enumeration. The visitor returns false to abandon it; the result is false then, true when
// the enumeration ran to its end.
template <class Visit>
bool enumerateCycles(CycleSearch how, SearchWork& w, ConstMatView T, const NodeList& list,
                     ArcFloor floor, Visit&& visit) {
    using namespace cycle_search_detail;
    if (how == CycleSearch::Pruned) buildGraph(w, T, list, floor);
    for (int S = 1; S <= list.K; ++S) {
        bool going = how == CycleSearch::Pruned ? prunedFrom<false>(w, T, list, floor, S, 0, visit)
                                                : referenceFrom(w, T, list, floor, S, 0, visit);
        if (!going) return false;
    }
    return true;
}

// Enumerates, in the fixed order, the simple cycles that begin with the arc from position 1 to
// position 2 of the list; that first arc is not tested. Every other arc is tested on its flow at
// the moment it is tried, so the visitor may lower flows as it goes (it must never raise one).
// The weak arc of a FoundCycle is not kept here. Returns as enumerateCycles does.
template <class Visit>
bool enumerateArcCycles(CycleSearch how, SearchWork& w, ConstMatView T, const NodeList& list,
                        ArcFloor floor, Visit&& visit) {
    using namespace cycle_search_detail;
    if (list.K < 2) return true;
    if (how == CycleSearch::Reference) return referenceFrom(w, T, list, floor, 1, 2, visit);
    buildGraph(w, T, list, floor);
    return prunedFrom<true>(w, T, list, floor, 1, 2, visit);
}

}  // namespace flownet
