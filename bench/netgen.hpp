// A deterministic generator of realistic flow networks for the benchmarks.
//
// Producers take up the inputs; consumers sit at several trophic levels and eat from the levels
// below (omnivory), a few also from their own level or above (feeding loops); every living
// compartment returns flow to one or more non-living pools; the pools pass flow on to other pools
// and feed the detritivores. Each compartment's outputs are fixed as fractions of its throughput
// and the throughputs are solved so that the network is at steady state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace flownet::bench {

struct NetworkShape {
    int living = 20;               // living compartments (producers first)
    int pools = 3;                 // non-living compartments
    int producers = 3;             // living compartments with an input
    int levels = 4;                // trophic levels of the living compartments
    double preyPerConsumer = 2.5;  // mean number of prey of a consumer
    double detritivores = 0.3;     // share of the consumers that also eat from a pool
    double poolsPerLiving = 1.5;   // mean number of pools a living compartment returns flow to
    double poolLinks = 0.5;        // chance of a flow between two pools
    double feedingLoops = 0.05;    // chance that a consumer also eats its own level or above
    std::uint32_t seed = 1;
};

struct GeneratedNetwork {
    std::string title;
    int n = 0, nl = 0;
    std::vector<double> in, ex, re, stock;  // 1-based: entry 0 unused
    std::vector<double> t;                  // flows, t[i * (n + 1) + j] from i to j, 1-based
    double flow(int i, int j) const { return t[static_cast<std::size_t>(i * (n + 1) + j)]; }
};

GeneratedNetwork generateNetwork(const NetworkShape& shape);

// The network file text of a generated network (precision exponent 2: tolerance 0.1).
std::string networkFileText(const GeneratedNetwork& net);

// Number of simple cycles of the network's flow graph (self-loops included), counted up to `limit`.
std::uint64_t countSimpleCycles(const GeneratedNetwork& net, std::uint64_t limit);

}  // namespace flownet::bench
