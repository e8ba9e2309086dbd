// The cycles through one arc searched ahead on threads and handed, in the order of the search, to
// the calling thread block by block.
//
// The search from position 1 through the arc 1 -> 2 (that of enumerateArcCycles) is cut into
// pieces in its depth-first order (branches.hpp); each piece is searched on the flows as they
// stand, by whichever thread takes it next, into blocks of compact records of its own. The
// calling thread, which also searches pieces, receives the blocks strictly in the order of the
// pieces and of the cycles within each: one hand-over per block of tens of kilobytes, never per
// cycle, and a bounded number of blocks under way at any time.
#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <vector>

#include "arcgraph.hpp"
#include "nodeset.hpp"

namespace flownet {

// Records of cycles through an arc A -> B, one after the other: the share of the cycle (4 bytes),
// its number of arcs L (1 byte), then the compartments u3..uL after A and B (L - 2 bytes).
class CycleBlock {
public:
    static constexpr std::size_t kBytes = 32 * 1024;

    CycleBlock() : bytes_(kBytes) {}

    bool fits(int L) const { return used_ + 5 + static_cast<std::size_t>(L) <= kBytes; }
    void add(float share, const int* nodes, int L) {
        unsigned char* at = bytes_.data() + used_;
        std::memcpy(at, &share, sizeof share);
        at[4] = static_cast<unsigned char>(L);
        for (int k = 2; k < L; ++k) at[3 + k] = static_cast<unsigned char>(nodes[k]);
        used_ += 3 + static_cast<std::size_t>(L);
        ++count_;
        shareSum_ += share;
    }
    void clear() {
        used_ = 0;
        count_ = 0;
        shareSum_ = 0.0;
    }

    long long count() const { return count_; }
    // The sum of the shares, in double precision (exact to far better than a float's rounding).
    double shareSum() const { return shareSum_; }

    // Calls visit(share, nodes, L) for each record in order, nodes[0..L] being A, B, u3, ..., uL,
    // A.
    template <class Visit>
    void forEach(int A, int B, Visit&& visit) const {
        int nodes[kMaxCycleNodes + 2];
        nodes[0] = A;
        nodes[1] = B;
        for (std::size_t at = 0; at < used_;) {
            float share;
            std::memcpy(&share, bytes_.data() + at, sizeof share);
            const int L = bytes_[at + 4];
            for (int k = 2; k < L; ++k) nodes[k] = bytes_[at + 3 + static_cast<std::size_t>(k)];
            nodes[L] = A;
            at += 3 + static_cast<std::size_t>(L);
            visit(share, static_cast<const int*>(nodes), L);
        }
    }

private:
    std::vector<unsigned char> bytes_;
    std::size_t used_ = 0;
    long long count_ = 0;
    double shareSum_ = 0.0;
};

// Searches, on `threads` threads (the calling thread one of them), the cycles of the graph g
// (positions of the list, fractions set) that begin with the arc 1 -> 2, in the order of
// enumerateArcCycles on these flows, the flows never lowered; the share of each cycle is P / SUMP,
// or 1 / count when SUMP is 0. apply(block) is called on the calling thread for every block of
// records, in the order of the cycles. The graph must not change during the call.
void recordArcCycles(const ArcGraph& g, const NodeList& list, float SUMP, long long count,
                     int threads, const std::function<void(const CycleBlock&)>& apply);

}  // namespace flownet
