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
// no cycle, so the order of the cycles it finds is the same. A third search gives, in the same
// order, only the cycles through one given arc (see enumerateCyclesThrough).
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string_view>
#include <type_traits>
#include <vector>

#include "cyclecall.hpp"
#include "layout.hpp"
#include "matview.hpp"

namespace flownet {

// The largest network either cycle routine takes.
inline constexpr int kMaxCycleNodes = 128;

// A set of positions (or compartments) 1..128, one bit each.
struct NodeSet {
    std::array<std::uint64_t, 2> w{};

    // The bit of p in each word, 0 in the word that does not hold p. Both words are always
    // touched, never one picked by index, so that a set can live in registers.
    static std::uint64_t bit(int p) { return std::uint64_t{1} << ((p - 1) & 63); }
    static std::uint64_t lowBit(int p) { return p <= 64 ? bit(p) : 0; }
    static std::uint64_t highBit(int p) { return p > 64 ? bit(p) : 0; }

    void set(int p) {
        w[0] |= lowBit(p);
        w[1] |= highBit(p);
    }
    void reset(int p) {
        w[0] &= ~lowBit(p);
        w[1] &= ~highBit(p);
    }
    bool test(int p) const { return ((w[0] & lowBit(p)) | (w[1] & highBit(p))) != 0; }
    bool any() const { return (w[0] | w[1]) != 0; }
    int count() const { return std::popcount(w[0]) + std::popcount(w[1]); }
    // Removes and returns the lowest member of a set that is not empty.
    int takeFirst() {
        if (w[0] != 0) {
            int p = std::countr_zero(w[0]) + 1;
            w[0] &= w[0] - 1;
            return p;
        }
        int p = std::countr_zero(w[1]) + 65;
        w[1] &= w[1] - 1;
        return p;
    }
    // Removes and returns the lowest member that is also in `free`, with every member below it;
    // 0, and the set left empty, when there is none.
    int takeFirstOf(NodeSet free) {
        if (const std::uint64_t low = w[0] & free.w[0]; low != 0) {
            const int b = std::countr_zero(low);
            w[0] &= ~((std::uint64_t{2} << b) - 1);
            return b + 1;
        }
        w[0] = 0;
        if (const std::uint64_t high = w[1] & free.w[1]; high != 0) {
            const int b = std::countr_zero(high);
            w[1] &= ~((std::uint64_t{2} << b) - 1);
            return b + 65;
        }
        w[1] = 0;
        return 0;
    }
    // Positions lo..hi.
    static NodeSet range(int lo, int hi) {
        NodeSet s;
        for (int p = lo; p <= hi; ++p) s.set(p);
        return s;
    }
    static NodeSet single(int p) {
        NodeSet s;
        s.set(p);
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
// the compartments with DEG > 0, are the cycle nodes. An arc (i, j) lies on a cycle exactly when
// i is in the reach set of j.
struct CycleOrder {
    NodeList ord;                                   // ord.node[p] = ORD(p); ord.K = K
    std::array<int, kMaxCycleNodes + 1> DEG{};      // DEG(i), i = 1..n
    std::array<NodeSet, kMaxCycleNodes + 1> reach;  // reach[i]: the reach set of i
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
    int L = 0;                      // number of arcs
    const int* nodes;               // nodes[0..L]: the compartments u1, u2, ..., uL, u1
    int weakArc = 0;                // k of the weak arc nodes[k] -> nodes[k+1]: the last smallest
    float weakFlow = 0.0f;          // its flow
    float P = 0.0f;                 // the product of the fractions F over the arcs, in path order
    float* const* flows = nullptr;  // flows[k]: where the search keeps the flow of arc k
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

// The arcs among the positions 1..K of a node list, by position: successor and predecessor
// sets, and the flow and fraction of every pair (fractions only where a search needs them).
struct ArcGraph {
    int K = 0;
    std::array<NodeSet, kMaxCycleNodes + 1> succ{}, pred{};
    std::array<std::array<float, kMaxCycleNodes + 1>, kMaxCycleNodes + 1> flow{}, frac{};

    void removeArc(int p, int q) {
        succ[p].reset(q);
        pred[q].reset(p);
    }
};

// The arcs the floor admits among the positions of the list, and their flows.
void buildGraph(ArcGraph& g, ConstMatView T, const NodeList& list, ArcFloor floor);

// The fractions F of the pairs of positions of the list.
void setFractions(ArcGraph& g, ConstMatView F, const NodeList& list);

// Scratch space of the searches, allocated once by the caller: nothing is allocated while a
// search runs.
struct SearchWork {
    struct Frame {
        NodeSet rem;           // candidates of this level not yet tried
        int pos = 0;           // the position at this level
        bool found = false;    // a cycle was closed through this level
        float minFlow = 0.0f;  // smallest arc flow of the path up to this level
        int minArc = 0;        // its arc, the last on ties
        float P = 1.0f;        // product of the fractions of the path up to this level
    };
    std::array<Frame, kMaxCycleNodes + 2> frame{};
    std::array<int, kMaxCycleNodes + 2> comp{};     // compartments of the path, from index 1
    std::array<float*, kMaxCycleNodes + 2> cell{};  // flows of the arcs of the path, from index 1
    std::array<int, kMaxCycleNodes + 2> next{};     // reference search: next candidate per level
    std::array<int, kMaxCycleNodes + 2> path{};     // reference search: positions of the path
    std::array<int, kMaxCycleNodes + 2> mark{};     // positions of a cycle to go on after
    ArcGraph graph;  // the graph of enumerateCycles and enumerateArcCycles

    // A path of the pruned searches begins at position S (compartment `node`), with the
    // candidates rem for its second position.
    void startPath(int S, int node, NodeSet rem) {
        frame[1] = Frame{rem, S, false, std::numeric_limits<float>::infinity(), 0, 1.0f};
        comp[1] = node;
    }
};

namespace cycle_search_detail {

inline constexpr float kNoFlow = std::numeric_limits<float>::infinity();

// The positions of `within` from which one of the targets can be reached along arcs through
// positions of `within`, and the targets themselves.
NodeSet reaching(const ArcGraph& g, NodeSet targets, NodeSet within);

// The arc of smallest flow of a graph, when one arc alone carries that flow, and the next flow
// above it. Below that next flow no other arc can be the weak arc of a cycle.
struct LowestArc {
    int a = 0, b = 0;      // positions of its tail and head; 0 when no arc or a tie
    float flow = kNoFlow;  // the smallest flow
    float next = kNoFlow;  // the smallest flow above it
    bool lone(float ceiling) const { return a != 0 && ceiling < next; }
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

// What the pruned search keeps along the path: nothing but the count of arcs; the compartments
// and the weak arc (for the visitor); the compartments, the product of the fractions and where
// the flow of each arc is kept, every arc being tested on its flow at the moment it is tried
// (the visitor may lower flows between cycles).
enum class Keep { Count, WeakArc, LiveFlows };

// The straightforward search from start position S. With second > 0 the path begins with the
// arc S -> second, which is not tested. Every arc is tested on its flow at the moment it is tried;
// given a flow matrix the visitor may lower (FoundCycle::flows), and fractions, the visitor is
// told where the flows are and the product of the fractions.
template <class View, class Visit>
bool referenceFrom(SearchWork& w, View T, ConstMatView F, const NodeList& list, ArcFloor floor,
                   int S, int second, Visit& visit) {
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
            FoundCycle c{level, &w.comp[1], 0, 0.0f, 0.0f};
            lastWeakArc(T, c);
            if constexpr (std::is_same_v<View, MatView>) {
                for (int k = 1; k <= level; ++k) w.cell[k] = &T(w.comp[k], w.comp[k + 1]);
                c.flows = &w.cell[1];
            }
            if (F.data != nullptr) c.P = cycleProduct(F, c.nodes, c.L);
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

// The pruned search from start position S over the graph g; the same cycles in the same order as
// referenceFrom. With second > 0 the path begins with the arc S -> second. With live flows the
// flows are those of g, which the visitor may lower.
//
// With a ceiling (keeping the weak arc), the cycles whose weak-arc flow lies above *ceiling are
// not wanted, and the visitor may lower the ceiling. While the path holds no arc at or below the
// ceiling, a position is entered only through such an arc or when it can reach one on a way back
// to S. A level that passes over a position so, or over such an unwanted cycle, counts as having
// closed a cycle: it is never blocked for it, so the blocking stays that of the whole search.
// This search and the search through an arc (throughFrom) are kept out of line: inlined into the
// large routines that call them, their loops lost registers to the callers and ran about a tenth
// slower.
template <Keep keep, class Visit>
[[gnu::noinline]] bool prunedFrom(SearchWork& w, ArcGraph& g, const NodeList& list, ArcFloor floor,
                                  int S, int second, Visit& visit, const float* ceiling = nullptr) {
    const NodeSet cand = reaching(g, NodeSet::single(S), NodeSet::range(S, g.K));
    if (second > 0 ? !cand.test(second) : !(g.succ[S] & cand).any()) return true;
    NodeSet blocked;  // S is never entered: a candidate S closes a cycle
    NodeSet onPath;
    float lowCeiling = kNoFlow;  // the ceiling of toLow
    NodeSet toLow;               // the positions that can reach an arc at or below it

    int level = 1;
    w.startPath(S, list.node[S], second > 0 ? NodeSet::single(second) : g.succ[S] & cand);
    for (;;) {
        // The next candidate of this level; those before it that are blocked are passed over
        // (S never is).
        auto& f = w.frame[level];
        const int p = f.rem.takeFirstOf(~blocked);
        if (p == 0) {
            // Every candidate of this level is done: a position through which no cycle was
            // closed stays blocked until one of its successors is freed.
            if (level == 1) return true;
            const int v = f.pos;
            const bool found = f.found;
            if (found) unblock(g, blocked, onPath, v);
            onPath.reset(v);
            --level;
            if (found) w.frame[level].found = true;
            continue;
        }
        if (p == S) {
            f.found = true;
            FoundCycle c{level, &w.comp[1], f.minArc, f.minFlow, 0.0f};
            if constexpr (keep != Keep::Count) w.comp[level + 1] = w.comp[1];
            if constexpr (keep == Keep::LiveFlows) {
                c.P = f.P * g.frac[f.pos][S];
                w.cell[level] = &g.flow[f.pos][S];
                c.flows = &w.cell[1];
                if (!visit(c)) return false;
                // An arc the visitor has lowered out of the search is taken out of the graph. It
                // was tried at every level of the path already, and no other arc has changed,
                // so every candidate still to be tried is usable.
                for (int k = 1; k <= level; ++k) {
                    if (!floor.admits(*w.cell[k])) {
                        int u = w.frame[k].pos, v = k < level ? w.frame[k + 1].pos : S;
                        g.removeArc(u, v);
                    }
                }
                continue;
            }
            if constexpr (keep == Keep::WeakArc) {
                float closing = g.flow[f.pos][S];
                if (closing <= f.minFlow) {
                    c.weakArc = level - 1;
                    c.weakFlow = closing;
                }
                if (ceiling != nullptr && c.weakFlow > *ceiling) continue;
            }
            if (!visit(c)) return false;
            continue;
        }
        if constexpr (keep == Keep::WeakArc) {
            if (ceiling != nullptr && f.minFlow > *ceiling && g.flow[f.pos][p] > *ceiling) {
                if (lowCeiling != *ceiling) {
                    lowCeiling = *ceiling;
                    toLow = reachingLowArc(g, cand, lowCeiling);
                }
                if (!toLow.test(p)) {
                    f.found = true;
                    continue;
                }
            }
        }
        // Descend into p, unless p has neither a free candidate nor an arc back to S: then it
        // is blocked at once. The positions on the path are left out of its candidates once for
        // the life of the level. Counting only, the arc from p back to S, p's first candidate,
        // is counted at once, and a p with no other free candidate is not entered at all.
        onPath.set(p);
        NodeSet rem = g.succ[p] & cand & ~onPath;
        bool closes = false;
        if constexpr (keep == Keep::Count) {
            closes = rem.test(S);
            rem.reset(S);
            if (closes) {
                f.found = true;
                if (!visit(FoundCycle{level + 1, nullptr, 0, 0.0f, 0.0f})) return false;
            }
        }
        if (!(rem & ~blocked).any()) {
            onPath.reset(p);
            if (closes) {
                unblock(g, blocked, onPath, p);
            } else {
                blocked.set(p);
            }
            continue;
        }
        auto& h = w.frame[level + 1];
        h.pos = p;
        h.found = closes;
        h.rem = rem;
        if constexpr (keep == Keep::WeakArc) {
            float arc = g.flow[f.pos][p];
            h.minFlow = f.minFlow;
            h.minArc = f.minArc;
            if (arc <= f.minFlow) {
                h.minFlow = arc;
                h.minArc = level - 1;
            }
        }
        if constexpr (keep == Keep::LiveFlows) {
            h.P = f.P * g.frac[f.pos][p];
            w.cell[level] = &g.flow[f.pos][p];
        }
        blocked.set(p);
        ++level;
        if constexpr (keep != Keep::Count) w.comp[level] = list.node[p];
    }
}

// The cycles from start position S through the arc a -> b (positions >= S), in the order of
// the search, with their weak arcs and products. A path first goes from S to a through positions
// other than b (Johnson's search with a as its target), takes the arc a -> b, then goes from b
// back to S through positions off the path (a second Johnson's search, begun afresh for each
// path that reaches a). Either part skips only branches that cannot reach its target, so the
// cycles come in the order of the whole search.
template <class Visit>
[[gnu::noinline]] bool throughFrom(SearchWork& w, const ArcGraph& g, const NodeList& list, int S,
                                   int a, int b, Visit& visit) {
    // After the arc: the positions >= S from which S can be reached.
    const NodeSet after = reaching(g, NodeSet::single(S), NodeSet::range(S, g.K));
    if (!after.test(b)) return true;
    // Before the arc: the positions from which a can be reached through positions other than S
    // and b, a left out.
    NodeSet before;
    if (a != S) {
        NodeSet within = after & ~NodeSet::single(S) & ~NodeSet::single(b);
        before = reaching(g, NodeSet::single(a), within) & ~NodeSet::single(a);
    }
    const NodeSet toward = before | NodeSet::single(a);
    NodeSet blocked;       // the part before the arc
    NodeSet blockedAfter;  // the part after the arc
    NodeSet onPath;

    int level = 1;
    int atA = a == S ? 1 : 0;  // the level of a, 0 while the path has not reached it
    w.startPath(S, list.node[S], a == S ? NodeSet::single(b) : g.succ[S] & toward);
    auto descend = [&](int p, NodeSet rem) {
        auto& f = w.frame[level];
        auto& h = w.frame[level + 1];
        float arc = g.flow[f.pos][p];
        h.pos = p;
        h.found = false;
        h.minFlow = f.minFlow;
        h.minArc = f.minArc;
        if (arc <= f.minFlow) {
            h.minFlow = arc;
            h.minArc = level - 1;
        }
        h.P = f.P * g.frac[f.pos][p];
        h.rem = rem;
        ++level;
        w.comp[level] = list.node[p];
    };
    // The cycle that the arc from the position at level `top` back to S closes.
    auto close = [&](int top) {
        const auto& t = w.frame[top];
        FoundCycle c{top, &w.comp[1], t.minArc, t.minFlow, t.P * g.frac[t.pos][S]};
        float closing = g.flow[t.pos][S];
        if (closing <= t.minFlow) {
            c.weakArc = top - 1;
            c.weakFlow = closing;
        }
        w.comp[top + 1] = w.comp[1];
        return visit(c);
    };
    for (;;) {
        // The next candidate of this level, passing over those blocked in the part of the path
        // it lies in (a, b and S never are).
        auto& f = w.frame[level];
        const int v = f.pos;
        const int p = f.rem.takeFirstOf(~(atA == 0 ? blocked : blockedAfter));
        if (p == 0) {
            if (level == 1) return true;
            const bool found = f.found;
            if (level == atA) {
                // Back before the arc: reaching a was the aim of that part.
                atA = 0;
                onPath.reset(v);
                --level;
                w.frame[level].found = true;
                continue;
            }
            if (found) unblock(g, atA == 0 ? blocked : blockedAfter, onPath, v);
            onPath.reset(v);
            --level;
            if (found) w.frame[level].found = true;
            continue;
        }
        if (atA == 0) {
            // Toward a.
            if (p == a) {
                onPath.set(a);
                descend(a, NodeSet::single(b));
                atA = level;
                blockedAfter = NodeSet{};  // the arc a -> b: a fresh search from b
                continue;
            }
            blocked.set(p);
            onPath.set(p);
            const NodeSet rem = g.succ[p] & toward & ~onPath;
            if ((rem & ~blocked).any()) {
                descend(p, rem);
            } else {
                onPath.reset(p);  // a dead end, blocked at once
            }
            continue;
        }
        if (p == S) {
            f.found = true;
            if (!close(level)) return false;
            continue;
        }
        blockedAfter.set(p);
        onPath.set(p);
        const NodeSet rem = g.succ[p] & after & ~onPath;
        if ((rem & ~blockedAfter & ~NodeSet::single(S)).any()) {
            descend(p, rem);
        } else if (rem.test(S)) {
            // S, p's first candidate, is all it has free: its level closes that one cycle, passes
            // over the blocked rest and is left at once.
            descend(p, rem);
            if (!close(level)) return false;
            unblock(g, blockedAfter, onPath, p);
            onPath.reset(p);
            --level;
            w.frame[level].found = true;
        } else {
            onPath.reset(p);
        }
    }
}

}  // namespace cycle_search_detail

// Enumerates the simple cycles of the graph g (positions of the list) that pass through the arc
// from position a to position b, in the order in which enumerateCycles finds them, each with its
// weak arc and, when g holds fractions, its product P; from start position `from` on, the
// earlier starts left out. The flows must not change. Returns as enumerateCycles does.
template <class Visit>
bool enumerateCyclesThrough(SearchWork& w, const ArcGraph& g, const NodeList& list, int a, int b,
                            Visit&& visit, int from = 1) {
    using namespace cycle_search_detail;
    if (!g.succ[a].test(b)) return true;
    if (a == b) {
        if (from > a) return true;
        w.frame[1].pos = a;
        w.comp[1] = w.comp[2] = list.node[a];
        return visit(FoundCycle{1, &w.comp[1], 0, g.flow[a][a], g.frac[a][a]});
    }
    const int last = a < b ? a : b;
    for (int S = from; S <= last; ++S) {
        if (!throughFrom(w, g, list, S, a, b, visit)) return false;
    }
    return true;
}

namespace cycle_search_detail {

// Whether the cycle the search has just found, its positions in w.frame, comes after the cycle
// held in w.mark (L arcs, both from the same start): the cycles of one start come in
// lexicographic order of their positions, the closing return to the start counting as the lowest.
inline bool comesAfterMark(const SearchWork& w, int L, int markL) {
    const int S = w.frame[1].pos;
    for (int k = 2;; ++k) {
        const int x = k <= L ? w.frame[k].pos : S;
        const int y = k <= markL ? w.mark[k] : S;
        if (x != y) return x > y;
        if (x == S) return false;
    }
}

// The pruned enumeration with a ceiling that the visitor lowers. Once the ceiling lies below the
// second smallest flow of the graph and one arc alone carries the smallest, the cycles still
// wanted are exactly those through that arc (all others have every arc above the ceiling): the
// enumeration goes on with the search through that arc (see throughFrom), run again from the
// current start, passing over the cycles already handed to the visitor. This keeps the last
// passes before the storage stop cheap: they want the few thousand cycles through the weakest
// arc of a network among millions of others.
template <class Visit>
bool prunedWithCeiling(SearchWork& w, const NodeList& list, ArcFloor floor, Visit& visit,
                       const float* ceiling) {
    const ArcGraph& g = w.graph;
    const LowestArc low = lowestArc(g);
    int S = 1;
    int markL = 0;  // the last cycle handed over before the search through the arc; 0: none
    if (!low.lone(*ceiling)) {
        bool toArc = false;
        auto watch = [&](const FoundCycle& c) {
            if (!visit(c)) return false;
            if (!low.lone(*ceiling)) return true;
            toArc = true;
            markL = c.L;
            for (int k = 1; k <= c.L; ++k) w.mark[k] = w.frame[k].pos;
            return false;
        };
        for (; S <= g.K; ++S) {
            if (!prunedFrom<Keep::WeakArc>(w, w.graph, list, floor, S, 0, watch, ceiling)) {
                if (!toArc) return false;
                break;
            }
        }
        if (!toArc) return true;
    }
    // From S on, the cycles through the lone arc a -> b, passing over those of the start S up to
    // the mark.
    if (low.flow > *ceiling) return true;
    bool spent = false;  // the ceiling fell below the arc: no cycle is wanted any more
    auto through = [&](const FoundCycle& c) {
        if (markL > 0) {
            if (w.frame[1].pos == S && !comesAfterMark(w, c.L, markL)) return true;
            markL = 0;
        }
        if (c.weakFlow > *ceiling) {
            spent = true;
            return false;
        }
        return visit(c);
    };
    return enumerateCyclesThrough(w, g, list, low.a, low.b, through, S) || spent;
}

}  // namespace cycle_search_detail

// Enumerates every simple cycle among the positions of the list whose arcs the floor admits, in
// the fixed order, and calls visit(const FoundCycle&) for each. The flows must not change during
// the enumeration. The visitor returns false to abandon it; the result is false then, true when
// the enumeration ran to its end. With Keep::Count the visitor is told only the cycle's length.
//
// With a ceiling, the visitor is handed only the cycles whose weak-arc flow is at most *ceiling,
// which it may lower as it goes (the reference search hands it every cycle).
template <cycle_search_detail::Keep keep = cycle_search_detail::Keep::WeakArc, class Visit>
bool enumerateCycles(CycleSearch how, SearchWork& w, ConstMatView T, const NodeList& list,
                     ArcFloor floor, Visit&& visit, const float* ceiling = nullptr) {
    using namespace cycle_search_detail;
    if (how == CycleSearch::Pruned) buildGraph(w.graph, T, list, floor);
    if constexpr (keep == Keep::WeakArc) {
        if (how == CycleSearch::Pruned && ceiling != nullptr)
            return prunedWithCeiling(w, list, floor, visit, ceiling);
    }
    for (int S = 1; S <= list.K; ++S) {
        bool going = how == CycleSearch::Pruned
                         ? prunedFrom<keep>(w, w.graph, list, floor, S, 0, visit, ceiling)
                         : referenceFrom(w, T, ConstMatView{}, list, floor, S, 0, visit);
        if (!going) return false;
    }
    return true;
}

// Enumerates, in the fixed order, the simple cycles that begin with the arc from position 1 to
// position 2 of the list; that first arc is not tested. Every other arc is tested on its flow at
// the moment it is tried. The visitor is told the product P of the fractions F of each cycle and
// may lower the flows of its arcs, through FoundCycle::flows only (it must never raise one); T
// holds them all when the enumeration is over. The weak arc of a FoundCycle is not kept here.
// Returns as enumerateCycles does.
template <class Visit>
bool enumerateArcCycles(CycleSearch how, SearchWork& w, MatView T, ConstMatView F,
                        const NodeList& list, ArcFloor floor, Visit&& visit) {
    using namespace cycle_search_detail;
    if (list.K < 2) return true;
    if (how == CycleSearch::Reference) return referenceFrom(w, T, F, list, floor, 1, 2, visit);
    ArcGraph& g = w.graph;
    buildGraph(g, T, list, floor);
    setFractions(g, F, list);
    bool ran = prunedFrom<Keep::LiveFlows>(w, g, list, floor, 1, 2, visit);
    for (int q = 1; q <= list.K; ++q) {
        for (int p = 1; p <= list.K; ++p) T(list.node[p], list.node[q]) = g.flow[p][q];
    }
    return ran;
}

}  // namespace flownet
