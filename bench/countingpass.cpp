#include "countingpass.hpp"

#include <algorithm>
#include <memory>
#include <vector>

#include "branches.hpp"
#include "cycleorder.hpp"
#include "cyclesearch.hpp"
#include "layout.hpp"

namespace flownet {

namespace {

struct Work {
    CycleOrder order;
    SearchWork search;
};

void writeProgress(std::ostream& console, long long count) {
    if (count % 100000 == 0) writeLayout(console, "(1X,I10,2X,'CYCLES AND COUNTING.')", {count});
}

}  // namespace

long long countingPass(std::ostream& console, ConstMatView T, ConstMatView F, int n,
                       CycleSearch search, bool roundValues, int threads) {
    auto wk = std::make_unique<Work>();
    computeCycleOrder(T, n, wk->order);
    const ArcFloor positive{0.0f, true};
    long long count = 0;
    if (search == CycleSearch::Pruned && !roundValues && threads > 1) {
        buildGraph(wk->search.graph, T, wk->order.ord, positive);
        count = countOnThreads(wk->search.graph, wk->order.ord, positive, threads);
        for (long long k = 100000; k <= count; k += 100000) writeProgress(console, k);
        return count;
    }
    if (search == CycleSearch::Pruned && !roundValues) {
        countCycles(wk->search, T, wk->order.ord, positive,
                    [&] { writeProgress(console, ++count); });
        return count;
    }
    // Every cycle with its weak arc: the cycles counted by weak arc (ARCCNT), the smallest
    // weak-arc flow WMIN and its arc BEST, found first on ties, and over the cycles with that
    // weak arc the sum SUMP of their products and their largest length MAXLEN.
    std::vector<long long> ARCCNT(static_cast<std::size_t>(n * n + 1), 0);
    float WMIN = 0.0f, SUMP = 0.0f;
    int BEST = 0, MAXLEN = 0;
    enumerateCycles(search, wk->search, T, wk->order.ord, positive, [&](const FoundCycle& c) {
        int code = (c.nodes[c.weakArc] - 1) * n + c.nodes[c.weakArc + 1];
        if (count == 0 || c.weakFlow < WMIN) {
            WMIN = c.weakFlow;
            BEST = code;
            SUMP = 0.0f;
            MAXLEN = c.L;
        }
        if (code == BEST) {
            SUMP = SUMP + cycleProduct(F, c.nodes, c.L);
            MAXLEN = std::max(MAXLEN, c.L);
        }
        ++ARCCNT[static_cast<std::size_t>(code)];
        writeProgress(console, ++count);
        return true;
    });
    // The round's values are used, so that their work is not left out of the build.
    volatile float used = SUMP + WMIN + static_cast<float>(MAXLEN + ARCCNT[BEST]);
    (void)used;
    return count;
}

}  // namespace flownet
