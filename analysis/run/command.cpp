#include "command.hpp"

#include <sstream>
#include <tuple>

#include "commandline.hpp"
#include "parallel.hpp"
#include "resultscsv.hpp"
#include "resultsdot.hpp"
#include "resultshtml.hpp"
#include "runend.hpp"
#include "shortest.hpp"

namespace flownet {

CommandRun::CommandRun(const char* program, const char* description, bool threadsOption,
                       std::ostream& out, std::ostream& errors)
    : program_(program),
      description_(description),
      threadsOption_(threadsOption),
      out_(out),
      errors_(errors) {}

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
    CLI::Option* jsonOption = app.add_option("--json", jsonName_, "results of every network as JSON");
    CLI::Option* summaryOption = app.add_option("--summary", summaryName_, "one CSV row per network");
    CLI::Option* dotOption =
        app.add_option("--dot", dotName_, "Graphviz picture of each network; {n}: one file each");
    CLI::Option* htmlOption =
        app.add_option("--html", htmlName_, "results page with pictures and charts; {n}: one file each");
    app.add_option("--min-flow", picture_.minFlowShare,
                   "pictures: leave out flows below this share of TST (0.01: 1%)")
        ->check(CLI::Range(0.0, 1.0));
    app.add_flag("--levels", picture_.levels, "--dot: draw the trophic levels, not the compartments");
    app.add_flag("--force", force_, "replace existing output files");
    app.add_flag("-q,--quiet", quiet_, "no progress lines");
    addFormatOptions(app, formatOptions_);
    app.add_option("--threads", threads_,
                   threadsOption_
                       ? "threads of the cycle searches and the uncertainty sampling (default: "
                         "every core the process may use)"
                       : "threads of the uncertainty sampling (default: every core the process "
                         "may use)")
        ->check(threadCount());
    uncertainty_.addOptions(app);
    if (const int status = parseArguments(app, argc, argv, out_, errors_); status >= 0) {
        return status;
    }
    if (threads_ < 1) threads_ = availableThreads();
    if (const std::string m = uncertainty_.prepare(threads_, progress(), program_); !m.empty()) {
        errors_ << program_ << ": " << m << '\n';
        return kStatusFailure;
    }
    // Another output on standard output takes the place of the report there.
    if (reportOption->count() == 0 &&
        (jsonName_ == "-" || summaryName_ == "-" || dotName_ == "-" || htmlName_ == "-" ||
         uncertainty_.writesStandardOutput())) {
        noReport_ = true;
    }
    return openOutputs(jsonOption->count() > 0, summaryOption->count() > 0, dotOption->count() > 0,
                       htmlOption->count() > 0);
}

int CommandRun::openOutputs(bool json, bool summary, bool dot, bool html) {
    outputs_.emplace(out_, force_, networks_);
    try {
        // Every output checked, and the fixed ones opened, before anything is written; of a
        // numbered output, its first name.
        const bool numberedReport = !noReport_ && isNumberedName(reportName_);
        const bool numberedDot = dot && isNumberedName(dotName_);
        const bool numberedHtml = html && isNumberedName(htmlName_);
        if (!noReport_ && !numberedReport) report_ = &outputs_->open("--report", reportName_);
        if (json) json_ = &outputs_->open("--json", jsonName_);
        if (summary) summary_ = &outputs_->open("--summary", summaryName_);
        if (dot && !numberedDot) dot_ = &outputs_->open("--dot", dotName_);
        if (html && !numberedHtml) html_ = &outputs_->open("--html", htmlName_);
        std::vector<std::pair<std::string, std::string>> firstNumbered;
        for (const auto& [numbered, option, name] :
             {std::tuple{numberedReport, "--report", &reportName_},
              std::tuple{numberedDot, "--dot", &dotName_},
              std::tuple{numberedHtml, "--html", &htmlName_}}) {
            if (!numbered) continue;
            outputs_->check(option, numberedName(*name, 1), firstNumbered);
            firstNumbered.emplace_back(option, numberedName(*name, 1));
        }
        if (uncertainty_.active()) uncertainty_.openOutputs(*outputs_, firstNumbered);
        for (const auto& output : outputs_->all()) {
            if (output->standardOutput()) standardOutput_ = output.get();
        }
        if (json_ != nullptr) writeJsonHead(json_->stream(), program_);
        if (summary_ != nullptr) writeSummaryHeader(summary_->stream());
        if (html_ != nullptr) writeHtmlHead(html_->stream(), program_);
    } catch (const OutputFailure& e) {
        outputs_->discard();
        errors_ << program_ << ": " << e.message << '\n';
        return kStatusFailure;
    }
    return -1;
}

void CommandRun::record(int status, const std::string& message, const std::string& file,
                        int network) {
    if (status > status_) status_ = status;
    problems_.push_back({file, network, status, message});
    errors_ << program_ << ": " << message << '\n';
}

int CommandRun::analyseFiles(const std::function<void(RecordFile&, int)>& body) {
    bool failed = false;
    try {
        for (std::size_t f = 0; f < networks_.size(); ++f) readFile(f, body);
    } catch (const OutputFailure& e) {
        record(kStatusFailure, e.message, "");
        failed = true;
    }
    return finish(failed);
}

void CommandRun::readFile(std::size_t f, const std::function<void(RecordFile&, int)>& body) {
    const std::string& path = networks_[f];
    RecordFile input;
    ordinal_ = 0;
    reportCopyBuffer_.take();
    try {
        origin_ = openAnalysisInput(input, path, formatOptions_);
        for (const std::string& notice : origin_.notices) {
            if (!quiet_) errors_ << program_ << ": " << path << ": " << notice << '\n';
        }
        body(input, static_cast<int>(f) + 1);
    } catch (const RunEnd& e) {
        if (e.reportError) {
            record(kStatusLook, input.where() + ": " + e.reportLine, path, ordinal_);
        } else if (e.status != 0) {
            record(kStatusFailure, e.line, path, ordinal_);
        }
    }
    checkStandardOutput();
}

void CommandRun::networkStarts(RecordFile& input, int ordinal) {
    ordinal_ = ordinal;
    input.setContext(" (network " + std::to_string(ordinal) + ")");
}

int CommandRun::titleRead() {
    return ++networkNumber_;
}

std::ostream& CommandRun::report(int n) {
    passCopyFailure();
    if (noReport_) return copied(nowhere_);
    if (isNumberedName(reportName_) && (report_ == nullptr || n != reportNumber_)) {
        if (report_ != nullptr) report_->finishWriting();
        report_ = &outputs_->open("--report", numberedName(reportName_, n));
    }
    reportNumber_ = n;
    return copied(report_->stream());
}

std::ostream& CommandRun::currentReport() {
    return copied(report_ != nullptr ? report_->stream() : nowhere_);
}

std::ostream& CommandRun::copied(std::ostream& target) {
    if (htmlName_.empty()) return target;
    if (&target != copyTarget_) {
        passCopyFailure();
        copyTarget_ = &target;
        reportCopyBuffer_.setTarget(target.rdbuf());
    }
    return reportCopy_;
}

void CommandRun::passCopyFailure() {
    if (copyTarget_ == nullptr || !reportCopy_.fail()) return;
    copyTarget_->setstate(std::ios::badbit);
    reportCopy_.clear();
}

std::ostream& CommandRun::progress() {
    return quiet_ ? nowhere_ : errors_;
}

// The source of the results: the format, the units and the numbering of the file.
NetworkSource sourceOf(const NetworkOrigin& origin, const FormatOptions& o, const std::string& title) {
    NetworkSource s;
    s.format = formatWord(origin.format);
    const NetworkUnits units = resolveUnits(origin.units, o, withoutTrailingBlanks(title));
    s.flowUnits = units.flow;
    s.stockUnits = units.stock;
    s.unitsSource = units.source;
    s.givenOrder = origin.numbering.given;
    s.givenNames = origin.numbering.givenNames;
    return s;
}

void CommandRun::warnOutOfSteadyState(const NetworkResults& r) {
    if (quiet_ || r.steady->steady) return;
    std::ostringstream line;
    line << program_ << ": " << r.file << " (network " << r.ordinal
         << "): out of steady state: the largest imbalance, inflow minus outflow, is "
         << shortestText(r.steady->largestImbalance) << " at compartment "
         << r.steady->largestImbalanceAt << " (tolerance " << shortestText(r.tolerance)
         << "); the analysis goes on\n";
    errors_ << line.str();
}

void CommandRun::network(NetworkResults r) {
    const NetworkSource source = sourceOf(origin_, formatOptions_, *r.title);
    r.source = &source;
    warnOutOfSteadyState(r);
    std::optional<UncertaintyResult> uncertainty;
    if (uncertainty_.active()) {
        std::pair<int, std::string> problem{0, ""};
        uncertainty = uncertainty_.analyse(r, networkNumber_, problem);
        if (problem.first != 0) record(problem.first, problem.second, r.file, r.ordinal);
        if (uncertainty && uncertainty->polytope.feasible) r.uncertainty = &*uncertainty;
    }
    ++networksWritten_;
    if (json_ != nullptr) writeJsonNetwork(json_->stream(), r, networksWritten_ == 1);
    if (summary_ != nullptr) writeSummaryRow(summary_->stream(), r);
    if (!dotName_.empty()) {
        if (isNumberedName(dotName_)) {
            if (dot_ != nullptr) dot_->finishWriting();
            dot_ = &outputs_->open("--dot", numberedName(dotName_, networkNumber_));
        }
        writeDot(dot_->stream(), r, picture_);
    }
    if (!htmlName_.empty()) writeHtml(r);
    checkStandardOutput();
}

void CommandRun::writeHtml(const NetworkResults& r) {
    const std::string report = reportCopyBuffer_.take();
    if (!isNumberedName(htmlName_)) {
        writeHtmlNetwork(html_->stream(), r, picture_, networksWritten_, report);
        return;
    }
    if (html_ != nullptr) html_->finishWriting();
    html_ = &outputs_->open("--html", numberedName(htmlName_, networkNumber_));
    writeHtmlHead(html_->stream(), program_);
    writeHtmlNetwork(html_->stream(), r, picture_, 1, report);
    writeHtmlTail(html_->stream(), {});
}

void CommandRun::checkStandardOutput() {
    passCopyFailure();
    // A report streamed to a closed or full standard output ends the run at once rather than at
    // its end.
    if (standardOutput_ != nullptr && out_.fail()) standardOutput_->finishWriting();
}

int CommandRun::finish(bool failed) {
    passCopyFailure();
    const bool htmlTail = html_ != nullptr && !isNumberedName(htmlName_);
    for (const auto& output : outputs_->all()) {
        if (output.get() == json_ || (htmlTail && output.get() == html_)) continue;
        try {
            output->finishWriting();
        } catch (const OutputFailure& e) {
            record(kStatusFailure, e.message, "");
            failed = true;
        }
    }
    if (htmlTail) {
        try {
            writeHtmlTail(html_->stream(), problems_);
            html_->finishWriting();
        } catch (const OutputFailure& e) {
            record(kStatusFailure, e.message, "");
            failed = true;
        }
    }
    if (json_ != nullptr) {
        try {
            writeJsonTail(json_->stream(), problems_);
            json_->finishWriting();
        } catch (const OutputFailure& e) {
            record(kStatusFailure, e.message, "");
            failed = true;
        }
    }
    if (failed) {
        outputs_->discard();
    } else {
        try {
            outputs_->commit();
        } catch (const OutputFailure& e) {
            record(kStatusFailure, e.message, "");
        }
    }
    return status_;
}

}  // namespace flownet
