// The analysis of one plausible network, and the list of the quantities an uncertainty analysis
// summarises.
//
// A quantity is a name and how to read it from the analysis of a network; the list is built once
// per network (its per-compartment entries carry the compartments' names). A new index is one
// more entry of the list (sampleanalysis.cpp).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ascend.hpp"
#include "companion.hpp"
#include "lindeman.hpp"
#include "migratory.hpp"
#include "ranges.hpp"

namespace flownet {

// What is computed for each plausible network: the companion indices in double precision, and the
// information and connectance indices and the effective trophic levels of the report, in single
// precision as the report has them.
struct SampleAnalysis {
    CompanionIndices companion;
    InformationIndices info;
    IndexShares shares;
    float TST = 0.0f;  // total system throughput as the report prints it
    // The effective trophic level of each living compartment, [i - 1]; empty when the living
    // compartments hold feeding cycles (the report's levels are those of the flows left after
    // a cycle search, which the sampling does not run).
    std::vector<double> levels;
};

struct Quantity {
    std::string name;
    std::function<double(const SampleAnalysis&)> value;
};

// The quantities of the network: its compartments' names, and the trophic levels of the living
// ones unless they hold feeding cycles.
std::vector<Quantity> uncertaintyQuantities(const NetworkValues& net);

// The work arrays of the analysis of one network of n compartments, reused from sample to sample.
class SampleAnalyser {
public:
    SampleAnalyser(const NetworkValues& net, const std::vector<Unknown>& unknowns);

    // Analyses the network whose unknowns take the values x (the stocks as given).
    const SampleAnalysis& analyse(const std::vector<double>& x);

private:
    // The effective trophic levels by the stages of the report's trophic aggregation.
    void trophicLevels(ConstVecView IN, ConstMatView flows);

    int n_, nl_;
    const std::vector<Unknown>& unknowns_;
    std::vector<float> stocks_, IN_, EX_, RE_, flows_;
    std::vector<float> T_, F_, G_, X_, R_, C_;
    // The trophic aggregation's arrays (large: on the heap), the migratory inputs when the
    // program leaves them out of the intakes.
    std::unique_ptr<TrophicAggregation> trophic_;
    std::unique_ptr<MigratoryInputs> migratory_;
    SampleAnalysis a_;
};

}  // namespace flownet
