// An analysis program started with arguments: no dialog, the network files and outputs named on
// the command line.
//
//   flowanalysis [options] NETWORK...
//     -o, --report FILE   the reports (default: standard output); "{n}" in the name gives one file
//                         per report the dialog would write (per network file in flowanalysis,
//                         per network in flowanalysis2), numbered from 1 through the whole call
//     --no-report         no report at all
//     --json FILE         the results of every network as one JSON document
//     --summary FILE      one CSV row per network
//     --dot FILE          a Graphviz picture of each network ("{n}": one file per network,
//                         numbered by the networks of the call)
//     --html FILE         the results as one self-contained page ("{n}": one file per network)
//     --min-flow SHARE    pictures: flows below SHARE of TST left out; --levels: --dot draws levels
//     --force             replace existing outputs
//     -q, --quiet         no progress lines
//     --threads N         threads of the uncertainty sampling, and in flowanalysis2 of the cycle
//                         searches (default: every core)
//     --ranges, --plus-minus, --samples, ...
//                         the uncertainty analysis (uncertaintycommand.hpp)
//     --title, --units, --stock-units, --precision-exponent, --non-living
//                         what the files of other formats do not say (networkformat.hpp)
//
// A network file may be a network file of fixed columns or of another format (networkformat.hpp),
// told by its name. What a reader of another format assumed or changed, and a network out of
// steady state, are told on standard error in one line each, unless quiet.
//
// Each network file is read to its end, or to the error that ends it, and the run goes on with the
// next one. Exit status: 0, or 1 when a report holds an error line, or 2 after a usage error or a
// failure of the input or the outputs (the worst of all the files). A failure of an output ends
// the run at once, and then no output takes the place of its target.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "networkformat.hpp"
#include "picture.hpp"
#include "reportcopy.hpp"
#include "outputs.hpp"
#include "results.hpp"
#include "resultsjson.hpp"
#include "textio.hpp"
#include "uncertaintycommand.hpp"

namespace flownet {

class CommandRun {
public:
    // `threadsOption`: the program offers --threads.
    CommandRun(const char* program, const char* description, bool threadsOption, std::ostream& out,
               std::ostream& errors);

    // Parses the arguments and opens the fixed outputs. Returns -1 when the run goes on, else the
    // exit status of a run that ends here (--help, --version, a usage error, an output refused).
    int start(int argc, const char* const* argv);

    // Runs body(input, file) on each network file in turn (file from 1), then closes the outputs.
    // Whatever ends a body, an error line of a report or a failure of the input, is told on
    // standard error and counted in the status; a failure of an output ends the run. Returns the
    // exit status.
    int analyseFiles(const std::function<void(RecordFile&, int)>& body);

    // A network of the file is about to be read; `ordinal` is its place in the file, from 1.
    void networkStarts(RecordFile& input, int ordinal);
    // Its title has been read: returns its number through the whole call, from 1.
    int titleRead();

    // The report stream for report number n (from 1): a new file for each n when the name holds
    // "{n}", the one stream otherwise.
    std::ostream& report(int n);
    // The report being written, or a stream that writes nothing when there is none yet.
    std::ostream& currentReport();
    // Where progress lines go: standard error, or nowhere when quiet.
    std::ostream& progress();
    // The threads the cycle searches may use.
    int threads() const { return threads_; }

    // Writes the network just analysed to the results, the summary and the picture, with where it
    // came from; a network out of steady state is told on standard error, unless quiet.
    void network(NetworkResults r);

private:
    // Checks every output and opens the fixed ones, before anything is written; -1, or the status
    // of a run that ends here.
    int openOutputs(bool json, bool summary, bool dot, bool html);
    void record(int status, const std::string& message, const std::string& file, int network = 0);
    void readFile(std::size_t f, const std::function<void(RecordFile&, int)>& body);
    // Finishes every output, the results last so that they list every problem, and puts them in
    // place unless an output failed (or `failed`). Returns the exit status.
    int finish(bool failed);
    void checkStandardOutput();
    void warnOutOfSteadyState(const NetworkResults& r);
    // With a results page, the report stream `target` as a stream that also keeps a copy of the
    // report for the page; `target` itself otherwise.
    std::ostream& copied(std::ostream& target);
    // A failure of a write through the copy, passed on to the stream it wrote to.
    void passCopyFailure();
    void writeHtml(const NetworkResults& r);

    const char* program_;
    const char* description_;
    bool threadsOption_;
    std::ostream& out_;
    std::ostream& errors_;
    std::ostream nowhere_{nullptr};

    std::vector<std::string> networks_;
    std::string reportName_ = "-", jsonName_, summaryName_, dotName_, htmlName_;
    PictureOptions picture_;
    CopyingBuffer reportCopyBuffer_;
    std::ostream reportCopy_{&reportCopyBuffer_};
    std::ostream* copyTarget_ = nullptr;
    bool noReport_ = false, force_ = false, quiet_ = false;
    int threads_ = 0;
    FormatOptions formatOptions_;
    UncertaintyCommand uncertainty_;
    NetworkOrigin origin_;  // of the network file being read

    std::optional<RunOutputs> outputs_;
    OutputFile *report_ = nullptr, *json_ = nullptr, *summary_ = nullptr, *dot_ = nullptr,
               *html_ = nullptr;
    OutputFile* standardOutput_ = nullptr;  // the output that writes to standard output
    int reportNumber_ = 0;
    int networkNumber_ = 0;  // through the call: the number of {n} in --dot, and in flowanalysis2's -o
    int ordinal_ = 0;        // the place in its file of the network being read
    int networksWritten_ = 0;
    std::vector<RunProblem> problems_;
    int status_ = 0;
};

}  // namespace flownet
