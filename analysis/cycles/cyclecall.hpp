// How the cycle routines CYCLES and CYCCNT are called, and what they give back. The programs
// include this alone: it names the search they pass down to both routines.
#pragma once

#include "matview.hpp"
#include "nodeset.hpp"
#include "searchmethod.hpp"

namespace flownet {

// Which cycles a call looks for: the feeding cycles among the living compartments, or every
// cycle of the network, through the non-living compartments too. Only the whole network has its
// cycle distributions written.
enum class CycleMode { Feeding, WholeNetwork };

// What a call did, and its closing statistics when it found cycles: the flow removed from the
// cycles of each length L = 1..n, that flow over the total system throughput, and the Finn cycling
// index, the whole flow removed over the total system throughput.
struct CycleRemoval {
    bool found = false;   // cycles were found: the call ended with the Finn cycling index
    long long count = 0;  // the cycles removed
    Vector<kMaxCycleNodes> cycled{}, normalised{};
    float finn = 0.0f;
};

}  // namespace flownet
