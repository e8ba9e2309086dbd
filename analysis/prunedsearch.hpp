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
// (the visitor may lower flows between cycles).
enum class Keep { Count, WeakArc, LiveFlows };

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

}  // namespace flownet
