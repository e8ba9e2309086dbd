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
//     --dot FILE          a Graphviz picture of each network ("{n}": one file per network)
//     --force             replace existing outputs
//     -q, --quiet         no progress lines
//     --threads N         threads of the cycle searches (default: every core the process may use)
//
// Each network file is read to its end, or to the error that ends it, and the run goes on with the
// next one. Exit status: 0, or 1 when a report holds an error line, or 2 after a usage error or a
// failure of the input or the files (the worst of all the files).
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "outputs.hpp"
#include "results.hpp"
#include "resultsjson.hpp"
#include "textio.hpp"

namespace flownet {

class CommandRun {
public:
    CommandRun(const char* program, const char* description, std::ostream& out,
               std::ostream& errors);

    // Parses the arguments and opens the fixed outputs. Returns -1 when the run goes on, else the
    // exit status of a run that ends here (--help, --version, a usage error, an output refused).
    int start(int argc, const char* const* argv);

    const std::vector<std::string>& networks() const { return networks_; }

    // Reads network file f (from 0): opens it and runs `body` on it. Whatever ends the body, an
    // error line of a report or a failure, is told on standard error and counted in the status.
    void readFile(std::size_t f, const std::function<void(RecordFile&)>& body);

    // The report stream for report number n (from 1): a new file for each n when the name holds
    // "{n}", the one stream otherwise.
    std::ostream& report(int n);
    // The report being written, or a stream that writes nothing when there is none yet.
    std::ostream& currentReport();
    // Where progress lines go: standard error, or nowhere when quiet.
    std::ostream& progress();
    // The threads the cycle searches may use.
    int threads() const { return threads_; }

    // Writes one analysed network to the results, the summary and the picture.
    void network(const NetworkResults& r);

    // Closes every output and returns the exit status.
    int finish();

private:
    void record(int status, const std::string& message, const std::string& file);

    const char* program_;
    const char* description_;
    std::ostream& out_;
    std::ostream& errors_;
    std::ostream nowhere_{nullptr};

    std::vector<std::string> networks_;
    std::string reportName_ = "-", jsonName_, summaryName_, dotName_;
    bool noReport_ = false, force_ = false, quiet_ = false;
    int threads_ = 0;

    OutputFile report_, json_, summary_, dot_;
    int reportNumber_ = 0;
    int networksWritten_ = 0;
    std::vector<RunProblem> problems_;
    int status_ = 0;
};

}  // namespace flownet
