#include "cyccnt.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <memory>
#include <vector>

#include "layout.hpp"

namespace flownet {

namespace {

constexpr const char* kCountingProgress = "(1X,I10,2X,'CYCLES AND COUNTING.')";
constexpr const char* kNexusProgress = "(1X,I10,2X,'NEXUS CYCLES AND COUNTING.')";
constexpr const char* kNexusLine = "(/,4X,I8,'-CYCLE NEXUS WITH WEAK ARC (',I2,',',I2,') =',E12.4)";
constexpr const char* kCycleLine = "(1X,I8,'.',1X,20(I2,'-'))";
constexpr const char* kBadSum = "(/,2X,'BAD SUM CHECK = ',F9.6,/)";
constexpr const char* kCountsDiffer = "(/,2X,'NEXUS COUNTS DO NOT AGREE.',2I8,/)";
constexpr const char* kNoCycles = "(/,15X,'NO CYCLES DETECTED',/)";
constexpr const char* kTotal = "(/,2X,'A TOTAL OF ',I8,1X,'CYCLES REMOVED.',/)";

constexpr long long kCountingEvery = 100000;
constexpr long long kNexusEvery = 5000;
constexpr long long kListedPerNexus = 50;

struct Work {
    CycleOrder order;
    SearchWork search;
    Vector<kMaxCycleNodes> cyc;
    NodeList candidates;
    // ARCCNT(code): the cycles of the round whose weak arc has the code (a - 1) * NC + b.
    std::array<long long, kMaxCycleNodes * kMaxCycleNodes + 1> ARCCNT{};
    std::vector<Item> items;
};

// What the counting pass of a round finds: the smallest weak-arc flow WMIN, its arc's code BEST,
// and over the cycles with that weak arc the sum SUMP of their products and their largest length
// MAXLEN; and the number of cycles.
struct RoundCount {
    float WMIN = 0.0f;
    int BEST = 0;
    float SUMP = 0.0f;
    int MAXLEN = 0;
    long long count = 0;
};

// The candidates of the nexus of the arc (A, B): A, B, then, in the cycle order, every other
// cycle node marked both as a successor of B and as a predecessor of A after H rounds of one
// forward and one backward sweep. A compartment marked early in a sweep counts for later ones
// in the same sweep.
void nexusCandidates(ConstMatView T, int n, int A, int B, int H, const NodeList& ord,
                     NodeList& list) {
    std::array<NodeSet, kMaxCycleNodes + 1> into{}, outOf{};
    NodeSet succ, pred;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (T(i, j) > 0.0f) {
                outOf[i].set(j);
                into[j].set(i);
            }
        }
    }
    succ = outOf[B];
    pred = into[A];
    for (int h = 1; h <= H; ++h) {
        for (int j = 1; j <= n; ++j) {
            if (!succ.test(j) && (into[j] & succ).any()) succ.set(j);
        }
        for (int j = 1; j <= n; ++j) {
            if (!pred.test(j) && (outOf[j] & pred).any()) pred.set(j);
        }
    }
    list.K = 2;
    list.node[1] = A;
    list.node[2] = B;
    for (int p = 1; p <= ord.K; ++p) {
        int c = ord.node[p];
        if (c != A && c != B && succ.test(c) && pred.test(c)) list.node[++list.K] = c;
    }
}

}  // namespace

void CYCCNT(std::ostream& report, std::ostream& console, MatView T, ConstMatView F, ConstVecView X,
            int& NC, float TST, CycleSearch search, VecView CYC) {
    // The mode and the compartments analysed.
    const bool wholeNetwork = NC > 0;
    const int n = wholeNetwork ? NC : -NC;
    assert(n <= kMaxCycleNodes);
    NC = n;

    // The flows, rebuilt from the fractions and throughputs.
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) T(i, j) = F(i, j) * X(i);
    }
    auto wk = std::make_unique<Work>();
    VecView cyc = CYC.data != nullptr ? CYC : wk->cyc.view();
    for (int L = 1; L <= n; ++L) cyc(L) = 0.0f;
    long long TOTAL = 0;  // cycles removed in the call; they number the cycle lines
    bool removed = false;
    const NodeList& ord = wk->order.ord;
    auto& ARCCNT = wk->ARCCNT;

    for (;;) {
        // Round setup, and the counting pass over every cycle (arcs of positive flow).
        computeCycleOrder(T, n, wk->order);
        if (ord.K == 0) break;
        std::fill(ARCCNT.begin(), ARCCNT.begin() + n * n + 1, 0LL);
        RoundCount round;
        enumerateCycles(search, wk->search, T, ord, ArcFloor{0.0f, true}, [&](const FoundCycle& c) {
            int code = (c.nodes[c.weakArc] - 1) * n + c.nodes[c.weakArc + 1];
            if (round.count == 0 || c.weakFlow < round.WMIN) {
                round.WMIN = c.weakFlow;
                round.BEST = code;
                round.SUMP = 0.0f;
                round.MAXLEN = c.L;
            }
            if (code == round.BEST) {
                round.SUMP = round.SUMP + cycleProduct(F, c.nodes, c.L);
                round.MAXLEN = std::max(round.MAXLEN, c.L);
            }
            ++ARCCNT[static_cast<std::size_t>(code)];
            if (++round.count % kCountingEvery == 0) {
                writeLayout(console, kCountingProgress, {round.count});
            }
            return true;
        });

        const long long counted = ARCCNT[static_cast<std::size_t>(round.BEST)];
        const int A = (round.BEST - 1) / n + 1;
        const int B = round.BEST - (A - 1) * n;
        writeLayout(report, kNexusLine, {counted, A, B, F(A, B) * X(A)});
        removed = true;

        // A self-loop is its own nexus.
        if (A == B) {
            ++TOTAL;
            cyc(1) = cyc(1) + T(A, A);
            const int loop[2] = {A, A};
            writeCycleLine(report, kCycleLine, TOTAL, loop, 1, wk->items);
            T(A, A) = 0.0f;
            continue;
        }

        // The nexus of (A, B): its cycles over the candidates, each removed as it is found.
        nexusCandidates(T, n, A, B, round.MAXLEN / 2, ord, wk->candidates);
        long long NREM = 0;
        float TOTP = 0.0f;
        enumerateArcCycles(
            search, wk->search, T, wk->candidates, ArcFloor{0.0f, true}, [&](const FoundCycle& c) {
                float P = cycleProduct(F, c.nodes, c.L);
                float part =
                    round.SUMP != 0.0f ? P / round.SUMP : 1.0f / static_cast<float>(counted);
                TOTP = TOTP + part;
                float AMT = part * round.WMIN;
                for (int k = 0; k < c.L; ++k) {
                    T(c.nodes[k], c.nodes[k + 1]) = T(c.nodes[k], c.nodes[k + 1]) - AMT;
                    cyc(c.L) = cyc(c.L) + AMT;
                }
                ++TOTAL;
                if (++NREM % kNexusEvery == 0) {
                    writeLayout(console, kNexusProgress, {NREM});
                }
                if (NREM <= kListedPerNexus) {
                    writeCycleLine(report, kCycleLine, TOTAL, c.nodes, c.L, wk->items);
                }
                return true;
            });
        T(A, B) = 0.0f;
        if (TOTP > 1.00001f) writeLayout(report, kBadSum, {TOTP});
        if (NREM != counted) writeLayout(report, kCountsDiffer, {NREM, counted});
    }

    // Ending.
    if (!removed) {
        writeLayout(report, kNoCycles);
        NC = -n;
        return;
    }
    writeLayout(report, kTotal, {TOTAL});
    writeCycleStatistics(report, cyc, n, TST, wholeNetwork);
}

}  // namespace flownet
