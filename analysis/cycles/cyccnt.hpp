// CYCCNT: the counted cycle search. It keeps no store of cycles: each round counts every simple
// cycle to find the weakest weak arc, then enumerates and removes only the cycles through that
// arc (its nexus), sets the arc to 0 and starts the next round on the reduced flows, until no
// cycle is left. The counting of a round is in roundcount.hpp, whose countingPass runs the first
// round's count on its own.
#pragma once

#include <ostream>

#include "cyclecall.hpp"
#include "matview.hpp"

namespace flownet {

// The smallest nexus that CYCCNT removes on threads: below it the hand-over costs more than the
// threads gain.
inline constexpr long long kThreadedNexus = 20000;

// CYCCNT (T, F, X, NC, LD, TST)
//
//   report       the report stream; console: the stream of the progress lines
//   T    out     flows; rebuilt on entry as T(i, j) = F(i, j) * X(i) over 1..NC, then left
//                free of cycles
//   F    in      F(i, j) = T(i, j) / X(i)
//   X    in      compartmental throughputs
//   NC   in      the compartments analysed, 1..NC
//   mode         the whole network on 1..NC, or the feeding cycles of the living compartments
//                1..NC (no distributions)
//   TST  in      total system throughput, the base of the Finn cycling index
//   search       the enumeration to use (the reference search serves the tests)
//   CYC          optional, at least NC entries: receives the flow removed per cycle length,
//                normalised by TST
//   threads      the threads the pruned search may use for the searches whose result does not
//                depend on the order of the cycles; the report and the progress lines are the
//                same for any number
//   threadedFrom on more than one thread, the nexuses of at least that many cycles are removed
//                from records of their search made ahead on the threads
//
// Returns whether cycles were found and how many were removed (the total of the report).
//
// A round's weak arc is the weak arc (the last smallest flow of a cycle) of smallest flow; the
// first cycle found with it keeps the round on ties. The reference search counts every cycle of
// every round to find it; the pruned search counts every cycle in the first round only, finds
// the weak arc from the flows of the arcs on cycles and the cycles through them, and knows the
// count of each later round from the cycles that the removal before it has broken. Each cycle of
// its nexus takes the share (P / SUMP) * WMIN off every arc, P being the product of F over the
// cycle and SUMP the sum of P over the cycles counted with that weak arc; when every such P
// underflowed to zero the shares are equal, 1 / (the count).
CycleRemoval CYCCNT(std::ostream& report, std::ostream& console, MatView T, ConstMatView F,
                    ConstVecView X, int NC, CycleMode mode, float TST,
                    CycleSearch search = CycleSearch::Pruned, VecView CYC = {}, int threads = 1,
                    long long threadedFrom = kThreadedNexus);

}  // namespace flownet
