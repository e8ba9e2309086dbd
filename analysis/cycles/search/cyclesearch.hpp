// The enumeration of simple cycles that the two cycle routines, CYCLES and CYCCNT, share.
//
// The cycle nodes are numbered by their positions 1..K in a node list (the
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

#include <type_traits>

#include "arcgraph.hpp"
#include "matview.hpp"
#include "nodeset.hpp"
#include "prunedsearch.hpp"
#include "searchmethod.hpp"
#include "searchwork.hpp"

namespace flownet {

namespace cycle_search_detail {

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

}  // namespace cycle_search_detail

// Enumerates the simple cycles of the graph g (positions of the list) that begin at start position
// S and pass through the arc `at` (positions), in the order in which enumerateCycles finds them,
// each with its weak arc and, when g holds fractions, its product P. The flows must not change.
// Returns as enumerateCycles does.
template <class Visit>
bool enumerateCyclesThroughStart(SearchWork& w, const ArcGraph& g, const NodeList& list, int S,
                                 Arc at, Visit&& visit) {
    using namespace cycle_search_detail;
    if (at.tail < S || at.head < S || !g.succ[at.tail].test(at.head)) return true;
    if (!at.selfLoop()) return throughFrom(w, g, list, S, at, visit);
    if (at.tail != S) return true;
    w.frame[1].pos = S;
    w.comp[1] = w.comp[2] = list.node[S];
    return visit(FoundCycle{1, &w.comp[1], 0, g.flow[S][S], g.frac[S][S]});
}

// The same from every start position from `from` on, the earlier starts left out: the cycles
// through the arc, in the order of enumerateCycles.
template <class Visit>
bool enumerateCyclesThrough(SearchWork& w, const ArcGraph& g, const NodeList& list, Arc at,
                            Visit&& visit, int from = 1) {
    const int last = at.tail < at.head ? at.tail : at.head;
    for (int S = from; S <= last; ++S) {
        if (!enumerateCyclesThroughStart(w, g, list, S, at, visit)) return false;
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
    return enumerateCyclesThrough(w, g, list, low.arc, through, S) || spent;
}

}  // namespace cycle_search_detail

// Enumerates every simple cycle among the positions of the list whose arcs the floor admits, in
// the fixed order, and calls visit(const FoundCycle&) for each. The flows must not change during
// the enumeration. The visitor returns false to abandon it; the result is false then, true when
// the enumeration ran to its end.
//
// With a ceiling, the visitor is handed only the cycles whose weak-arc flow is at most *ceiling,
// which it may lower as it goes (the reference search hands it every cycle).
template <class Visit>
bool enumerateCycles(CycleSearch how, SearchWork& w, ConstMatView T, const NodeList& list,
                     ArcFloor floor, Visit&& visit, const float* ceiling = nullptr) {
    using namespace cycle_search_detail;
    if (how == CycleSearch::Pruned) buildGraph(w.graph, T, list, floor);
    if (how == CycleSearch::Pruned && ceiling != nullptr)
        return prunedWithCeiling(w, list, floor, visit, ceiling);
    for (int S = 1; S <= list.K; ++S) {
        bool going = how == CycleSearch::Pruned
                         ? prunedFrom<Keep::WeakArc>(w, w.graph, list, floor, S, 0, visit, ceiling)
                         : referenceFrom(w, T, ConstMatView{}, list, floor, S, 0, visit);
        if (!going) return false;
    }
    return true;
}

// Counts every simple cycle among the positions of the list whose arcs the floor admits, with the
// pruned search: tally() is called once for each cycle, in the fixed order, and told nothing of
// it. The flows must not change during the count.
template <class Tally>
void countCycles(SearchWork& w, ConstMatView T, const NodeList& list, ArcFloor floor,
                 Tally&& tally) {
    using namespace cycle_search_detail;
    buildGraph(w.graph, T, list, floor);
    auto visit = [&tally](const FoundCycle&) {
        tally();
        return true;
    };
    for (int S = 1; S <= list.K; ++S) prunedFrom<Keep::Count>(w, w.graph, list, floor, S, 0, visit);
}

// Enumerates, in the fixed order, the simple cycles that begin with the arc from position 1 to
// position 2 of the list; that first arc is not tested. Every other arc is tested on its flow at
// the moment it is tried. The visitor is told the product P of the fractions F of each cycle and
// may lower the flows of its arcs, through FoundCycle::flows only (it must never raise one); it
// answers with a LoweredCycle (the least flow it left on an arc of the cycle, infinity when it
// lowered none). T holds the flows when the enumeration is over. The weak arc of a FoundCycle is
// not kept here. Returns as enumerateCycles does.
template <class Visit>
bool enumerateArcCycles(CycleSearch how, SearchWork& w, MatView T, ConstMatView F,
                        const NodeList& list, ArcFloor floor, Visit&& visit) {
    using namespace cycle_search_detail;
    if (list.K < 2) return true;
    if (how == CycleSearch::Reference) {
        auto going = [&visit](const FoundCycle& c) { return visit(c).go; };
        return referenceFrom(w, T, F, list, floor, 1, 2, going);
    }
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
