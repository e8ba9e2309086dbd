#include "cycles.hpp"

#include <array>
#include <cassert>
#include <cstdint>
#include <memory>
#include <vector>

#include "cycleorder.hpp"
#include "cyclereport.hpp"
#include "cyclesearch.hpp"
#include "layout.hpp"
#include "runend.hpp"

namespace flownet {

namespace {

// The cycle store: 33,000 words; every record takes floor(NC/4) + 1 of them (four compartment
// numbers to a word) whatever its length, and the tables of weak arcs hold 3,000 records. The
// node lists are kept unpacked; the test for room is the one the packed store makes.
constexpr int kStoreWords = 33000;
constexpr int kMaxRecords = 3000;

constexpr const char* kFeedingHeading = "('1',22X,'*** EXTRACTION OF FEEDING CYCLES ***',/)";
constexpr const char* kNexusLine = "(/,4X,I3,'-CYCLE NEXUS WITH WEAK ARC (',I2,',',I2,') =',F10.3)";
constexpr const char* kCycleLine = "(1X,I5,'.',1X,20(I2,'-'))";
constexpr const char* kStorageExceeded = "(/,/,3X,'NEXUS STORAGE EXCEEDED',I6,4I3)";
constexpr const char* kNoCycles = "(1X,'NO CYCLES DETECTED',/)";

// listing-all: the first passes of a call, each listed and, once one holds every cycle, removed;
// listing-in-bands: after the first overflow, one band of weak-arc flow listed per pass;
// removal-only: after the last band, rounds of removal without listing.
enum class Phase { ListingAll, ListingInBands, RemovalOnly };

struct CycleRecord {
    int L = 0;          // arcs
    int a = 0, b = 0;   // weak arc as listed: the last smallest flow when the cycle was found
    float w = 0.0f;     // its flow then
    bool done = false;  // listed, in a listing; removed, in a removal
};

// The cycles of a round, as its first pruned pass finds them: the flows stay as they are through
// the passes of a round (a listing changes no flow, and a removal that changes any ends the
// round), so the later passes take their cycles from here instead of searching again, and so
// does the first round of the removal, which begins on the flows of the last listing. A round
// with more cycles than this holds searches in every pass.
constexpr std::size_t kCachedCycles = 1 << 15;
constexpr std::size_t kCachedNodes = 1 << 19;

struct CachedCycle {
    std::uint32_t at = 0;  // where its nodes u1, ..., uL, u1 begin in Work::cachedNodes
    int L = 0;
    int weakArc = 0;
    float weakFlow = 0.0f;
};

struct Work {
    CycleOrder order;
    SearchWork search;
    Vector<kMaxCycleNodes> cyc;

    std::vector<CachedCycle> cached;
    std::vector<int> cachedNodes;
    bool cacheComplete = false;  // `cached` holds every cycle of the flows, in the search order

    int count = 0;  // records stored in the pass
    int W = 0;      // words per record
    std::array<CycleRecord, kMaxRecords + 1> rec{};
    // Left uninitialised (the largest part of the work, 387 KiB, mostly never touched): of a
    // row, only the nodes 0..L of the record stored there are read.
    std::array<std::array<std::uint8_t, kMaxCycleNodes + 1>, kMaxRecords + 1> nodes;

    // Nexus keys of the open records (the listed or the current weak arc), and a nexus.
    std::array<float, kMaxRecords + 1> keyFlow{};
    std::array<int, kMaxRecords + 1> keyA{}, keyB{};
    std::array<int, kMaxRecords + 1> member{};
    std::array<float, kMaxRecords + 1> P{};
    std::vector<Item> items;
};

// Where a pass stopped when a cycle did not fit the store.
struct Overflow {
    int r = 0;      // the cycle's record number
    int start = 0;  // its first compartment
    int L = 0;      // its arcs
    int last = 0;   // its last compartment before the return
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

// Stores the found cycle as record r when it fits the store; false when it does not.
bool storeCycle(Work& wk, const FoundCycle& c) {
    const int r = wk.count + 1;
    if (r > kMaxRecords || (r - 1) * wk.W + c.L / 4 + 1 > kStoreWords) return false;
    CycleRecord& rec = wk.rec[r];
    rec.L = c.L;
    rec.a = c.nodes[c.weakArc];
    rec.b = c.nodes[c.weakArc + 1];
    rec.w = c.weakFlow;
    std::uint8_t* row = wk.nodes[r].data();
    const int* u = c.nodes;
    for (int k = 0; k <= c.L; ++k) row[k] = static_cast<std::uint8_t>(u[k]);
    wk.count = r;
    return true;
}

// One search pass: every cycle whose listed weak-arc flow is at most THR is stored, in the
// order found. Returns false, with the place, at the first cycle that does not fit.
bool searchPass(Work& wk, ConstMatView T, CycleSearch how, ArcFloor floor, float THR,
                Overflow& over) {
    wk.count = 0;
    return enumerateCycles(how, wk.search, T, wk.order.ord, floor, [&](const FoundCycle& c) {
        if (c.weakFlow > THR || storeCycle(wk, c)) return true;
        over = {wk.count + 1, c.nodes[0], c.L, c.nodes[c.L - 1]};
        return false;
    });
}

// What a pass that overflows does to the band: the threshold falls by four fifths of its height
// above LOW; below the next flow above LOW it can fall no further usefully (the last chance); and
// the listing goes on in bands. With the last chance gone, the storage message ends the run.
struct Band {
    float LOW = 0.0f, THR = 0.0f, TNEXT = 0.0f;
    bool lastChance = false;
};

void lowerThreshold(std::ostream& report, Band& band, Phase& phase, const Overflow& over) {
    if (band.lastChance) {
        stopWithReportError(report, kStorageExceeded,
                            {over.r, over.start, over.L, over.last, over.start});
    }
    band.THR = band.LOW + 0.2f * (band.THR - band.LOW);
    if (band.THR < band.TNEXT) band.lastChance = true;
    if (phase == Phase::ListingAll) phase = Phase::ListingInBands;
}

// The pass of a band, restarted with a lower threshold as long as the store overflows, as the
// reference search does it.
void restartedPass(std::ostream& report, Work& wk, ConstMatView T, ArcFloor floor, Band& band,
                   Phase& phase) {
    Overflow over;
    while (!searchPass(wk, T, CycleSearch::Reference, floor, band.THR, over)) {
        lowerThreshold(report, band, phase, over);
    }
}

// The same store in one pruned enumeration. When a cycle does not fit, the threshold is lowered
// as for a restart, the records above it are dropped and the enumeration goes on: the records
// kept are those the restarted pass would have stored up to this cycle, in the same order, and
// they all fit (a record keeps fitting with a lower number).
void keepCycle(std::ostream& report, Work& wk, Band& band, Phase& phase, const FoundCycle& c) {
    while (c.weakFlow <= band.THR && !storeCycle(wk, c)) {
        lowerThreshold(report, band, phase, {wk.count + 1, c.nodes[0], c.L, c.nodes[c.L - 1]});
        int kept = 0;
        for (int r = 1; r <= wk.count; ++r) {
            if (wk.rec[r].w > band.THR) continue;
            if (++kept < r) {
                wk.rec[kept] = wk.rec[r];
                wk.nodes[kept] = wk.nodes[r];
            }
        }
        wk.count = kept;
    }
}

// A pruned pass. The first pass of a round that lists searches for every cycle of the round and
// keeps them while they fit the cache and the last chance of the band is not taken; once they do
// not, and in every other pass that searches, the search skips the cycles above the threshold.
// (A round of removal alone ends with its first pass as a rule: its cycles are not kept.) While
// the flows are those of a cache that holds every cycle (the later passes of that round, and the
// first of the removal after it), a pass takes its cycles from the cache: a cycle is found in a
// band exactly when its smallest flow, that of its weak arc, is above the band's floor.
void loweringPass(std::ostream& report, Work& wk, ConstMatView T, ArcFloor floor, Band& band,
                  Phase& phase, bool firstOfRound) {
    wk.count = 0;
    if (wk.cacheComplete) {
        for (const CachedCycle& k : wk.cached) {
            if (!floor.admits(k.weakFlow)) continue;
            keepCycle(report, wk, band, phase,
                      FoundCycle{k.L, &wk.cachedNodes[k.at], k.weakArc, k.weakFlow, 0.0f});
        }
        return;
    }
    bool caching = firstOfRound && phase != Phase::RemovalOnly;
    wk.cached.clear();
    wk.cachedNodes.clear();
    float ceiling = caching ? kNoFlow : band.THR;
    enumerateCycles(
        CycleSearch::Pruned, wk.search, T, wk.order.ord, floor,
        [&](const FoundCycle& c) {
            if (caching) {
                const std::size_t at = wk.cachedNodes.size();
                caching = wk.cached.size() < kCachedCycles &&
                          at + static_cast<std::size_t>(c.L) + 1 <= kCachedNodes;
                if (caching) {
                    wk.cached.push_back(
                        {static_cast<std::uint32_t>(at), c.L, c.weakArc, c.weakFlow});
                    wk.cachedNodes.insert(wk.cachedNodes.end(), c.nodes, c.nodes + c.L + 1);
                }
            }
            keepCycle(report, wk, band, phase, c);
            // With the last chance taken, the pass holds only the cycles whose weak arc carries
            // the lowest flow, and one more overflow ends the run: the search for those alone
            // (the ceiling) is worth more than a cache that the bands above may never use.
            if (band.lastChance) caching = false;
            if (!caching) ceiling = band.THR;
            return true;
        },
        &ceiling);
    wk.cacheComplete = caching;
}

// The next nexus among the open records: the smallest key flow wins, the first record on ties;
// its members are the open records with exactly that flow and the same arc, in record order.
// Returns the number of members (0 when no record is open).
int chooseNexus(Work& wk) {
    int first = 0;
    for (int r = 1; r <= wk.count; ++r) {
        if (wk.rec[r].done) continue;
        if (first == 0 || wk.keyFlow[r] < wk.keyFlow[first]) first = r;
    }
    if (first == 0) return 0;
    int m = 0;
    for (int r = first; r <= wk.count; ++r) {
        if (!wk.rec[r].done && wk.keyFlow[r] == wk.keyFlow[first] && wk.keyA[r] == wk.keyA[first] &&
            wk.keyB[r] == wk.keyB[first]) {
            wk.member[++m] = r;
        }
    }
    return m;
}

// Lists the stored cycles nexus by nexus, in increasing order of weak-arc flow, numbering them on
// from the cycles listed before in the call.
void listStore(std::ostream& report, Work& wk, bool feeding, int& listed) {
    if (wk.count > 0 && feeding) writeLayout(report, kFeedingHeading);
    for (int r = 1; r <= wk.count; ++r) {
        wk.rec[r].done = false;
        wk.keyFlow[r] = wk.rec[r].w;
        wk.keyA[r] = wk.rec[r].a;
        wk.keyB[r] = wk.rec[r].b;
    }
    while (int m = chooseNexus(wk)) {
        const CycleRecord& head = wk.rec[wk.member[1]];
        writeLayout(report, kNexusLine, {m, head.a, head.b, head.w});
        for (int k = 1; k <= m; ++k) {
            int r = wk.member[k];
            writeCycleLine(report, kCycleLine, ++listed, wk.nodes[r].data(), wk.rec[r].L, wk.items);
            wk.rec[r].done = true;
        }
    }
}

// The share of a cycle in the flow BW of its nexus's weak arc.
float cycleShare(float P, float BW, float S, int members) {
    if (!(BW > 0.0f)) return 0.0f;  // rounding has left nothing on the weak arc
    if (S == 0.0f) return BW / static_cast<float>(members);  // every product underflowed
    return P * BW / S;
}

// Removes the stored cycles nexus by nexus. The weak arc of each open record is found afresh
// from the current flows, the first smallest of the path (the listing takes the last). Each
// cycle's share is taken off every one of its arcs and added to CYC(L) once per arc; the weak
// arc is then set to exactly 0.
void removeStore(MatView T, ConstMatView F, Work& wk, VecView cyc) {
    wk.cacheComplete = false;  // the flows change
    for (int r = 1; r <= wk.count; ++r) wk.rec[r].done = false;
    for (;;) {
        for (int r = 1; r <= wk.count; ++r) {
            if (wk.rec[r].done) continue;
            const std::uint8_t* u = wk.nodes[r].data();
            float least = T(u[0], u[1]);
            int k0 = 0;
            for (int k = 1; k < wk.rec[r].L; ++k) {
                float f = T(u[k], u[k + 1]);
                if (f < least) {
                    least = f;
                    k0 = k;
                }
            }
            wk.keyFlow[r] = least;
            wk.keyA[r] = u[k0];
            wk.keyB[r] = u[k0 + 1];
        }
        const int m = chooseNexus(wk);
        if (m == 0) return;
        const int first = wk.member[1];
        const float BW = wk.keyFlow[first];
        float S = 0.0f;
        for (int k = 1; k <= m; ++k) {
            int r = wk.member[k];
            wk.P[k] = cycleProduct(F, wk.nodes[r].data(), wk.rec[r].L);
            S = S + wk.P[k];
        }
        for (int k = 1; k <= m; ++k) {
            int r = wk.member[k];
            const int L = wk.rec[r].L;
            const std::uint8_t* u = wk.nodes[r].data();
            float AMT = cycleShare(wk.P[k], BW, S, m);
            for (int j = 0; j < L; ++j) {
                T(u[j], u[j + 1]) = T(u[j], u[j + 1]) - AMT;
                cyc(L) = cyc(L) + AMT;
            }
            wk.rec[r].done = true;
        }
        T(wk.keyA[first], wk.keyB[first]) = 0.0f;
    }
}

}  // namespace

CycleRemoval CYCLES(std::ostream& report, MatView T, ConstMatView F, int NC, CycleMode mode,
                    float TST, CycleSearch search, VecView CYC) {
    const bool feeding = mode == CycleMode::Feeding;
    const int n = NC;
    assert(n <= kMaxCycleNodes);
    CycleRemoval result;

    auto wk = std::make_unique_for_overwrite<Work>();
    if (search == CycleSearch::Pruned) {
        wk->cached.reserve(kCachedCycles);
        wk->cachedNodes.reserve(kCachedNodes);
    }
    VecView cyc = CYC.data != nullptr ? CYC : wk->cyc.view();
    for (int L = 1; L <= n; ++L) cyc(L) = 0.0f;
    wk->W = n / 4 + 1;
    const NodeList& ord = wk->order.ord;

    int listed = 0;  // the number of the last cycle listed in this call
    Phase phase = Phase::ListingAll;
    bool removedAny = false;

    for (bool complete = false; !complete;) {
        // Round setup: cycle order, arc-weight bounds, threshold and arc floor.
        computeCycleOrder(T, n, wk->order);
        if (ord.K == 0) {
            // After cycles have been removed in earlier rounds, a round without cycles closes
            // the call with its statistics like any completed removal.
            if (removedAny) break;
            if (!feeding) writeLayout(report, kNoCycles);
            return result;
        }
        float TMAX = 0.0f, TMIN = 0.0f;
        arcRange(T, ord, TMAX, TMIN);
        Band b{TMIN, TMAX, smallestFlowBetween(T, ord, TMIN, kNoFlow)};
        const float& THR = b.THR;
        bool band = false;  // LOW has been raised above the arc floor of the round
        bool firstOfRound = true;

        for (;;) {
            // Search pass, with a lower threshold while the store overflows. The floor of a
            // later band is strict: cycles whose weak arc carries exactly the old threshold
            // were listed in the band before.
            const ArcFloor floor{b.LOW, band};
            if (search == CycleSearch::Reference) {
                restartedPass(report, *wk, T, floor, b, phase);
            } else {
                loweringPass(report, *wk, T, floor, b, phase, firstOfRound);
            }
            firstOfRound = false;

            if (phase != Phase::RemovalOnly) {
                listStore(report, *wk, feeding, listed);
                if (THR >= TMAX && phase == Phase::ListingAll) {
                    removeStore(T, F, *wk, cyc);
                    result.count += wk->count;
                    complete = true;
                    break;
                }
                if (THR >= TMAX) {  // the last band is listed
                    phase = Phase::RemovalOnly;
                    break;
                }
            } else {
                removeStore(T, F, *wk, cyc);
                result.count += wk->count;
                removedAny = removedAny || wk->count > 0;
                if (THR >= TMAX && !band) {  // the store held every cycle left
                    complete = true;
                    break;
                }
                // A pass that stored nothing below a lowered threshold would be found again by
                // a new round on the same flows: go on to the band above it instead.
                if (wk->count > 0 || THR >= TMAX) break;
            }

            // The next band: the cycles whose weak-arc flow lies above the old threshold.
            b.LOW = THR;
            b.THR = TMAX;
            b.TNEXT = smallestFlowBetween(T, ord, b.LOW, TMAX);
            band = true;
        }
    }

    cycleStatistics(cyc, n, TST, result);
    writeCycleStatistics(report, result, n, !feeding);
    result.found = true;
    return result;
}

}  // namespace flownet
