// CYCLES: finds every simple cycle of flow among compartments 1..NC, lists the cycles grouped
// by nexus (the cycles that share the same weak arc, the arc of smallest flow) and removes the
// cycled flow from T, so that what is left holds no cycle.
#pragma once

#include <ostream>

#include "cyclecall.hpp"
#include "matview.hpp"

namespace flownet {

// CYCLES (T, F, NC, LD, TST)
//
//   T    in/out  flows, T(i, j) from i to j (leading dimension in the view); on return every cycle
//                among compartments 1..NC has been removed
//   F    in      F(i, j) = T(i, j) / X(i) of the network before any removal
//   NC   in      the compartments analysed, 1..NC
//   mode         the whole network on 1..NC, or the feeding cycles of the living compartments
//                1..NC: then the extraction heading is written before the listing, and "NO CYCLES
//                DETECTED" and the distributions are not
//   TST  in      total system throughput, the base of the Finn cycling index
//   search       the enumeration to use (the reference search serves the tests)
//   CYC          optional, at least NC entries: receives the flow removed per cycle length,
//                normalised by TST (zero when the call finds no cycle)
//
// Returns whether cycles were found and how many were removed.
//
// Every simple cycle is found in a fixed order from a store of at most 3,000 records of
// floor(NC/4) + 1 words in 33,000 words. When they do not all fit, the threshold on the weak-arc
// flow is lowered and the listing comes in bands of weak-arc flow, after which the cycles are
// removed round by round without a second listing. When the store runs out although the
// threshold can fall no further, "NEXUS STORAGE EXCEEDED" is written and the run ends through
// stopOrderly.
//
// The removal splits the flow BW of a nexus's weak arc among its cycles in proportion to P, the
// product of F over each cycle's arcs: the share of cycle c is P(c) * BW / S, S the sum of the
// members' P. Two cases have a rule of their own: a weak arc whose flow rounding has left at zero
// or below removes nothing, and when every P of the nexus underflows to zero the flow is shared
// equally among its cycles.
CycleRemoval CYCLES(std::ostream& report, MatView T, ConstMatView F, int NC, CycleMode mode,
                    float TST, CycleSearch search = CycleSearch::Pruned, VecView CYC = {});

}  // namespace flownet
