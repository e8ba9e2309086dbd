#include "roundcount.hpp"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <memory>

#include "branches.hpp"
#include "cyclesearch.hpp"
#include "layout.hpp"
#include "parallel.hpp"

namespace flownet {

namespace {

constexpr const char* kCountingProgress = "(1X,I10,2X,'CYCLES AND COUNTING.')";
constexpr long long kCountingEvery = 100000;

void writeCountingProgress(std::ostream& console, long long count) {
    if (count % kCountingEvery == 0) writeLayout(console, kCountingProgress, {count});
}

}  // namespace

RoundCounter::RoundCounter(std::ostream& console, ConstMatView T, ConstMatView F, int n)
    : console_(console), T_(T), F_(F), n_(n) {
    assert(n <= kMaxCycleNodes);
}

bool RoundCounter::orderRound() {
    computeCycleOrder(T_, n_, order_);
    return order_.ord.K > 0;
}

void RoundCounter::writeProgressUpTo(long long count) const {
    for (long long k = kCountingEvery; k <= count; k += kCountingEvery) {
        writeCountingProgress(console_, k);
    }
}

long long RoundCounter::countOnly(int threads) {
    const ArcFloor positive{0.0f, true};
    long long count = 0;
    if (threads > 1) {
        buildGraph(search_.graph, T_, order_.ord, positive);
        count = countOnThreads(search_.graph, order_.ord, positive, threads);
        writeProgressUpTo(count);
    } else {
        countCycles(search_, T_, order_.ord, positive,
                    [&] { writeCountingProgress(console_, ++count); });
    }
    return count;
}

long long RoundCounter::countWithValues(CycleSearch search) {
    std::fill(ARCCNT_.begin(), ARCCNT_.begin() + Arc{n_, n_}.code() + 1, 0LL);
    RoundValues& v = values_;
    v = RoundValues{};
    long long count = 0;
    int best = 0;  // the code of BEST
    enumerateCycles(search, search_, T_, order_.ord, ArcFloor{0.0f, true},
                    [&](const FoundCycle& c) {
                        const int code = c.weak().code();
                        if (count == 0 || c.weakFlow < v.WMIN) {
                            v.WMIN = c.weakFlow;
                            best = code;
                            v.SUMP = 0.0f;
                            v.MAXLEN = c.L;
                        }
                        if (code == best) {
                            v.SUMP = v.SUMP + cycleProduct(F_, c.nodes, c.L);
                            v.MAXLEN = std::max(v.MAXLEN, c.L);
                        }
                        ++ARCCNT_[static_cast<std::size_t>(code)];
                        writeCountingProgress(console_, ++count);
                        return true;
                    });
    v.BEST = Arc::decode(best);
    v.counted = ARCCNT_[static_cast<std::size_t>(best)];
    return count;
}

// The round's values without counting every cycle. The smallest weak-arc flow of the round is the
// smallest flow of an arc on a cycle (an arc within a strongly connected set of compartments,
// self-loops included). The arc that carries it is BEST; when several do, BEST is the weak arc of
// the first cycle found that passes through any of them. SUMP, MAXLEN and the count then come
// from the cycles through BEST whose weak arc is BEST, taken in the order of the search, so that
// SUMP is summed as the counting pass sums it.
void RoundCounter::findWeakestNexus(int threads) {
    const NodeList& ord = order_.ord;
    buildGraph(round_, T_, ord, ArcFloor{0.0f, true});
    setFractions(round_, F_, ord);
    for (int p = 1; p <= ord.K; ++p) position_[ord.node[p]] = p;
    values_ = RoundValues{};
    values_.WMIN = smallestArcsOnCycles();
    const Arc at = tied_.size() == 1 ? tied_.front() : firstCycleWeakArc();
    if (threads > 1 && !at.selfLoop()) {
        nexusValuesOnThreads(at, threads);
    } else {
        nexusValues(at);
    }
}

// The smallest flow on a cycle, and the arcs that carry it (tied_, by position).
float RoundCounter::smallestArcsOnCycles() {
    const NodeList& ord = order_.ord;
    tied_.clear();
    float WMIN = kNoFlow;
    for (int p = 1; p <= ord.K; ++p) {
        for (NodeSet s = round_.succ[p]; s.any();) {
            const int q = s.takeFirst();
            if (!order_.reach[ord.node[q]].test(ord.node[p])) continue;
            const float f = round_.flow[p][q];
            if (tied_.empty() || f < WMIN) {
                WMIN = f;
                tied_.assign(1, Arc{p, q});
            } else if (f == WMIN) {
                tied_.push_back(Arc{p, q});
            }
        }
    }
    return WMIN;
}

// Of the arcs that all carry the round's smallest flow, the weak arc (by position) of the first
// cycle of the search that passes through any of them. That cycle is, for its start S, the first
// of the first cycles through each arc from S; its weak arc, the last of its smallest flows, is
// one of these arcs.
Arc RoundCounter::firstCycleWeakArc() {
    const NodeList& ord = order_.ord;
    std::array<int, kMaxCycleNodes + 2> best{}, seen{};
    for (int S = 1; S <= ord.K; ++S) {
        int bestL = 0;
        Arc bestArc;
        for (Arc at : tied_) {
            int L = 0;
            Arc weak;
            enumerateCyclesThroughStart(search_, round_, ord, S, at, [&](const FoundCycle& c) {
                L = c.L;
                for (int k = 0; k < L; ++k) seen[k] = position_[c.nodes[k]];
                weak = {seen[c.weakArc], seen[(c.weakArc + 1) % L]};
                return false;
            });
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
    return tied_.front();  // not reached: every tied arc lies on a cycle
}

// SUMP, MAXLEN and the count of the cycles through the arc `at` (by position) whose weak arc it
// is, and the number of all the cycles through it.
void RoundCounter::nexusValues(Arc at) {
    RoundValues& v = values_;
    const Arc best = order_.ord.nodesOf(at);
    v.BEST = best;
    enumerateCyclesThrough(search_, round_, order_.ord, at, [&v, best](const FoundCycle& c) {
        ++v.through;
        if (c.weak() == best) {
            ++v.counted;
            v.SUMP = v.SUMP + c.P;
            v.MAXLEN = std::max(v.MAXLEN, c.L);
        }
        return true;
    });
}

// The same values from the pieces of the search through the arc, searched on threads a window of
// pieces at a time; each piece keeps the products of its cycles whose weak arc is BEST, and the
// calling thread adds them to SUMP piece by piece, in the order of the search, so that SUMP is the
// same float sum.
void RoundCounter::nexusValuesOnThreads(Arc at, int threads) {
    using namespace cycle_search_detail;
    constexpr int kDepth = 4;
    constexpr std::size_t kPiecesPerThread = 64;
    struct PieceValues {
        long long through = 0, counted = 0;
        int MAXLEN = 0;
        std::vector<float> P;
    };
    RoundValues& v = values_;
    const Arc best = order_.ord.nodesOf(at);
    v.BEST = best;
    const std::vector<SearchPiece> pieces = throughPieces(round_, at, kDepth);
    std::vector<std::unique_ptr<SearchWork>> work(static_cast<std::size_t>(threads));
    for (auto& w : work) w = std::make_unique<SearchWork>();
    const std::size_t window = kPiecesPerThread * static_cast<std::size_t>(threads);
    std::vector<PieceValues> values(window);
    for (std::size_t from = 0; from < pieces.size(); from += window) {
        const std::size_t to = std::min(pieces.size(), from + window);
        std::atomic<std::size_t> next{from};
        onThreads(threads, [&](int t) {
            SearchWork& w = *work[static_cast<std::size_t>(t)];
            for (std::size_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < to;) {
                const SearchPiece& piece = pieces[k];
                PieceValues& pv = values[k - from];
                pv = PieceValues{};
                auto visit = [&pv, best](const FoundCycle& c) {
                    ++pv.through;
                    if (c.weak() == best) {
                        ++pv.counted;
                        pv.P.push_back(c.P);
                        pv.MAXLEN = std::max(pv.MAXLEN, c.L);
                    }
                    return true;
                };
                throughPiece(w, round_, order_.ord, piece.S, at, piece.prefix.data(), piece.d,
                             piece.branch, visit);
            }
        });
        for (std::size_t k = from; k < to; ++k) {
            const PieceValues& pv = values[k - from];
            v.through += pv.through;
            v.counted += pv.counted;
            for (float P : pv.P) v.SUMP = v.SUMP + P;
            v.MAXLEN = std::max(v.MAXLEN, pv.MAXLEN);
        }
    }
}

// Flows only fall, so the cycles of the next round are those of this round that use no arc whose
// flow has fallen to 0 or below. The cycles broken are those through BEST, and those through each
// other fallen arc but through none counted before it.
long long RoundCounter::cyclesBroken() {
    const NodeList& ord = order_.ord;
    long long broken = values_.through;
    round_.removeArc(positionsOf(values_.BEST));
    for (int p = 1; p <= ord.K; ++p) {
        for (NodeSet s = round_.succ[p]; s.any();) {
            const int q = s.takeFirst();
            if (T_(ord.node[p], ord.node[q]) > 0.0f) continue;
            enumerateCyclesThrough(search_, round_, ord, Arc{p, q}, [&broken](const FoundCycle&) {
                ++broken;
                return true;
            });
            round_.removeArc(Arc{p, q});
        }
    }
    return broken;
}

CountingPass countingPass(std::ostream& console, ConstMatView T, ConstMatView F, int n,
                          CycleSearch search, bool roundValues, int threads) {
    auto counter = std::make_unique<RoundCounter>(console, T, F, n);
    CountingPass pass;
    if (!counter->orderRound()) return pass;
    pass.valued = search == CycleSearch::Reference || roundValues;
    if (pass.valued) {
        pass.cycles = counter->countWithValues(search);
        pass.values = counter->values();
    } else {
        pass.cycles = counter->countOnly(threads);
    }
    return pass;
}

}  // namespace flownet
