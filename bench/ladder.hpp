// The fixed ladder of benchmark workloads: generated networks from about 10^4 to more than 10^7
// simple cycles, of 80 compartments for flowanalysis and 128 for flowanalysis2. The cycle counts
// are those of the whole network as generated (the seed fixes every network).
#pragma once

#include <array>
#include <cstdint>

#include "netgen.hpp"

namespace flownet::bench {

struct Workload {
    const char* name;
    NetworkShape shape;
    std::uint64_t cycles;  // simple cycles of the whole network, counted when the ladder was set
};

// The last workload spreads its weak arcs over many small nexuses, so that flowanalysis lists and
// removes every cycle instead of ending with "NEXUS STORAGE EXCEEDED", as it does on the other
// 80-compartment workloads.
//
// NetworkShape fields: living, pools, producers, levels, prey per consumer, detritivores,
// pools per living compartment, pool links, feeding loops, seed.
inline const std::array<Workload, 12> kLadder = {{
    {"n80-c1e4", {76, 4, 6, 5, 2.0, 0.35, 1.5, 0.3, 0.0, 3}, 9357},
    {"n80-c1e5", {76, 4, 6, 5, 2.5, 0.5, 1.5, 0.3, 0.0, 3}, 81332},
    {"n80-c1e6", {76, 4, 6, 5, 3.5, 0.5, 1.5, 0.3, 0.02, 1}, 1051647},
    {"n80-c1e7", {76, 4, 6, 5, 4.0, 0.5, 1.5, 0.3, 0.02, 1}, 13067625},
    {"n128-c1e4", {122, 6, 10, 6, 2.5, 0.2, 1.5, 0.3, 0.0, 2}, 10678},
    {"n128-c1e5", {122, 6, 10, 6, 2.0, 0.2, 1.5, 0.3, 0.0, 1}, 124825},
    {"n128-c1e6", {122, 6, 10, 6, 2.0, 0.35, 1.5, 0.3, 0.01, 2}, 1200288},
    {"n128-c8e6", {122, 6, 10, 6, 2.0, 0.5, 1.5, 0.3, 0.0, 1}, 8186234},
    {"n128-c2e7", {122, 6, 10, 6, 2.0, 0.55, 1.5, 0.3, 0.0, 1}, 24876806},
    {"n80-spread-c1e4", {76, 4, 8, 3, 3.0, 0.6, 1.5, 0.2, 0.0, 1}, 10765},
    // The shapes of the threads' targets: n128-c2e7 with more detritivores. Their cycles were
    // counted by our own counting pass (on one thread and on two, which agree), not by the
    // independent counter of netgen, which was not run on them.
    {"n128-c7e7", {122, 6, 10, 6, 2.0, 0.65, 1.5, 0.3, 0.0, 1}, 67396490},
    {"n128-c3e8", {122, 6, 10, 6, 2.0, 0.8, 1.5, 0.3, 0.0, 1}, 265650804},
}};

}  // namespace flownet::bench
