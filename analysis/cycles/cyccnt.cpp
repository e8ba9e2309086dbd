#include "cyccnt.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <memory>
#include <vector>

#include "arcrecords.hpp"
#include "cyclereport.hpp"
#include "cyclesearch.hpp"
#include "layout.hpp"
#include "roundcount.hpp"

namespace flownet {

namespace {

constexpr const char* kNexusProgress = "(1X,I10,2X,'NEXUS CYCLES AND COUNTING.')";
constexpr const char* kNexusLine = "(/,4X,I8,'-CYCLE NEXUS WITH WEAK ARC (',I2,',',I2,') =',E12.4)";
constexpr const char* kCycleLine = "(1X,I8,'.',1X,20(I2,'-'))";
constexpr const char* kBadSum = "(/,2X,'BAD SUM CHECK = ',F9.6,/)";
constexpr const char* kCountsDiffer = "(/,2X,'NEXUS COUNTS DO NOT AGREE.',2I8,/)";
constexpr const char* kNoCycles = "(/,15X,'NO CYCLES DETECTED',/)";
constexpr const char* kTotal = "(/,2X,'A TOTAL OF ',I8,1X,'CYCLES REMOVED.',/)";

constexpr long long kNexusEvery = 5000;
constexpr long long kListedPerNexus = 50;

// One call of CYCCNT, round by round: each round is counted (RoundCounter), then its nexus is
// listed and removed. The call keeps its flows and search, the cycles removed so far, which
// number the cycle lines, and, with the pruned search, the number of cycles left, known in
// advance for every round after the first. Large: allocate it.
class CountedCall {
public:
    CountedCall(std::ostream& report, std::ostream& console, MatView T, ConstMatView F,
                ConstVecView X, int n, CycleSearch search, VecView CYC, int threads,
                long long threadedFrom)
        : report_(report),
          console_(console),
          T_(T),
          F_(F),
          X_(X),
          n_(n),
          search_(search),
          threads_(threads),
          threadedFrom_(threadedFrom),
          counter_(console, T, F, n),
          cyc_(CYC.data != nullptr ? CYC : ownCyc_.view()) {}

    void start();
    bool countRound();
    void removeNexus();
    CycleRemoval finish(CycleMode mode, float TST);

private:
    void removeSelfLoop(int A);
    // The counts and the sum of the shares of the cycles of a nexus removed so far.
    struct NexusSums {
        long long NREM = 0;
        float TOTP = 0.0f;
    };
    void removeNexusCycles(const RoundValues& round);
    template <class FlowOf>
    float removeCycle(const RoundValues& round, float part, const int* nodes, int L, FlowOf&& flow,
                      NexusSums& sums);
    void removeFromRecords(const RoundValues& round, NexusSums& sums);
    void nexusCandidates(Arc nexus, int H);

    std::ostream& report_;
    std::ostream& console_;
    MatView T_;
    ConstMatView F_;
    ConstVecView X_;
    int n_;
    CycleSearch search_;
    int threads_;
    long long threadedFrom_;
    RoundCounter counter_;
    NodeList candidates_;
    Vector<kMaxCycleNodes> ownCyc_;
    VecView cyc_;  // the flow removed per cycle length: the caller's CYC, or ownCyc_
    std::vector<Item> items_;
    NexusTable table_;     // the nexuses as listed
    Nexus* nexus_ = nullptr;  // the nexus of the round
    long long TOTAL_ = 0;  // the cycles removed in the call
    bool removed_ = false;
    long long count_ = -1;  // the cycles of the round; with the pruned search known in advance
};

// The flows, rebuilt from the fractions and throughputs, and nothing removed yet.
void CountedCall::start() {
    for (int j = 1; j <= n_; ++j) {
        for (int i = 1; i <= n_; ++i) T_(i, j) = F_(i, j) * X_(i);
    }
    for (int L = 1; L <= n_; ++L) cyc_(L) = 0.0f;
}

// The round's setup and values; false when no cycle is left. The reference search counts every
// cycle of every round; the pruned search counts them in the first round only and knows the count
// of a later round from the cycles the round before it broke.
bool CountedCall::countRound() {
    if (!counter_.orderRound()) return false;
    if (search_ == CycleSearch::Reference) {
        counter_.countWithValues(search_);
        return true;
    }
    if (count_ < 0) {
        count_ = counter_.countOnly(threads_);
    } else {
        counter_.writeProgressUpTo(count_);
    }
    counter_.findWeakestNexus(count_ >= threadedFrom_ ? threads_ : 1);
    return true;
}

// The nexus of the round: its line, then its cycles removed, and with the pruned search the count
// of the next round.
void CountedCall::removeNexus() {
    const RoundValues& round = counter_.values();
    const int A = round.BEST.tail, B = round.BEST.head;
    writeLayout(report_, kNexusLine, {round.counted, A, B, F_(A, B) * X_(A)});
    nexus_ = table_.add(A, B, F_(A, B) * X_(A), round.counted);
    removed_ = true;
    if (round.BEST.selfLoop()) {
        removeSelfLoop(A);
    } else {
        removeNexusCycles(round);
    }
    if (search_ == CycleSearch::Pruned) count_ -= counter_.cyclesBroken();
}

// A self-loop is its own nexus.
void CountedCall::removeSelfLoop(int A) {
    ++TOTAL_;
    cyc_(1) = cyc_(1) + T_(A, A);
    const int loop[2] = {A, A};
    writeCycleLine(report_, kCycleLine, TOTAL_, loop, 1, items_);
    table_.addCycle(nexus_, TOTAL_, loop, 1);
    if (nexus_ != nullptr) nexus_->removed = 1;
    T_(A, A) = 0.0f;
}

// The nexus of the arc (A, B): its cycles over the candidates, each removed as it is found and
// the first 50 listed, then the arc set to 0 and the sums checked. A large nexus on threads is
// searched ahead and removed from the records of the search, with the same result.
void CountedCall::removeNexusCycles(const RoundValues& round) {
    nexusCandidates(round.BEST, round.MAXLEN / 2);
    NexusSums sums;
    if (search_ == CycleSearch::Pruned && threads_ > 1 && round.through >= threadedFrom_) {
        removeFromRecords(round, sums);
    } else {
        enumerateArcCycles(search_, counter_.search(), T_, F_, candidates_, ArcFloor{0.0f, true},
                           [&](const FoundCycle& c) {
                               const float part = round.SUMP != 0.0f
                                                      ? c.P / round.SUMP
                                                      : 1.0f / static_cast<float>(round.counted);
                               return LoweredCycle{
                                   true, removeCycle(round, part, c.nodes, c.L,
                                                     [&c](int k) -> float& { return *c.flows[k]; },
                                                     sums)};
                           });
    }
    T_(round.BEST.tail, round.BEST.head) = 0.0f;
    if (nexus_ != nullptr) nexus_->removed = sums.NREM;
    if (sums.TOTP > 1.00001f) writeLayout(report_, kBadSum, {sums.TOTP});
    if (sums.NREM != round.counted) writeLayout(report_, kCountsDiffer, {sums.NREM, round.counted});
}

// One cycle of the nexus removed: its share `part` of the weak arc's flow taken off each of its
// arcs, flow(k) being where the flow of arc k is kept, and its line written when it is among the
// first 50. Returns the least flow left on an arc of the cycle (a NaN, should one arise, counts as
// the least).
template <class FlowOf>
float CountedCall::removeCycle(const RoundValues& round, float part, const int* nodes, int L,
                               FlowOf&& flow, NexusSums& sums) {
    sums.TOTP = sums.TOTP + part;
    const float AMT = part * round.WMIN;
    float removedFlow = cyc_(L);
    float least = kNoFlow;
    for (int k = 0; k < L; ++k) {
        const float left = flow(k) - AMT;
        flow(k) = left;
        if (!(left > least)) least = left;
        removedFlow = removedFlow + AMT;
    }
    cyc_(L) = removedFlow;
    ++TOTAL_;
    if (++sums.NREM % kNexusEvery == 0) writeLayout(console_, kNexusProgress, {sums.NREM});
    if (sums.NREM <= kListedPerNexus) {
        writeCycleLine(report_, kCycleLine, TOTAL_, nodes, L, items_);
        table_.addCycle(nexus_, TOTAL_, nodes, L);
    }
    return least;
}

// The nexus removed from the records of its search on the flows at its start, applied in order.
// Flows only fall within a nexus, and the live search uses an arc when its flow is positive as the
// path is first extended over it; so the live sequence of cycles is the recorded one with every
// cycle dropped that extends the path over an arc whose flow has by then fallen to 0 or below (the
// first arc, the weak arc, is never tested). The arcs a cycle shares with the one recorded before
// it were tested with that one: those that passed are not tested again; one that failed fails
// again. No arc needs testing while the flow taken off so far cannot have brought any arc of the
// nexus down to 0: a chain of m float subtractions of a_1..a_m from f leaves at least
// f (1 - u)^m - (a_1 + ... + a_m) (u = 2^-24), so the tests are skipped, block by block, as long
// as f_min (1 - m u) exceeds all that the blocks applied so far take off, f_min being the least
// flow of an arc of the nexus other than the weak arc and m the number of cycles.
void CountedCall::removeFromRecords(const RoundValues& round, NexusSums& sums) {
    const int A = round.BEST.tail, B = round.BEST.head;
    ArcGraph& g = counter_.search().graph;
    buildGraph(g, T_, candidates_, ArcFloor{0.0f, true});
    setFractions(g, F_, candidates_);
    float fMin = kNoFlow;
    for (int p = 1; p <= g.K; ++p) {
        for (NodeSet heads = g.succ[p]; heads.any();) {
            const int q = heads.takeFirst();
            if (p != q && !(p == 1 && q == 2) && g.flow[p][q] < fMin) fMin = g.flow[p][q];
        }
    }
    constexpr double u = 0x1p-24;
    double takenOff = 0.0;  // an upper bound of what the cycles applied so far take off
    bool testing = false;
    std::array<int, kMaxCycleNodes + 2> last{};  // the cycle recorded before, its L + 1 nodes
    int lastL = 0, passed = 0;  // its number of arcs, and of those that passed (all when removed)
    const auto flowOf = [this](const int* nodes) {
        return [this, nodes](int k) -> float& { return T_(nodes[k], nodes[k + 1]); };
    };
    recordArcCycles(g, candidates_, round.SUMP, round.counted, threads_,
                    [&](const CycleBlock& block) {
        if (!testing) {
            takenOff += block.shareSum() * static_cast<double>(round.WMIN) * (1.0 + 1e-9);
            const double m = static_cast<double>(sums.NREM + block.count());
            testing = !(static_cast<double>(fMin) * (1.0 - m * u) > takenOff);
        }
        if (!testing) {
            block.forEach(A, B, [&](float part, const int* nodes, int L) {
                removeCycle(round, part, nodes, L, flowOf(nodes), sums);
                std::copy(nodes, nodes + L + 1, last.begin());
                lastL = passed = L;
            });
            return;
        }
        block.forEach(A, B, [&](float part, const int* nodes, int L) {
            int shared = 0;  // the arcs shared with the cycle before
            while (shared < std::min(L, lastL) && nodes[shared + 1] == last[shared + 1]) ++shared;
            int k = std::max(1, std::min(shared, passed));
            while (k < L && T_(nodes[k], nodes[k + 1]) > 0.0f) ++k;
            std::copy(nodes, nodes + L + 1, last.begin());
            lastL = L;
            passed = k;
            if (k == L) removeCycle(round, part, nodes, L, flowOf(nodes), sums);
        });
    });
}

// The candidates of the nexus of the arc (A, B): A, B, then, in the cycle order, every other
// cycle node marked both as a successor of B and as a predecessor of A after H rounds of one
// forward and one backward sweep. A compartment marked early in a sweep counts for later ones
// in the same sweep.
void CountedCall::nexusCandidates(Arc nexus, int H) {
    const int A = nexus.tail, B = nexus.head;
    std::array<NodeSet, kMaxCycleNodes + 1> into{}, outOf{};
    for (int i = 1; i <= n_; ++i) {
        for (int j = 1; j <= n_; ++j) {
            if (T_(i, j) > 0.0f) {
                outOf[i].set(j);
                into[j].set(i);
            }
        }
    }
    NodeSet succ = outOf[B], pred = into[A];
    for (int h = 1; h <= H; ++h) {
        for (int j = 1; j <= n_; ++j) {
            if (!succ.test(j) && (into[j] & succ).any()) succ.set(j);
        }
        for (int j = 1; j <= n_; ++j) {
            if (!pred.test(j) && (outOf[j] & pred).any()) pred.set(j);
        }
    }
    const NodeList& ord = counter_.order();
    NodeList& list = candidates_;
    list.K = 2;
    list.node[1] = A;
    list.node[2] = B;
    for (int p = 1; p <= ord.K; ++p) {
        int c = ord.node[p];
        if (c != A && c != B && succ.test(c) && pred.test(c)) list.node[++list.K] = c;
    }
}

// The total and the closing statistics, or the line that no cycle was found.
CycleRemoval CountedCall::finish(CycleMode mode, float TST) {
    assert(search_ == CycleSearch::Reference || !removed_ || count_ == 0);
    if (!removed_) {
        writeLayout(report_, kNoCycles);
        return {};
    }
    writeLayout(report_, kTotal, {TOTAL_});
    CycleRemoval result{true, TOTAL_};
    result.nexuses = std::move(table_);
    cycleStatistics(cyc_, n_, TST, result);
    writeCycleStatistics(report_, result, n_, mode == CycleMode::WholeNetwork);
    return result;
}

}  // namespace

CycleRemoval CYCCNT(std::ostream& report, std::ostream& console, MatView T, ConstMatView F,
                    ConstVecView X, int NC, CycleMode mode, float TST, CycleSearch search,
                    VecView CYC, int threads, long long threadedFrom) {
    assert(NC <= kMaxCycleNodes);
    auto call = std::make_unique<CountedCall>(report, console, T, F, X, NC, search, CYC, threads,
                                             threadedFrom);
    call->start();
    while (call->countRound()) call->removeNexus();
    return call->finish(mode, TST);
}

}  // namespace flownet
