#include "cyclestore.hpp"

#include "cyclereport.hpp"

namespace flownet {

namespace {

constexpr const char* kFeedingHeading = "('1',22X,'*** EXTRACTION OF FEEDING CYCLES ***',/)";
constexpr const char* kNexusLine = "(/,4X,I3,'-CYCLE NEXUS WITH WEAK ARC (',I2,',',I2,') =',F10.3)";
constexpr const char* kCycleLine = "(1X,I5,'.',1X,20(I2,'-'))";

// The share of a cycle in the flow BW of its nexus's weak arc: P * BW / S, P the product of F
// over the cycle and S the sum of the products of the nexus. A weak arc whose flow rounding has
// left at zero or below removes nothing; when every product underflowed, the members share
// equally.
float cycleShare(float P, float BW, float S, int members) {
    if (!(BW > 0.0f)) return 0.0f;
    if (S == 0.0f) return BW / static_cast<float>(members);
    return P * BW / S;
}

}  // namespace

bool CycleStore::store(const FoundCycle& c) {
    const int r = count_ + 1;
    if (r > kMaxRecords || (r - 1) * W_ + c.L / 4 + 1 > kStoreWords) return false;
    CycleRecord& rec = rec_[r];
    rec.L = c.L;
    rec.weak = c.weak();
    rec.w = c.weakFlow;
    std::uint8_t* row = nodes_[r].data();
    const int* u = c.nodes;
    for (int k = 0; k <= c.L; ++k) row[k] = static_cast<std::uint8_t>(u[k]);
    count_ = r;
    return true;
}

void CycleStore::keepAtMost(float THR) {
    int kept = 0;
    for (int r = 1; r <= count_; ++r) {
        if (rec_[r].w > THR) continue;
        if (++kept < r) {
            rec_[kept] = rec_[r];
            nodes_[kept] = nodes_[r];
        }
    }
    count_ = kept;
}

// The next nexus among the open records: the smallest key flow wins, the first record on ties;
// its members are the open records with exactly that flow and the same arc, in record order.
// Returns the number of members (0 when no record is open).
int CycleStore::chooseNexus() {
    int first = 0;
    for (int r = 1; r <= count_; ++r) {
        if (rec_[r].done) continue;
        if (first == 0 || keyFlow_[r] < keyFlow_[first]) first = r;
    }
    if (first == 0) return 0;
    int m = 0;
    for (int r = first; r <= count_; ++r) {
        if (!rec_[r].done && keyFlow_[r] == keyFlow_[first] && keyArc_[r] == keyArc_[first]) {
            member_[++m] = r;
        }
    }
    return m;
}

void CycleStore::list(std::ostream& report, bool feeding, NexusTable& table) {
    if (count_ > 0 && feeding) writeLayout(report, kFeedingHeading);
    for (int r = 1; r <= count_; ++r) {
        rec_[r].done = false;
        keyFlow_[r] = rec_[r].w;
        keyArc_[r] = rec_[r].weak;
    }
    while (int m = chooseNexus()) {
        const CycleRecord& head = rec_[member_[1]];
        writeLayout(report, kNexusLine, {m, head.weak.tail, head.weak.head, head.w});
        Nexus* nexus = table.add(head.weak.tail, head.weak.head, head.w, m);
        for (int k = 1; k <= m; ++k) {
            int r = member_[k];
            writeCycleLine(report, kCycleLine, ++listed_, nodes_[r].data(), rec_[r].L, items_);
            table.addCycle(nexus, listed_, nodes_[r].data(), rec_[r].L);
            rec_[r].done = true;
        }
    }
}

// The removal goes nexus by nexus; the weak arc of each open record is found afresh from the
// current flows before every nexus.
void CycleStore::removeAll(MatView T, ConstMatView F, VecView cyc) {
    for (int r = 1; r <= count_; ++r) rec_[r].done = false;
    for (;;) {
        findRemovalKeys(T);
        const int m = chooseNexus();
        if (m == 0) return;
        removeNexus(T, F, cyc, m);
    }
}

// The key of each open record in a removal: the weak arc as the flows now stand, the first
// smallest of the path (the listing takes the last), and its flow.
void CycleStore::findRemovalKeys(ConstMatView T) {
    for (int r = 1; r <= count_; ++r) {
        if (rec_[r].done) continue;
        const std::uint8_t* u = nodes_[r].data();
        float least = T(u[0], u[1]);
        int k0 = 0;
        for (int k = 1; k < rec_[r].L; ++k) {
            float f = T(u[k], u[k + 1]);
            if (f < least) {
                least = f;
                k0 = k;
            }
        }
        keyFlow_[r] = least;
        keyArc_[r] = {u[k0], u[k0 + 1]};
    }
}

// Removes the nexus of the records member_[1..members]: the weak arc's flow BW is split among
// them by their shares; each share is taken off every arc of its cycle and added to CYC(L) once
// per arc; the weak arc is then set to exactly 0.
void CycleStore::removeNexus(MatView T, ConstMatView F, VecView cyc, int members) {
    const int first = member_[1];
    const float BW = keyFlow_[first];
    float S = 0.0f;
    for (int k = 1; k <= members; ++k) {
        int r = member_[k];
        P_[k] = cycleProduct(F, nodes_[r].data(), rec_[r].L);
        S = S + P_[k];
    }
    for (int k = 1; k <= members; ++k) {
        int r = member_[k];
        const int L = rec_[r].L;
        const std::uint8_t* u = nodes_[r].data();
        float AMT = cycleShare(P_[k], BW, S, members);
        for (int j = 0; j < L; ++j) {
            T(u[j], u[j + 1]) = T(u[j], u[j + 1]) - AMT;
            cyc(L) = cyc(L) + AMT;
        }
        rec_[r].done = true;
    }
    T(keyArc_[first].tail, keyArc_[first].head) = 0.0f;
}

}  // namespace flownet
