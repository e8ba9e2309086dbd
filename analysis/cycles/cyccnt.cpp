#include "cyccnt.hpp"

#include <array>
#include <cassert>
#include <memory>
#include <vector>

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
                ConstVecView X, int n, CycleSearch search, VecView CYC, int threads)
        : report_(report),
          console_(console),
          T_(T),
          F_(F),
          X_(X),
          n_(n),
          search_(search),
          threads_(threads),
          counter_(console, T, F, n),
          cyc_(CYC.data != nullptr ? CYC : ownCyc_.view()) {}

    void start();
    bool countRound();
    void removeNexus();
    CycleRemoval finish(CycleMode mode, float TST);

private:
    void removeSelfLoop(int A);
    void removeNexusCycles(const RoundValues& round);
    void nexusCandidates(Arc nexus, int H);

    std::ostream& report_;
    std::ostream& console_;
    MatView T_;
    ConstMatView F_;
    ConstVecView X_;
    int n_;
    CycleSearch search_;
    int threads_;
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
    counter_.findWeakestNexus();
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
// the first 50 listed, then the arc set to 0 and the sums checked.
void CountedCall::removeNexusCycles(const RoundValues& round) {
    nexusCandidates(round.BEST, round.MAXLEN / 2);
    long long NREM = 0;
    float TOTP = 0.0f;
    enumerateArcCycles(search_, counter_.search(), T_, F_, candidates_, ArcFloor{0.0f, true},
                       [&](const FoundCycle& c) {
                           float part = round.SUMP != 0.0f
                                            ? c.P / round.SUMP
                                            : 1.0f / static_cast<float>(round.counted);
                           TOTP = TOTP + part;
                           float AMT = part * round.WMIN;
                           float removedFlow = cyc_(c.L);
                           for (int k = 0; k < c.L; ++k) {
                               *c.flows[k] = *c.flows[k] - AMT;
                               removedFlow = removedFlow + AMT;
                           }
                           cyc_(c.L) = removedFlow;
                           ++TOTAL_;
                           if (++NREM % kNexusEvery == 0)
                               writeLayout(console_, kNexusProgress, {NREM});
                           if (NREM <= kListedPerNexus) {
                               writeCycleLine(report_, kCycleLine, TOTAL_, c.nodes, c.L, items_);
                               table_.addCycle(nexus_, TOTAL_, c.nodes, c.L);
                           }
                           return true;
                       });
    T_(round.BEST.tail, round.BEST.head) = 0.0f;
    if (nexus_ != nullptr) nexus_->removed = NREM;
    if (TOTP > 1.00001f) writeLayout(report_, kBadSum, {TOTP});
    if (NREM != round.counted) writeLayout(report_, kCountsDiffer, {NREM, round.counted});
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
                    VecView CYC, int threads) {
    assert(NC <= kMaxCycleNodes);
    auto call = std::make_unique<CountedCall>(report, console, T, F, X, NC, search, CYC, threads);
    call->start();
    while (call->countRound()) call->removeNexus();
    return call->finish(mode, TST);
}

}  // namespace flownet
