// The counting of a round of CYCCNT: the cycle order of the flows as they stand, the number of
// their simple cycles with the progress lines, the round's weak arc with the values of its nexus,
// and the cycles that the removal of the nexus has broken. countingPass runs the first round's
// count on its own, as CYCCNT runs it, for the benchmark.
#pragma once

#include <array>
#include <ostream>
#include <vector>

#include "arcgraph.hpp"
#include "cycleorder.hpp"
#include "matview.hpp"
#include "nodeset.hpp"
#include "searchmethod.hpp"
#include "searchwork.hpp"

namespace flownet {

// What the counting of a round finds: the smallest weak-arc flow WMIN, the weak arc BEST that
// carries it (by compartment), and over the cycles with that weak arc the sum SUMP of their
// products, their largest length MAXLEN and their number; with the pruned search, also the
// cycles through BEST, whatever their weak arc.
struct RoundValues {
    float WMIN = 0.0f;
    Arc BEST;
    float SUMP = 0.0f;
    int MAXLEN = 0;
    long long counted = 0;  // ARCCNT(BEST)
    long long through = 0;
};

// The counting of the rounds of one call over the flows T (their leading n x n part, the arcs of
// positive flow) and the fractions F, with the progress lines on the console. The flows may fall
// between the rounds, never while one is counted. Large (about 400 KiB): allocate it.
class RoundCounter {
public:
    RoundCounter(std::ostream& console, ConstMatView T, ConstMatView F, int n);

    // The cycle order of the round, from the flows as they stand; false when no cycle is left.
    bool orderRound();
    const NodeList& order() const { return order_.ord; }

    // The number of cycles of the round, the pruned search counting them only, on `threads`
    // threads (the progress lines then come once the count is known).
    long long countOnly(int threads);
    // The counting pass as a round defines it: every cycle of the round, each weak arc counted,
    // and the round's values kept as the cycles come; on equal flows the cycle found first keeps
    // the round. Returns the number of cycles.
    long long countWithValues(CycleSearch search);
    // The progress lines of a count known in advance, the same lines as while counting: one
    // every 100,000 cycles.
    void writeProgressUpTo(long long count) const;

    // The round's values by the pruned search, without counting every cycle; the cycles through
    // the weak arc searched on `threads` threads.
    void findWeakestNexus(int threads = 1);
    // Once the nexus of the values found last is removed (pruned search): the cycles of the
    // round that its removal has broken.
    long long cyclesBroken();

    const RoundValues& values() const { return values_; }
    // The scratch space of the searches, for the removal of the nexus.
    SearchWork& search() { return search_; }

private:
    float smallestArcsOnCycles();
    Arc firstCycleWeakArc();
    void nexusValues(Arc at);
    void nexusValuesOnThreads(Arc at, int threads);
    Arc positionsOf(Arc nodes) const { return {position_[nodes.tail], position_[nodes.head]}; }

    std::ostream& console_;
    ConstMatView T_, F_;
    int n_;
    CycleOrder order_;
    SearchWork search_;
    ArcGraph round_;                                  // the arcs of the round between cycle nodes
    std::array<long long, Arc::kCodes> ARCCNT_{};     // the cycles by the code of their weak arc
    std::array<int, kMaxCycleNodes + 1> position_{};  // the position in ORD of each compartment
    std::vector<Arc> tied_;  // the arcs on cycles that carry the round's smallest flow
    RoundValues values_;
};

// What a counting pass finds: the number of cycles and, when the pass keeps them, the round's
// values.
struct CountingPass {
    long long cycles = 0;
    bool valued = false;
    RoundValues values;
};

// The counting pass of CYCCNT's first round on its own, over the leading n x n part of T (arcs
// of positive flow), with its progress lines on the console. The pruned search only counts, on
// `threads` threads, as CYCCNT's first round does; the reference search keeps the round's values,
// as it does in every round of CYCCNT, and so does the pruned search with roundValues (the pass
// as a round defines it, which CYCCNT's pruned rounds do not run).
CountingPass countingPass(std::ostream& console, ConstMatView T, ConstMatView F, int n,
                          CycleSearch search, bool roundValues, int threads = 1);

}  // namespace flownet
