// The cycle store of CYCLES: the cycles of one pass as records, their listing nexus by nexus and
// their removal.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <vector>

#include "cyclecall.hpp"
#include "layout.hpp"
#include "matview.hpp"
#include "nodeset.hpp"
#include "searchwork.hpp"

namespace flownet {

// The store: 33,000 words; every record takes floor(NC/4) + 1 of them (four compartment numbers
// to a word) whatever its length, and the tables of weak arcs hold 3,000 records. The node lists
// are kept unpacked; the test for room is the one the packed store makes.
inline constexpr int kStoreWords = 33000;
inline constexpr int kMaxRecords = 3000;

struct CycleRecord {
    int L = 0;          // arcs
    Arc weak;           // weak arc as listed: the last smallest flow when the cycle was found
    float w = 0.0f;     // its flow then
    bool done = false;  // listed, in a listing; removed, in a removal
};

// The records of a pass, in the order stored, and what a listing or a removal of their nexuses
// keeps. A nexus is the open records whose key (the listed weak arc and its flow, or the weak arc
// and its flow as the removal finds them afresh) is the smallest, taken together when their keys
// are the same. About 500 KiB: allocate it; the nodes of a record are left uninitialised beyond
// its length.
class CycleStore {
public:
    // The store of a call on n compartments.
    explicit CycleStore(int n) : W_(n / 4 + 1) {}

    int count() const { return count_; }
    void clear() { count_ = 0; }
    // Stores the found cycle as the next record when it fits the store; false when it does not.
    bool store(const FoundCycle& c);
    // Drops the records whose listed weak-arc flow lies above THR, keeping the others in order.
    void keepAtMost(float THR);

    // Lists the records nexus by nexus, in increasing order of weak-arc flow, numbering them on
    // from the cycles listed before in the call; in feeding mode under the extraction heading.
    // Each nexus listed goes to `table` too.
    void list(std::ostream& report, bool feeding, NexusTable& table);
    // Removes the cycles of the records from T nexus by nexus, adding the flow removed from each
    // cycle of L arcs to CYC(L).
    void removeAll(MatView T, ConstMatView F, VecView cyc);

private:
    int chooseNexus();
    void findRemovalKeys(ConstMatView T);
    void removeNexus(MatView T, ConstMatView F, VecView cyc, int members);

    int count_ = 0;   // records stored in the pass
    int W_;           // words per record
    int listed_ = 0;  // the number of the last cycle listed in the call
    std::array<CycleRecord, kMaxRecords + 1> rec_{};
    // Left uninitialised (the largest part of the store, 387 KiB, mostly never touched): of a
    // row, only the nodes 0..L of the record stored there are read.
    std::array<std::array<std::uint8_t, kMaxCycleNodes + 1>, kMaxRecords + 1> nodes_;

    // Nexus keys of the open records, and a nexus: its members and their products.
    std::array<float, kMaxRecords + 1> keyFlow_{};
    std::array<Arc, kMaxRecords + 1> keyArc_{};
    std::array<int, kMaxRecords + 1> member_{};
    std::array<float, kMaxRecords + 1> P_{};
    std::vector<Item> items_;
};

}  // namespace flownet
