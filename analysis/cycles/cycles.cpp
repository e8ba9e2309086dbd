#include "cycles.hpp"

#include <array>
#include <cassert>
#include <cstdint>
#include <memory>
#include <vector>

#include "cycleorder.hpp"
#include "cyclereport.hpp"
#include "cyclesearch.hpp"
#include "cyclestore.hpp"
#include "layout.hpp"
#include "runend.hpp"

namespace flownet {

namespace {

constexpr const char* kStorageExceeded = "(/,/,3X,'NEXUS STORAGE EXCEEDED',I6,4I3)";
constexpr const char* kNoCycles = "(1X,'NO CYCLES DETECTED',/)";

// listing-all: the first passes of a call, each listed and, once one holds every cycle, removed;
// listing-in-bands: after the first overflow, one band of weak-arc flow listed per pass;
// removal-only: after the last band, rounds of removal without listing.
enum class Phase { ListingAll, ListingInBands, RemovalOnly };

// What a pass leads to: the next band of the round, a new round, or the end of the call.
enum class Next { Band, Round, Done };

// The cycles of a round, as its first pruned pass finds them: the flows stay as they are through
// the passes of a round (a listing changes no flow, and a removal that changes any ends the
// round), so the later passes take their cycles from here instead of searching again, and so
// does the first round of the removal, which begins on the flows of the last listing. A round
// with more cycles than this holds searches in every pass.
constexpr std::size_t kCachedCycles = 1 << 15;
constexpr std::size_t kCachedNodes = 1 << 19;

struct CachedCycle {
    std::uint32_t at = 0;  // where its nodes u1, ..., uL, u1 begin in the cached nodes
    int L = 0;
    int weakArc = 0;
    float weakFlow = 0.0f;
};

// Where a pass stopped when a cycle did not fit the store.
struct Overflow {
    int r = 0;      // the cycle's record number
    int start = 0;  // its first compartment
    int L = 0;      // its arcs
    int last = 0;   // its last compartment before the return
};

// The band of a pass: the cycles whose weak-arc flow lies above LOW and at most THR. A pass that
// overflows lowers the threshold by four fifths of its height above LOW; below the next flow
// above LOW it can fall no further usefully (the last chance); and the listing goes on in bands.
// With the last chance gone, the storage message ends the run.
struct Band {
    float LOW = 0.0f, THR = 0.0f, TNEXT = 0.0f;
    bool lastChance = false;
};

// TMAX and TMIN: the largest and smallest flows of the arcs between cycle nodes.
void arcRange(ConstMatView T, const NodeList& ord, float& TMAX, float& TMIN) {
    bool any = false;
    for (int p = 1; p <= ord.K; ++p) {
        for (int q = 1; q <= ord.K; ++q) {
            float f = T(ord.node[p], ord.node[q]);
            if (!(f > 0.0f)) continue;
            if (!any || f > TMAX) TMAX = f;
            if (!any || f < TMIN) TMIN = f;
            any = true;
        }
    }
}

// The smallest flow of an arc between cycle nodes strictly between lo and hi; hi when none is.
float smallestFlowBetween(ConstMatView T, const NodeList& ord, float lo, float hi) {
    float least = hi;
    for (int p = 1; p <= ord.K; ++p) {
        for (int q = 1; q <= ord.K; ++q) {
            float f = T(ord.node[p], ord.node[q]);
            if (f > 0.0f && f > lo && f < hi && f < least) least = f;
        }
    }
    return least;
}

// One call of CYCLES, round by round. A round sets out from the cycle order of the flows as they
// stand; each of its passes stores the cycles of one band, then lists them or, in the removal,
// removes them. The call keeps its flows and search, the band and phase, the store, the cache of
// the round's cycles and what it has removed. Large: allocate it.
class ListingCall {
public:
    ListingCall(std::ostream& report, MatView T, ConstMatView F, int n, bool feeding,
                CycleSearch search, VecView CYC);

    CycleRemoval run(float TST);

private:
    bool startRound();
    bool runRound();
    Next afterListing();
    Next afterRemoval();
    void removeStore();
    bool lastBand() const { return band_.THR >= TMAX_; }

    bool searchPass(ArcFloor floor, Overflow& over);
    void restartedPass(ArcFloor floor);
    void lowerThreshold(const Overflow& over);
    void keepCycle(const FoundCycle& c);
    void loweringPass(ArcFloor floor);
    void passFromCache(ArcFloor floor);
    bool cache(const FoundCycle& c);

    std::ostream& report_;
    MatView T_;
    ConstMatView F_;
    int n_;
    bool feeding_;
    CycleSearch search_;
    CycleOrder order_;
    SearchWork work_;
    CycleStore store_;
    Vector<kMaxCycleNodes> ownCyc_;
    VecView cyc_;  // the flow removed per cycle length: the caller's CYC, or ownCyc_

    std::vector<CachedCycle> cached_;
    std::vector<int> cachedNodes_;
    bool cacheComplete_ = false;  // cached_ holds every cycle of the flows, in the search order

    Phase phase_ = Phase::ListingAll;
    bool removedAny_ = false;
    CycleRemoval result_;
    // The round: the largest flow between cycle nodes, the band, whether its LOW has been raised
    // above the arc floor of the round, and whether no pass of the round has run yet.
    float TMAX_ = 0.0f;
    Band band_;
    bool raised_ = false;
    bool firstOfRound_ = true;
};

ListingCall::ListingCall(std::ostream& report, MatView T, ConstMatView F, int n, bool feeding,
                         CycleSearch search, VecView CYC)
    : report_(report),
      T_(T),
      F_(F),
      n_(n),
      feeding_(feeding),
      search_(search),
      store_(n),
      cyc_(CYC.data != nullptr ? CYC : ownCyc_.view()) {
    if (search == CycleSearch::Pruned) {
        cached_.reserve(kCachedCycles);
        cachedNodes_.reserve(kCachedNodes);
    }
    for (int L = 1; L <= n; ++L) cyc_(L) = 0.0f;
}

// The rounds until every cycle is removed, then the closing statistics. A call that finds no
// cycle ends at once; after cycles have been removed in earlier rounds, a round without cycles
// closes the call with its statistics like any completed removal.
CycleRemoval ListingCall::run(float TST) {
    for (bool complete = false; !complete;) {
        if (!startRound()) {
            if (removedAny_) break;
            if (!feeding_) writeLayout(report_, kNoCycles);
            return result_;
        }
        complete = runRound();
    }
    cycleStatistics(cyc_, n_, TST, result_);
    writeCycleStatistics(report_, result_, n_, !feeding_);
    result_.found = true;
    return result_;
}

// Round setup: cycle order, arc-weight bounds, threshold and arc floor; false when no cycle is
// left.
bool ListingCall::startRound() {
    computeCycleOrder(T_, n_, order_);
    const NodeList& ord = order_.ord;
    if (ord.K == 0) return false;
    float TMIN = 0.0f;
    TMAX_ = 0.0f;
    arcRange(T_, ord, TMAX_, TMIN);
    band_ = Band{TMIN, TMAX_, smallestFlowBetween(T_, ord, TMIN, kNoFlow)};
    raised_ = false;
    firstOfRound_ = true;
    return true;
}

// The passes of a round, band by band; true when the call is complete.
bool ListingCall::runRound() {
    for (;;) {
        // Search pass, with a lower threshold while the store overflows. The floor of a later
        // band is strict: cycles whose weak arc carries exactly the old threshold were listed in
        // the band before.
        const ArcFloor floor{band_.LOW, raised_};
        if (search_ == CycleSearch::Reference) {
            restartedPass(floor);
        } else {
            loweringPass(floor);
        }
        firstOfRound_ = false;
        const Next next = phase_ != Phase::RemovalOnly ? afterListing() : afterRemoval();
        if (next != Next::Band) return next == Next::Done;

        // The next band: the cycles whose weak-arc flow lies above the old threshold.
        band_.LOW = band_.THR;
        band_.THR = TMAX_;
        band_.TNEXT = smallestFlowBetween(T_, order_.ord, band_.LOW, TMAX_);
        raised_ = true;
    }
}

// A pass that lists: once the last band is listed, a listing that held every cycle is removed
// and ends the call; a listing in bands goes on in rounds of removal alone.
Next ListingCall::afterListing() {
    store_.list(report_, feeding_, result_.nexuses);
    if (!lastBand()) return Next::Band;
    if (phase_ == Phase::ListingAll) {
        removeStore();
        return Next::Done;
    }
    phase_ = Phase::RemovalOnly;
    return Next::Round;
}

// A pass of removal: the call is complete when the store held every cycle left. A pass that
// stored nothing below a lowered threshold would be found again by a new round on the same flows:
// it goes on to the band above it instead.
Next ListingCall::afterRemoval() {
    removeStore();
    removedAny_ = removedAny_ || store_.count() > 0;
    if (lastBand() && !raised_) return Next::Done;
    if (store_.count() > 0 || lastBand()) return Next::Round;
    return Next::Band;
}

void ListingCall::removeStore() {
    cacheComplete_ = false;  // the flows change
    store_.removeAll(T_, F_, cyc_);
    result_.count += store_.count();
}

// One search pass: every cycle whose listed weak-arc flow is at most THR is stored, in the
// order found. Returns false, with the place, at the first cycle that does not fit.
bool ListingCall::searchPass(ArcFloor floor, Overflow& over) {
    store_.clear();
    const float THR = band_.THR;
    return enumerateCycles(CycleSearch::Reference, work_, T_, order_.ord, floor,
                           [&](const FoundCycle& c) {
                               if (c.weakFlow > THR || store_.store(c)) return true;
                               over = {store_.count() + 1, c.nodes[0], c.L, c.nodes[c.L - 1]};
                               return false;
                           });
}

// The pass of a band, restarted with a lower threshold as long as the store overflows, as the
// reference search does it.
void ListingCall::restartedPass(ArcFloor floor) {
    Overflow over;
    while (!searchPass(floor, over)) lowerThreshold(over);
}

// What a pass that overflows does to the band (see Band), and to the phase.
void ListingCall::lowerThreshold(const Overflow& over) {
    if (band_.lastChance) {
        stopWithReportError(report_, kStorageExceeded,
                            {over.r, over.start, over.L, over.last, over.start});
    }
    band_.THR = band_.LOW + 0.2f * (band_.THR - band_.LOW);
    if (band_.THR < band_.TNEXT) band_.lastChance = true;
    if (phase_ == Phase::ListingAll) phase_ = Phase::ListingInBands;
}

// The store of a restarted pass in one pruned enumeration. When a cycle does not fit, the
// threshold is lowered as for a restart, the records above it are dropped and the enumeration
// goes on: the records kept are those the restarted pass would have stored up to this cycle, in
// the same order, and they all fit (a record keeps fitting with a lower number).
void ListingCall::keepCycle(const FoundCycle& c) {
    while (c.weakFlow <= band_.THR && !store_.store(c)) {
        lowerThreshold({store_.count() + 1, c.nodes[0], c.L, c.nodes[c.L - 1]});
        store_.keepAtMost(band_.THR);
    }
}

// A pruned pass. The first pass of a round that lists searches for every cycle of the round and
// keeps them while they fit the cache and the last chance of the band is not taken; once they do
// not, and in every other pass that searches, the search skips the cycles above the threshold.
// (A round of removal alone ends with its first pass as a rule: its cycles are not kept.) While
// the flows are those of a cache that holds every cycle (the later passes of that round, and the
// first of the removal after it), a pass takes its cycles from the cache.
void ListingCall::loweringPass(ArcFloor floor) {
    store_.clear();
    if (cacheComplete_) {
        passFromCache(floor);
        return;
    }
    bool caching = firstOfRound_ && phase_ != Phase::RemovalOnly;
    cached_.clear();
    cachedNodes_.clear();
    float ceiling = caching ? kNoFlow : band_.THR;
    enumerateCycles(
        CycleSearch::Pruned, work_, T_, order_.ord, floor,
        [&](const FoundCycle& c) {
            if (caching) caching = cache(c);
            keepCycle(c);
            // With the last chance taken, the pass holds only the cycles whose weak arc carries
            // the lowest flow, and one more overflow ends the run: the search for those alone
            // (the ceiling) is worth more than a cache that the bands above may never use.
            if (band_.lastChance) caching = false;
            if (!caching) ceiling = band_.THR;
            return true;
        },
        &ceiling);
    cacheComplete_ = caching;
}

// The pass from a cache that holds every cycle: a cycle is found in a band exactly when its
// smallest flow, that of its weak arc, is above the band's floor.
void ListingCall::passFromCache(ArcFloor floor) {
    for (const CachedCycle& k : cached_) {
        if (!floor.admits(k.weakFlow)) continue;
        keepCycle(FoundCycle{k.L, &cachedNodes_[k.at], k.weakArc, k.weakFlow, 0.0f});
    }
}

// Adds the cycle to the cache when it fits; false, and the cache left as it is, when it does not.
bool ListingCall::cache(const FoundCycle& c) {
    const std::size_t at = cachedNodes_.size();
    if (cached_.size() >= kCachedCycles || at + static_cast<std::size_t>(c.L) + 1 > kCachedNodes) {
        return false;
    }
    cached_.push_back({static_cast<std::uint32_t>(at), c.L, c.weakArc, c.weakFlow});
    cachedNodes_.insert(cachedNodes_.end(), c.nodes, c.nodes + c.L + 1);
    return true;
}

}  // namespace

CycleRemoval CYCLES(std::ostream& report, MatView T, ConstMatView F, int NC, CycleMode mode,
                    float TST, CycleSearch search, VecView CYC) {
    assert(NC <= kMaxCycleNodes);
    auto call =
        std::make_unique<ListingCall>(report, T, F, NC, mode == CycleMode::Feeding, search, CYC);
    return call->run(TST);
}

}  // namespace flownet
