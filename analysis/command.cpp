#include "command.hpp"

#include "commandline.hpp"
#include "parallel.hpp"
#include "resultscsv.hpp"
#include "resultsdot.hpp"
#include "runend.hpp"

namespace flownet {

CommandRun::CommandRun(const char* program, const char* description, std::ostream& out,
                       std::ostream& errors)
    : program_(program),
      description_(description),
      out_(out),
      errors_(errors),
      report_(out),
      json_(out),
      summary_(out),
      dot_(out) {}

int CommandRun::start(int argc, const char* const* argv) {
    CLI::App app;
    app.name(program_);
    describeProgram(app, description_);
    app.add_option("NETWORK", networks_, "network files to analyse")->required();
    CLI::Option* reportOption =
        app.add_option("-o,--report", reportName_,
                       "report file (default: standard output); {n} in the name: one file per "
                       "report");
    app.add_flag("--no-report", noReport_, "write no report")->excludes(reportOption);
    app.add_option("--json", jsonName_, "results of every network as JSON");
    app.add_option("--summary", summaryName_, "one CSV row per network");
    app.add_option("--dot", dotName_, "Graphviz picture of each network; {n}: one file each");
    app.add_flag("--force", force_, "replace existing output files");
    app.add_flag("-q,--quiet", quiet_, "no progress lines");
    app.add_option("--threads", threads_,
                   "threads of the cycle searches (default: every core the process may use)")
        ->check(CLI::Range(1, 1024));
    if (const int status = parseArguments(app, argc, argv, out_, errors_); status >= 0) {
        return status;
    }
    if (threads_ < 1) threads_ = availableThreads();
    // Another output on standard output takes the place of the report there.
    if (reportOption->count() == 0 &&
        (jsonName_ == "-" || summaryName_ == "-" || dotName_ == "-")) {
        noReport_ = true;
    }
    try {
        checkOutputNames({{"--report", noReport_ ? "" : reportName_},
                          {"--json", jsonName_},
                          {"--summary", summaryName_},
                          {"--dot", dotName_}},
                         force_, networks_);
        if (!jsonName_.empty()) {
            json_.open(jsonName_, force_, networks_);
            writeJsonHead(json_.stream(), program_);
        }
        if (!summaryName_.empty()) {
            summary_.open(summaryName_, force_, networks_);
            writeSummaryHeader(summary_.stream());
        }
        if (!dotName_.empty() && !isNumberedName(dotName_)) dot_.open(dotName_, force_, networks_);
    } catch (const RunEnd& e) {
        errors_ << program_ << ": " << e.line << '\n';
        return kStatusFailure;
    }
    return -1;
}

void CommandRun::record(int status, const std::string& message, const std::string& file) {
    if (status > status_) status_ = status;
    problems_.push_back({file, status, message});
    errors_ << program_ << ": " << message << '\n';
}

void CommandRun::readFile(std::size_t f, const std::function<void(RecordFile&)>& body) {
    const std::string& path = networks_[f];
    try {
        RecordFile input;
        input.openOrStop(path);
        body(input);
    } catch (const RunEnd& e) {
        if (e.reportError) {
            record(kStatusLook, path + ": " + e.reportLine, path);
        } else if (e.status != 0) {
            record(kStatusFailure, e.line, path);
        }
    }
}

std::ostream& CommandRun::report(int n) {
    if (noReport_) return nowhere_;
    if (!report_.isOpen() || (isNumberedName(reportName_) && n != reportNumber_)) {
        report_.open(numberedName(reportName_, n), force_, networks_);
    }
    reportNumber_ = n;
    return report_.stream();
}

std::ostream& CommandRun::currentReport() {
    return report_.isOpen() ? report_.stream() : nowhere_;
}

std::ostream& CommandRun::progress() {
    return quiet_ ? nowhere_ : errors_;
}

void CommandRun::network(const NetworkResults& r) {
    ++networksWritten_;
    if (json_.isOpen() || summary_.isOpen()) {
        const CompanionIndices c = companionIndices(r.N, r.stocks, r.IN, r.EX, r.RE, r.flows);
        if (json_.isOpen()) writeJsonNetwork(json_.stream(), r, c, networksWritten_ == 1);
        if (summary_.isOpen()) writeSummaryRow(summary_.stream(), r, c);
    }
    if (!dotName_.empty()) {
        if (isNumberedName(dotName_)) {
            dot_.open(numberedName(dotName_, networksWritten_), force_, networks_);
        }
        writeDot(dot_.stream(), r);
    }
}

int CommandRun::finish() {
    OutputFile* outputs[] = {&report_, &json_, &summary_, &dot_};
    for (OutputFile* output : outputs) {
        try {
            if (output == &json_ && json_.isOpen()) writeJsonTail(json_.stream(), problems_);
            output->close();
        } catch (const RunEnd& e) {
            record(kStatusFailure, e.line, "");
        }
    }
    return status_;
}

}  // namespace flownet
