// The uncertainty analysis of a network: plausible networks sampled within the ranges of its
// flows (polytope.hpp, hitandrun.hpp), each analysed (sampleanalysis.hpp), every quantity
// summarised over the samples (statistics.hpp).
//
// The samples are drawn by a fixed number of chains, each with its own random stream seeded by
// (seed, chain number) and its own burn-in, so that the draws depend on the seed and the number
// of chains only. The chains are shared out over the threads; the results are the same whatever
// the number of threads.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "polytope.hpp"
#include "ranges.hpp"
#include "statistics.hpp"

namespace flownet {

struct UncertaintyOptions {
    long samples = 10000;     // in all, shared out over the chains
    int chains = 4;
    long burnIn = 1000;       // steps of each chain before its first sample
    long thin = 1;            // steps between two samples
    std::uint64_t seed = 1;
    int threads = 1;
    bool keepPoints = false;  // keep every sample's network (for --samples-out)
    std::ostream* progress = nullptr;  // progress lines, prefixed by progressPrefix
    std::string progressPrefix;
};

struct ChainDraws {
    long samples = 0;
    std::vector<double> values;  // samples x quantities, row by row
    std::vector<double> points;  // samples x unknowns, when kept
    std::vector<double> impact;  // samples x n^2: the total mixed trophic impact, row by row
    long steps = 0, moves = 0;
};

// A matrix summarised entry by entry over the samples; entry (i, j) at [(i - 1) n + (j - 1)].
struct MatrixSummary {
    int n = 0;
    std::vector<double> given;             // the network as given (NaN: singular)
    std::vector<QuantitySummary> entries;  // over the samples
    std::vector<double> positive;          // the share of the samples in which it is above 0
};

// The total mixed trophic impact is summarised when samples x n^2 stays within this many values
// (128 MB for the draws: 10,000 samples of up to 40 compartments).
inline constexpr double kImpactValuesLimit = 1 << 24;

struct UncertaintyResult {
    UncertaintyOptions options;
    Polytope polytope;                        // feasible false: nothing sampled
    std::vector<std::string> unknownNames;    // one per unknown
    std::vector<std::string> quantityNames;
    std::vector<double> given;                // each quantity of the network as given
    std::vector<QuantitySummary> summaries;   // each quantity over the samples
    std::vector<ChainDraws> chains;
    std::optional<MatrixSummary> impact;      // the total mixed trophic impact, within the limit
    double acceptance = 0.0;                  // the share of steps that moved
    double seconds = 0.0;                     // the wall time of the sampling
};

// The uncertainty analysis of the network whose unknowns, with their ranges, are `unknowns`.
UncertaintyResult analyseUncertainty(const NetworkValues& net, std::vector<Unknown> unknowns,
                                     const UncertaintyOptions& options);

// The message for a network without a steady state within its ranges.
std::string infeasibleMessage(const UncertaintyResult& r, const std::vector<std::string>& names);

}  // namespace flownet
