// The uncertainty analysis on the command line of the analysis programs:
//
//   --ranges FILE          the range of each flow named in the CSV table (ranges.hpp)
//   --plus-minus P         every other flow within P percent of its value
//   --samples N            plausible networks to sample (default 10000)
//   --chains C             Markov chains that share them out (default 4)
//   --burn-in B            steps of each chain before its first sample (default 1000)
//   --thin T               steps between two samples (default 1)
//   --seed S               the seed of the chains (default 1)
//   --uncertainty-csv FILE the summary of every quantity as CSV
//   --samples-out FILE     every sample's network and quantities as CSV ("{n}": one file per
//                          network, numbered by the networks of the call)
//
// With --ranges or --plus-minus every network of the call is sampled after its analysis; the JSON
// results then hold an "uncertainty" section. A network whose flows admit no steady state within
// their ranges, and a table that names what the network does not hold, are told on standard error
// and counted in the status (1 and 2); the run goes on.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "outputs.hpp"
#include "results.hpp"
#include "uncertainty.hpp"

namespace flownet {

class UncertaintyCommand {
public:
    void addOptions(CLI::App& app);
    bool active() const { return !rangesName_.empty() || plusMinus_ >= 0.0; }
    bool wantsSamples() const { return !samplesName_.empty(); }
    // Whether one of its tables goes to standard output ("-").
    bool writesStandardOutput() const { return csvName_ == "-" || samplesName_ == "-"; }

    // After the parsing: reads the table of ranges; the message of a failure, or "".
    std::string prepare(int threads, std::ostream& progress, const std::string& program);
    // Checks and opens the outputs of the analysis (before anything is written).
    void openOutputs(RunOutputs& outputs, std::vector<std::pair<std::string, std::string>>& numbered);

    // The uncertainty analysis of the network of r; a failure is returned as (status, message).
    std::optional<UncertaintyResult> analyse(const NetworkResults& r, int networkNumber,
                                             std::pair<int, std::string>& problem);

private:
    std::string rangesName_, csvName_, samplesName_;
    double plusMinus_ = -1.0;
    UncertaintyOptions options_;
    std::optional<RangeTable> ranges_;
    RunOutputs* outputs_ = nullptr;
    OutputFile *csv_ = nullptr, *samples_ = nullptr;
};

}  // namespace flownet
