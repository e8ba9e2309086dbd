// The pruned searches from one start position: Johnson's blocking over the arc graph, for every
// cycle (prunedFrom) or for the cycles through one arc (throughFrom). See cyclesearch.hpp for the
// order of the cycles both keep.
#pragma once

#include "arcgraph.hpp"
#include "nodeset.hpp"
#include "searchwork.hpp"

namespace flownet {

namespace cycle_search_detail {

// What the pruned search keeps along the path: nothing but the count of arcs; the compartments
// and the weak arc (for the visitor); the compartments, the product of the fractions and where
// the flow of each arc is kept, every arc being tested on its flow at the moment it is tried
// (the visitor may lower flows between cycles). The search through an arc keeps the compartments,
// the weak arc and the product.
enum class Keep { Count, WeakArc, LiveFlows, WeakArcAndProduct };

// The steps of both pruned searches, over the path in w.frame and comp, the blocked positions and
// those on the path. They are always inlined: the sets then stay in registers. The graph is
// written to only with live flows (Graph is ArcGraph then, const ArcGraph otherwise).

// Goes down from `level` into position p with the candidates rem; `found` when a cycle is already
// closed through p.
template <Keep keep, class Graph>
[[gnu::always_inline]] inline void descend(SearchWork& w, Graph& g, const NodeList& list,
                                           int& level, int p, NodeSet rem, bool found) {
    const auto& f = w.frame[level];
    auto& h = w.frame[level + 1];
    h.pos = p;
    h.found = found;
    h.rem = rem;
    if constexpr (keep == Keep::WeakArc || keep == Keep::WeakArcAndProduct) {
        float arc = g.flow[f.pos][p];
        h.minFlow = f.minFlow;
        h.minArc = f.minArc;
        if (arc <= f.minFlow) {
            h.minFlow = arc;
            h.minArc = level - 1;
        }
    }
    if constexpr (keep == Keep::LiveFlows || keep == Keep::WeakArcAndProduct) {
        h.P = f.P * g.frac[f.pos][p];
    }
    if constexpr (keep == Keep::LiveFlows) w.cell[level] = &g.flow[f.pos][p];
    ++level;
    if constexpr (keep != Keep::Count) w.comp[level] = list.node[p];
}

// Backs up from a level whose candidates are all tried: a position through which no cycle was
// closed stays blocked until one of its successors is freed; one through which a cycle was closed
// is freed, and so is the level above it.
[[gnu::always_inline]] inline void backUp(SearchWork& w, const ArcGraph& g, NodeSet& blocked,
                                          NodeSet& onPath, int& level) {
    const int v = w.frame[level].pos;
    const bool found = w.frame[level].found;
    if (found) unblock(g, blocked, onPath, v);
    onPath.reset(v);
    --level;
    if (found) w.frame[level].found = true;
}

// The cycle that the arc from the position at `level` back to S closes, as the visitor is told it.
template <Keep keep, class Graph>
[[gnu::always_inline]] inline FoundCycle closedCycle(SearchWork& w, Graph& g, int level, int S) {
    auto& f = w.frame[level];
    f.found = true;
    FoundCycle c{level, &w.comp[1], f.minArc, f.minFlow, 0.0f};
    if constexpr (keep != Keep::Count) w.comp[level + 1] = w.comp[1];
    if constexpr (keep == Keep::LiveFlows || keep == Keep::WeakArcAndProduct) {
        c.P = f.P * g.frac[f.pos][S];
    }
    if constexpr (keep == Keep::LiveFlows) {
        w.cell[level] = &g.flow[f.pos][S];
        c.flows = &w.cell[1];
    }
    if constexpr (keep == Keep::WeakArc || keep == Keep::WeakArcAndProduct) {
        float closing = g.flow[f.pos][S];
        if (closing <= f.minFlow) {
            c.weakArc = level - 1;
            c.weakFlow = closing;
        }
    }
    return c;
}

// After the visitor of a cycle of `level` arcs has lowered flows: an arc lowered out of the
// search is taken out of the graph. It was tried at every level of the path already, and no other
// arc has changed, so every candidate still to be tried is usable.
[[gnu::always_inline]] inline void dropLoweredArcs(SearchWork& w, ArcGraph& g, ArcFloor floor,
                                                   int level, int S) {
    for (int k = 1; k <= level; ++k) {
        if (!floor.admits(*w.cell[k])) {
            g.removeArc({w.frame[k].pos, k < level ? w.frame[k + 1].pos : S});
        }
    }
}

// The positions of a search from which an arc at or below the ceiling can be reached on a way
// back to S, found again whenever the ceiling has been lowered.
struct LowArcReach {
    float ceiling = kNoFlow;
    NodeSet from;
    [[gnu::always_inline]] bool test(const ArcGraph& g, NodeSet cand, float now, int p) {
        if (ceiling != now) {
            ceiling = now;
            from = reachingLowArc(g, cand, ceiling);
        }
        return from.test(p);
    }
};

// The loop of the pruned search from start position S over the candidates cand, from `level` on:
// it returns when the level `base` has no candidate left, or false as soon as the visitor does.
template <Keep keep, class Graph, class Visit>
[[gnu::always_inline]] inline bool prunedLoop(SearchWork& w, Graph& g, const NodeList& list,
                                              ArcFloor floor, int S, NodeSet cand, NodeSet& blocked,
                                              NodeSet& onPath, int level, int base, Visit& visit,
                                              const float* ceiling) {
    LowArcReach toLow;
    for (;;) {
        // The next candidate of this level; those before it that are blocked are passed over
        // (S never is).
        auto& f = w.frame[level];
        const int p = f.rem.takeFirstOf(~blocked);
        if (p == 0) {
            if (level == base) return true;
            backUp(w, g, blocked, onPath, level);
            continue;
        }
        if (p == S) {
            const FoundCycle c = closedCycle<keep>(w, g, level, S);
            if constexpr (keep == Keep::WeakArc) {
                if (ceiling != nullptr && c.weakFlow > *ceiling) continue;
            }
            if constexpr (keep == Keep::LiveFlows) {
                const LoweredCycle lowered = visit(c);
                if (!lowered.go) return false;
                if (!floor.admits(lowered.least)) dropLoweredArcs(w, g, floor, level, S);
            } else {
                if (!visit(c)) return false;
            }
            continue;
        }
        if constexpr (keep == Keep::WeakArc) {
            if (ceiling != nullptr && f.minFlow > *ceiling && g.flow[f.pos][p] > *ceiling &&
                !toLow.test(g, cand, *ceiling, p)) {
                f.found = true;
                continue;
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
        blocked.set(p);
        descend<keep>(w, g, list, level, p, rem, closes);
    }
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
    w.startPath(S, list.node[S], second > 0 ? NodeSet::single(second) : g.succ[S] & cand);
    return prunedLoop<keep>(w, g, list, floor, S, cand, blocked, onPath, 1, 1, visit, ceiling);
}

// One branch of the pruned search from S over the candidates cand (those that reach S): the
// cycles whose path begins with S and the positions prefix[0..d-1] (d >= 1), the cycle that the
// prefix closes itself first, in the order of the whole search. Its blocking starts afresh: a
// position is blocked only when no way back to S is left, so the branch finds the same cycles as
// the whole search finds there, and branches can be searched apart, on threads of their own.
template <Keep keep, class Graph, class Visit>
[[gnu::noinline]] bool prunedBranch(SearchWork& w, Graph& g, const NodeList& list, ArcFloor floor,
                                    int S, NodeSet cand, const int* prefix, int d, Visit& visit) {
    NodeSet blocked, onPath;
    int level = 1;
    w.startPath(S, list.node[S], NodeSet{});
    for (int k = 0; k < d; ++k) {
        const int p = prefix[k];
        onPath.set(p);
        blocked.set(p);
        NodeSet rem = k + 1 < d ? NodeSet{} : g.succ[p] & cand & ~onPath;
        bool closes = false;
        if constexpr (keep == Keep::Count) {
            closes = rem.test(S);
            rem.reset(S);
            if (closes && !visit(FoundCycle{level + 1, nullptr, 0, 0.0f, 0.0f})) return false;
        }
        descend<keep>(w, g, list, level, p, rem, closes);
    }
    return prunedLoop<keep>(w, g, list, floor, S, cand, blocked, onPath, level, level, visit,
                            nullptr);
}

// The candidates of the search from start position S through the arc a -> b: after the arc, the
// positions >= S from which S can be reached; before it (toward a), a and the positions from
// which a can be reached through positions other than S and b. False, and `toward` left out,
// when b cannot reach S: then no cycle passes.
struct ThroughCandidates {
    NodeSet after, toward;
};

[[gnu::always_inline]] inline bool throughCandidates(const ArcGraph& g, int S, Arc arc,
                                                     ThroughCandidates& c) {
    c.after = reaching(g, NodeSet::single(S), NodeSet::range(S, g.K));
    if (!c.after.test(arc.head)) return false;
    NodeSet before;
    if (arc.tail != S) {
        NodeSet within = c.after & ~NodeSet::single(S) & ~NodeSet::single(arc.head);
        before = reaching(g, NodeSet::single(arc.tail), within) & ~NodeSet::single(arc.tail);
    }
    c.toward = before | NodeSet::single(arc.tail);
    return true;
}

// A step of the search through the arc a -> b while the path has not reached a (atA is 0): p is
// a, entered with b alone as its candidate, which begins the part after the arc afresh; or any
// other position, entered when it has a free candidate toward a, and blocked either way.
[[gnu::always_inline]] inline void stepTowardTail(SearchWork& w, const ArcGraph& g,
                                                  const NodeList& list, Arc arc, NodeSet toward,
                                                  int p, int& level, int& atA, NodeSet& blocked,
                                                  NodeSet& blockedAfter, NodeSet& onPath) {
    constexpr Keep keep = Keep::WeakArcAndProduct;
    if (p == arc.tail) {
        onPath.set(p);
        descend<keep>(w, g, list, level, p, NodeSet::single(arc.head), false);
        atA = level;
        blockedAfter = NodeSet{};  // the arc a -> b: a fresh search from b
        return;
    }
    blocked.set(p);
    onPath.set(p);
    const NodeSet rem = g.succ[p] & toward & ~onPath;
    if ((rem & ~blocked).any()) {
        descend<keep>(w, g, list, level, p, rem, false);
    } else {
        onPath.reset(p);  // a dead end, blocked at once
    }
}

// The loop of the search through the arc a -> b from start position S, from `level` on (atA the
// level of a, 0 while the path has not reached it): it returns when the level `base` has no
// candidate left, or false as soon as the visitor does.
template <class Visit>
[[gnu::always_inline]] inline bool throughLoop(SearchWork& w, const ArcGraph& g,
                                               const NodeList& list, int S, Arc arc,
                                               const ThroughCandidates& cand, NodeSet& blocked,
                                               NodeSet& blockedAfter, NodeSet& onPath, int level,
                                               int atA, int base, Visit& visit) {
    constexpr Keep keep = Keep::WeakArcAndProduct;
    for (;;) {
        // The next candidate of this level, passing over those blocked in the part of the path
        // it lies in (a, b and S never are).
        auto& f = w.frame[level];
        const int p = f.rem.takeFirstOf(~(atA == 0 ? blocked : blockedAfter));
        if (p == 0) {
            if (level == base) return true;
            if (level == atA) {
                // Back before the arc: reaching a was the aim of that part.
                atA = 0;
                onPath.reset(f.pos);
                --level;
                w.frame[level].found = true;
                continue;
            }
            backUp(w, g, atA == 0 ? blocked : blockedAfter, onPath, level);
            continue;
        }
        if (atA == 0) {
            stepTowardTail(w, g, list, arc, cand.toward, p, level, atA, blocked, blockedAfter,
                           onPath);
            continue;
        }
        if (p == S) {
            if (!visit(closedCycle<keep>(w, g, level, S))) return false;
            continue;
        }
        blockedAfter.set(p);
        onPath.set(p);
        const NodeSet rem = g.succ[p] & cand.after & ~onPath;
        if ((rem & ~blockedAfter & ~NodeSet::single(S)).any()) {
            descend<keep>(w, g, list, level, p, rem, false);
        } else if (rem.test(S)) {
            // S, p's first candidate, is all it has free: its level closes that one cycle, passes
            // over the blocked rest and is left at once.
            descend<keep>(w, g, list, level, p, rem, false);
            if (!visit(closedCycle<keep>(w, g, level, S))) return false;
            backUp(w, g, blockedAfter, onPath, level);
        } else {
            onPath.reset(p);
        }
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
                                   Arc arc, Visit& visit) {
    ThroughCandidates cand;
    if (!throughCandidates(g, S, arc, cand)) return true;
    NodeSet blocked;       // the part before the arc
    NodeSet blockedAfter;  // the part after the arc
    NodeSet onPath;
    const int atA = arc.tail == S ? 1 : 0;
    w.startPath(S, list.node[S],
                arc.tail == S ? NodeSet::single(arc.head) : g.succ[S] & cand.toward);
    return throughLoop(w, g, list, S, arc, cand, blocked, blockedAfter, onPath, 1, atA, 1, visit);
}

// One piece of the search from S through the arc a -> b: the path S, prefix[0..d-1] (d >= 1)
// laid down as the search takes it, then, for a branch, every cycle whose path begins so, in the
// order of the whole search, with both blockings begun afresh (a position is blocked only when
// its target cannot be reached, so the piece finds what the whole search finds there); for a
// piece that is not a branch, the one cycle that the prefix closes back to S.
template <class Visit>
[[gnu::noinline]] bool throughPiece(SearchWork& w, const ArcGraph& g, const NodeList& list, int S,
                                    Arc arc, const int* prefix, int d, bool branch, Visit& visit) {
    constexpr Keep keep = Keep::WeakArcAndProduct;
    ThroughCandidates cand;
    if (!throughCandidates(g, S, arc, cand)) return true;
    NodeSet blocked, blockedAfter, onPath;
    int level = 1;
    int atA = arc.tail == S ? 1 : 0;
    w.startPath(S, list.node[S], NodeSet{});
    for (int k = 0; k < d; ++k) {
        const int p = prefix[k];
        const bool last = k + 1 == d;
        onPath.set(p);
        NodeSet rem;
        if (atA == 0 && p == arc.tail) {
            rem = NodeSet::single(arc.head);
        } else if (atA == 0) {
            blocked.set(p);
            rem = g.succ[p] & cand.toward & ~onPath;
        } else {
            blockedAfter.set(p);
            rem = g.succ[p] & cand.after & ~onPath;
        }
        descend<keep>(w, g, list, level, p, last ? rem : NodeSet{}, false);
        if (atA == 0 && p == arc.tail) atA = level;
    }
    if (!branch) return visit(closedCycle<keep>(w, g, level, S));
    return throughLoop(w, g, list, S, arc, cand, blocked, blockedAfter, onPath, level, atA, level,
                       visit);
}

}  // namespace cycle_search_detail

}  // namespace flownet
