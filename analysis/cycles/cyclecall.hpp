// How the cycle routines CYCLES and CYCCNT are called, and what they give back. The programs
// include this alone: it names the search they pass down to both routines.
#pragma once

#include <cstddef>
#include <vector>

#include "matview.hpp"
#include "nodeset.hpp"
#include "searchmethod.hpp"

namespace flownet {

// Which cycles a call looks for: the feeding cycles among the living compartments, or every
// cycle of the network, through the non-living compartments too. Only the whole network has its
// cycle distributions written.
enum class CycleMode { Feeding, WholeNetwork };

// A cycle as the report lists it: its number in the call and its nodes u1, ..., uL.
struct ListedCycle {
    long long number = 0;
    std::vector<int> nodes;
};

// A nexus as the report lists it: its weak arc and that arc's flow, the cycles counted in it and
// (CYCCNT) removed with it, and the cycles listed under it.
struct Nexus {
    int from = 0, to = 0;
    float flow = 0.0f;
    long long counted = 0;
    long long removed = -1;  // -1: not told by nexus (CYCLES removes by nexuses of its own)
    std::vector<ListedCycle> cycles;
};

// The nexuses of a call, held up to a bound: a very cyclic network lists more cycles than a table
// should hold. Past kNexusLimit nexuses no more are held; past kCycleLimit listed cycles the
// nexuses are held without their cycles. `complete` tells whether nothing was left out.
struct NexusTable {
    static constexpr std::size_t kNexusLimit = 100000;
    static constexpr long long kCycleLimit = 10000;
    std::vector<Nexus> nexuses;
    long long cyclesHeld = 0;
    bool complete = true;

    // A new nexus, or null beyond the bound.
    Nexus* add(int from, int to, float flow, long long counted) {
        if (nexuses.size() >= kNexusLimit) {
            complete = false;
            return nullptr;
        }
        nexuses.push_back({from, to, flow, counted, -1, {}});
        return &nexuses.back();
    }
    // A listed cycle of the nexus: the nodes u1, ..., uL.
    template <class Node>
    void addCycle(Nexus* nexus, long long number, const Node* nodes, int L) {
        if (nexus == nullptr) return;
        if (cyclesHeld >= kCycleLimit) {
            complete = false;
            return;
        }
        ++cyclesHeld;
        nexus->cycles.push_back({number, std::vector<int>(nodes, nodes + L)});
    }
};

// What a call did, and its closing statistics when it found cycles: the flow removed from the
// cycles of each length L = 1..n, that flow over the total system throughput, and the Finn cycling
// index, the whole flow removed over the total system throughput.
struct CycleRemoval {
    bool found = false;   // cycles were found: the call ended with the Finn cycling index
    long long count = 0;  // the cycles removed
    Vector<kMaxCycleNodes> cycled{}, normalised{};
    float finn = 0.0f;
    NexusTable nexuses{};  // the nexuses as the report lists them
};

}  // namespace flownet
