// The counting pass of CYCCNT on its own, for the benchmark: the first round's count of every
// simple cycle of a network, as CYCCNT runs it, or with every value of the round as the round
// defines them.
#pragma once

#include <ostream>

#include "cyclecall.hpp"
#include "matview.hpp"

namespace flownet {

// The counting pass over the leading n x n part of T (arcs of positive flow): the number of
// simple cycles, with a progress line on the console every 100,000 cycles. The reference search
// also finds the weak arc of every cycle, as it does in every round of CYCCNT; with roundValues
// the pruned search does too, so that the pass does all the work of a counting pass as the round
// defines it (ARCCNT, WMIN, BEST, SUMP, MAXLEN). The pruned count alone runs on `threads`
// threads, as CYCCNT runs it.
long long countingPass(std::ostream& console, ConstMatView T, ConstMatView F, int n,
                       CycleSearch search, bool roundValues, int threads = 1);

}  // namespace flownet
