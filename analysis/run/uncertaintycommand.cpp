#include "uncertaintycommand.hpp"

#include "commandline.hpp"
#include "csvtext.hpp"
#include "networkformat.hpp"
#include "uncertaintycsv.hpp"

namespace flownet {

void UncertaintyCommand::addOptions(CLI::App& app) {
    app.add_option("--ranges", rangesName_, "CSV table of the low and high value of flows");
    app.add_option("--plus-minus", plusMinus_, "every other flow within this percent of its value")
        ->check(CLI::Range(0.0, 1e6));
    app.add_option("--samples", options_.samples, "plausible networks to sample (default 10000)")
        ->check(CLI::Range(1L, 100000000L));
    app.add_option("--chains", options_.chains, "Markov chains of the sampling (default 4)")
        ->check(CLI::Range(1, 1024));
    app.add_option("--burn-in", options_.burnIn, "steps of each chain before it samples (default 1000)")
        ->check(CLI::Range(0L, 1000000000L));
    app.add_option("--thin", options_.thin, "steps between two samples (default 1)")
        ->check(CLI::Range(1L, 1000000L));
    app.add_option("--seed", options_.seed, "seed of the chains (default 1)");
    app.add_option("--uncertainty-csv", csvName_, "summary of the uncertainty analysis as CSV");
    app.add_option("--samples-out", samplesName_,
                   "every sampled network as CSV; {n}: one file per network");
}

std::string UncertaintyCommand::prepare(int threads, std::ostream& progress,
                                        const std::string& program) {
    options_.threads = threads;
    options_.progress = &progress;
    options_.progressPrefix = program + ": ";
    options_.keepPoints = wantsSamples();
    if (!active() && (!csvName_.empty() || wantsSamples())) {
        return "--uncertainty-csv and --samples-out need --ranges or --plus-minus";
    }
    if (rangesName_.empty()) return "";
    try {
        ranges_ = parseRanges(rangesName_, readNetworkBytes(rangesName_));
    } catch (const FormatError& e) {
        return e.message;
    } catch (const RangeError& e) {
        return e.message;
    }
    return "";
}

void UncertaintyCommand::openOutputs(RunOutputs& outputs,
                                     std::vector<std::pair<std::string, std::string>>& numbered) {
    outputs_ = &outputs;
    if (!csvName_.empty()) {
        csv_ = &outputs.open("--uncertainty-csv", csvName_);
        writeUncertaintyHeader(csv_->stream());
    }
    if (!wantsSamples()) return;
    if (isNumberedName(samplesName_)) {
        outputs.check("--samples-out", numberedName(samplesName_, 1), numbered);
        numbered.emplace_back("--samples-out", numberedName(samplesName_, 1));
    } else {
        samples_ = &outputs.open("--samples-out", samplesName_);
    }
}

std::optional<UncertaintyResult> UncertaintyCommand::analyse(const NetworkResults& r,
                                                             int networkNumber,
                                                             std::pair<int, std::string>& problem) {
    const NetworkValues net{r.N,     r.NL,    r.names, r.stocks,
                            r.IN,    r.EX,    r.RE,    r.flows,
                            r.migratory != nullptr, r.feeding->found};
    std::vector<Unknown> unknowns;
    try {
        unknowns = unknownsOf(net, ranges_ ? &*ranges_ : nullptr, plusMinus_);
    } catch (const RangeError& e) {
        problem = {kStatusFailure, e.message + " (network " + std::to_string(r.ordinal) + " of " +
                                       r.file + ")"};
        return std::nullopt;
    }
    UncertaintyResult u = analyseUncertainty(net, std::move(unknowns), options_);
    if (!u.polytope.feasible) {
        problem = {kStatusLook, r.file + " (network " + std::to_string(r.ordinal) +
                                    "): " + infeasibleMessage(u, *r.names)};
        return u;
    }
    if (csv_ != nullptr) writeUncertaintyRows(csv_->stream(), r.file, r.ordinal, u);
    if (wantsSamples()) {
        if (isNumberedName(samplesName_)) {
            if (samples_ != nullptr) samples_->finishWriting();
            samples_ = &outputs_->open("--samples-out", numberedName(samplesName_, networkNumber));
        }
        writeSamples(samples_->stream(), r.file, r.ordinal, u);
    }
    return u;
}

}  // namespace flownet
