// CYCCNT: the counted cycle search. It keeps no store of cycles: each round counts every simple
// cycle to find the weakest weak arc, then enumerates and removes only the cycles through that
// arc (its nexus), sets the arc to 0 and starts the next round on the reduced flows, until no
// cycle is left.
#pragma once

#include <ostream>

#include "cyclesearch.hpp"
#include "matview.hpp"

namespace flownet {

// CYCCNT (T, F, X, NC, LD, TST)
//
//   report       the report stream; console: the stream of the progress lines
//   T    out     flows; rebuilt on entry as T(i, j) = F(i, j) * X(i) over 1..|NC|, then left
//                free of cycles
//   F    in      F(i, j) = T(i, j) / X(i)
//   X    in      compartmental throughputs
//   NC   in/out  the compartment count; NC <= 0 selects feeding-cycle mode on 1..|NC| (no
//                distributions). On return NC is negative when no cycle was found, positive
//                when cycles were removed.
//   TST  in      total system throughput, the base of the Finn cycling index
//   search       the enumeration to use (the reference search serves the tests)
//   CYC          optional, at least |NC| entries: receives the flow removed per cycle length,
//                normalised by TST
//
// A round's weak arc is the weak arc (the last smallest flow of a cycle) of smallest flow; the
// first cycle found with it keeps the round on ties. The reference search counts every cycle of
// every round to find it; the pruned search counts every cycle in the first round only, finds
// the weak arc from the flows of the arcs on cycles and the cycles through them, and knows the
// count of each later round from the cycles that the removal before it has broken. Each cycle of
// its nexus takes the share (P / SUMP) * WMIN off every arc, P being the product of F over the
// cycle and SUMP the sum of P over the cycles counted with that weak arc; when every such P
// underflowed to zero the shares are equal, 1 / (the count).
void CYCCNT(std::ostream& report, std::ostream& console, MatView T, ConstMatView F, ConstVecView X,
            int& NC, float TST, CycleSearch search = CycleSearch::Pruned, VecView CYC = {});

// The counting pass of the first round of CYCCNT over the leading n x n part of T (arcs of
// positive flow): the number of simple cycles, with a progress line on the console every 100,000
// cycles. The reference search also finds the weak arc of every cycle, as it does in every round;
// with roundValues the pruned search does too, so that the pass does all the work of a counting
// pass as the round defines it (ARCCNT, WMIN, BEST, SUMP, MAXLEN).
long long countingPass(std::ostream& console, ConstMatView T, ConstMatView F, int n,
                       CycleSearch search, bool roundValues = false);

}  // namespace flownet
