#include "cyccnt.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <memory>
#include <vector>

#include "branches.hpp"
#include "cycleorder.hpp"
#include "cyclereport.hpp"
#include "cyclesearch.hpp"
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
    ArcGraph round;  // the arcs of the round between cycle nodes, by position in ORD
    Vector<kMaxCycleNodes> cyc;
    NodeList candidates;
    // ARCCNT(code): the cycles of the round whose weak arc has the code (a - 1) * NC + b.
    std::array<long long, kMaxCycleNodes * kMaxCycleNodes + 1> ARCCNT{};
    std::array<int, kMaxCycleNodes + 1> position{};  // position in ORD of each compartment
    std::vector<int> tied;                           // arcs of the round's smallest flow
    std::vector<Item> items;
};

// What the counting of a round finds: the smallest weak-arc flow WMIN, its arc's code BEST, and
// over the cycles with that weak arc the sum SUMP of their products, their largest length
// MAXLEN and their number; the cycles through the arc BEST, whatever their weak arc.
struct RoundCount {
    float WMIN = 0.0f;
    int BEST = 0;
    float SUMP = 0.0f;
    int MAXLEN = 0;
    long long counted = 0;  // ARCCNT(BEST)
    long long through = 0;
};

void writeCountingProgress(std::ostream& console, long long count) {
    if (count % kCountingEvery == 0) writeLayout(console, kCountingProgress, {count});
}

// The progress lines of a count known in advance, the same lines as while counting.
void writeCountingProgressUpTo(std::ostream& console, long long count) {
    for (long long k = kCountingEvery; k <= count; k += kCountingEvery) {
        writeCountingProgress(console, k);
    }
}

// The counting pass as written: every cycle of the round, each weak arc counted, and the round's
// values kept as the cycles come. On equal flows the cycle found first keeps the round.
void countEveryCycle(std::ostream& console, Work& wk, ConstMatView T, ConstMatView F, int n,
                     CycleSearch search, RoundCount& round, long long& count) {
    auto& ARCCNT = wk.ARCCNT;
    std::fill(ARCCNT.begin(), ARCCNT.begin() + n * n + 1, 0LL);
    count = 0;
    enumerateCycles(search, wk.search, T, wk.order.ord, ArcFloor{0.0f, true},
                    [&](const FoundCycle& c) {
                        int code = (c.nodes[c.weakArc] - 1) * n + c.nodes[c.weakArc + 1];
                        if (count == 0 || c.weakFlow < round.WMIN) {
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
                        writeCountingProgress(console, ++count);
                        return true;
                    });
    round.counted = ARCCNT[static_cast<std::size_t>(round.BEST)];
}

// The position pair (p, q) of an arc of the round, coded p * 256 + q.
constexpr int arcKey(int p, int q) {
    return p * 256 + q;
}

// Of the arcs (position pairs) that all carry the round's smallest flow, the weak arc of the first
// cycle of the search that passes through any of them. That cycle is, for its start S, the first
// of the first cycles through each arc from S; its weak arc, the last of its smallest flows, is
// one of these arcs.
int firstCycleWeakArc(Work& wk) {
    const NodeList& ord = wk.order.ord;
    const std::vector<int>& tied = wk.tied;
    std::array<int, kMaxCycleNodes + 2> best{}, seen{};
    for (int S = 1; S <= ord.K; ++S) {
        int bestL = 0, bestArc = 0;
        for (int key : tied) {
            const int a = key / 256, b = key % 256;
            if (std::min(a, b) < S) continue;
            int L = 0, weak = 0;
            auto first = [&](const FoundCycle& c) {
                L = c.L;
                for (int k = 0; k < L; ++k) seen[k] = wk.position[c.nodes[k]];
                weak = arcKey(seen[c.weakArc], seen[(c.weakArc + 1) % L]);
                return false;
            };
            enumerateCyclesThroughStart(wk.search, wk.round, ord, S, Arc{a, b}, first);
            if (L == 0) continue;
            if (bestL == 0 || std::lexicographical_compare(seen.begin(), seen.begin() + L,
                                                           best.begin(), best.begin() + bestL)) {
                std::copy(seen.begin(), seen.begin() + L, best.begin());
                bestL = L;
                bestArc = weak;
            }
        }
        if (bestL > 0) return bestArc;
    }
    return tied.front();  // not reached: every tied arc lies on a cycle
}

// The round's values without counting every cycle. The smallest weak-arc flow of the round is the
// smallest flow of an arc on a cycle (an arc within a strongly connected set of compartments,
// self-loops included). The arc that carries it is BEST; when several do, BEST is the weak arc of
// the first cycle found that passes through any of them. SUMP, MAXLEN and the count then come
// from the cycles through BEST whose weak arc is BEST, taken in the order of the search, so that
// SUMP is summed as the counting pass sums it.
void weakestNexus(Work& wk, ConstMatView T, ConstMatView F, int n, RoundCount& round) {
    const NodeList& ord = wk.order.ord;
    ArcGraph& g = wk.round;
    buildGraph(g, T, ord, ArcFloor{0.0f, true});
    setFractions(g, F, ord);
    for (int p = 1; p <= ord.K; ++p) wk.position[ord.node[p]] = p;

    // The smallest flow on a cycle, and the arcs that carry it.
    std::vector<int>& tied = wk.tied;
    tied.clear();
    float WMIN = kNoFlow;
    for (int p = 1; p <= ord.K; ++p) {
        for (NodeSet s = g.succ[p]; s.any();) {
            const int q = s.takeFirst();
            if (!wk.order.reach[ord.node[q]].test(ord.node[p])) continue;
            const float f = g.flow[p][q];
            if (tied.empty() || f < WMIN) {
                WMIN = f;
                tied.assign(1, arcKey(p, q));
            } else if (f == WMIN) {
                tied.push_back(arcKey(p, q));
            }
        }
    }
    const int key = tied.size() == 1 ? tied.front() : firstCycleWeakArc(wk);
    const int a = key / 256, b = key % 256;
    const int A = ord.node[a], B = ord.node[b];
    round.WMIN = WMIN;
    round.BEST = (A - 1) * n + B;
    round.SUMP = 0.0f;
    round.MAXLEN = 0;
    round.counted = 0;
    round.through = 0;
    enumerateCyclesThrough(wk.search, g, ord, Arc{a, b}, [&](const FoundCycle& c) {
        ++round.through;
        if (c.nodes[c.weakArc] == A && c.nodes[c.weakArc + 1] == B) {
            ++round.counted;
            round.SUMP = round.SUMP + c.P;
            round.MAXLEN = std::max(round.MAXLEN, c.L);
        }
        return true;
    });
}

// The cycles of the round that the removal has broken: flows only fall, so the cycles of the next
// round are those of this round that use no arc whose flow has fallen to 0 or below. These are
// the cycles through BEST, and those through each other fallen arc but through none counted
// before it.
long long cyclesBroken(Work& wk, ConstMatView T, const RoundCount& round, int n) {
    const NodeList& ord = wk.order.ord;
    ArcGraph& g = wk.round;
    const int A = (round.BEST - 1) / n + 1;
    const int B = round.BEST - (A - 1) * n;
    long long broken = round.through;
    g.removeArc({wk.position[A], wk.position[B]});
    for (int p = 1; p <= ord.K; ++p) {
        for (NodeSet s = g.succ[p]; s.any();) {
            const int q = s.takeFirst();
            if (T(ord.node[p], ord.node[q]) > 0.0f) continue;
            enumerateCyclesThrough(wk.search, g, ord, Arc{p, q}, [&](const FoundCycle&) {
                ++broken;
                return true;
            });
            g.removeArc({p, q});
        }
    }
    return broken;
}

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

// The number of cycles of the round, with a progress line every 100,000 cycles. The pruned search
// only counts, on several threads the lines coming once the count is known; the reference search
// keeps the round's values as it goes, and they are left in `round`.
long long countCycles(std::ostream& console, Work& wk, ConstMatView T, ConstMatView F, int n,
                      CycleSearch search, RoundCount& round, int threads) {
    long long count = 0;
    if (search == CycleSearch::Reference) {
        countEveryCycle(console, wk, T, F, n, search, round, count);
    } else if (threads > 1) {
        const ArcFloor positive{0.0f, true};
        buildGraph(wk.search.graph, T, wk.order.ord, positive);
        count = countOnThreads(wk.search.graph, wk.order.ord, positive, threads);
        writeCountingProgressUpTo(console, count);
    } else {
        countCycles(wk.search, T, wk.order.ord, ArcFloor{0.0f, true},
                    [&] { writeCountingProgress(console, ++count); });
    }
    return count;
}

}  // namespace

CycleRemoval CYCCNT(std::ostream& report, std::ostream& console, MatView T, ConstMatView F,
                    ConstVecView X, int NC, CycleMode mode, float TST, CycleSearch search,
                    VecView CYC, int threads) {
    const int n = NC;
    assert(n <= kMaxCycleNodes);

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
    long long count = -1;  // the cycles of the round; with the pruned search known in advance

    for (;;) {
        // Round setup, and the round's values: the reference search counts every cycle; the
        // pruned search counts them in the first round only and knows the count of a later
        // round from the cycles the round before it broke.
        computeCycleOrder(T, n, wk->order);
        if (ord.K == 0) break;
        RoundCount round;
        if (search == CycleSearch::Reference) {
            countCycles(console, *wk, T, F, n, search, round, 1);
        } else {
            if (count < 0) {
                count = countCycles(console, *wk, T, F, n, search, round, threads);
            } else {
                writeCountingProgressUpTo(console, count);
            }
            weakestNexus(*wk, T, F, n, round);
        }

        const long long counted = round.counted;
        const int A = (round.BEST - 1) / n + 1;
        const int B = round.BEST - (A - 1) * n;
        writeLayout(report, kNexusLine, {counted, A, B, F(A, B) * X(A)});
        removed = true;

        if (A == B) {
            // A self-loop is its own nexus.
            ++TOTAL;
            cyc(1) = cyc(1) + T(A, A);
            const int loop[2] = {A, A};
            writeCycleLine(report, kCycleLine, TOTAL, loop, 1, wk->items);
            T(A, A) = 0.0f;
        } else {
            // The nexus of (A, B): its cycles over the candidates, each removed as it is found.
            nexusCandidates(T, n, A, B, round.MAXLEN / 2, ord, wk->candidates);
            long long NREM = 0;
            float TOTP = 0.0f;
            enumerateArcCycles(
                search, wk->search, T, F, wk->candidates, ArcFloor{0.0f, true},
                [&](const FoundCycle& c) {
                    float part =
                        round.SUMP != 0.0f ? c.P / round.SUMP : 1.0f / static_cast<float>(counted);
                    TOTP = TOTP + part;
                    float AMT = part * round.WMIN;
                    float removedFlow = cyc(c.L);
                    for (int k = 0; k < c.L; ++k) {
                        *c.flows[k] = *c.flows[k] - AMT;
                        removedFlow = removedFlow + AMT;
                    }
                    cyc(c.L) = removedFlow;
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
        if (search == CycleSearch::Pruned) count -= cyclesBroken(*wk, T, round, n);
    }
    assert(search == CycleSearch::Reference || !removed || count == 0);

    // Ending.
    if (!removed) {
        writeLayout(report, kNoCycles);
        return {};
    }
    writeLayout(report, kTotal, {TOTAL});
    CycleRemoval result{true, TOTAL};
    cycleStatistics(cyc, n, TST, result);
    writeCycleStatistics(report, result, n, mode == CycleMode::WholeNetwork);
    return result;
}

}  // namespace flownet
