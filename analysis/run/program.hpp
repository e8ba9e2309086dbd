// The run of an analysis program, the same for both: the reading of one network after another,
// in the dialog and on the command line, each network's analysis and its results.
//
// A program says what is its own in a description of this shape:
//
//   struct Program {
//       using Arrays = ...;                // AnalysisArrays<limit>, or a struct derived from it
//       static constexpr const char* name = "...";
//       static constexpr const char* description = "...";   // the first line of --help
//       static constexpr ReportPer reports = ...;            // a report per file or per network
//       static constexpr bool threadsOption = ...;           // it offers --threads
//       int threads = ...;                                    // the threads its searches may use
//       // The analysis of the network just read, its report written to `report`; progress lines
//       // of long searches go to `progress`.
//       void analyse(Arrays& a, std::ostream& report, std::ostream& progress);
//       // The results of the network just analysed.
//       NetworkResults results(const Arrays& a, const std::string& file, int ordinal) const;
//   };
#pragma once

#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "arrays.hpp"
#include "command.hpp"
#include "filedialog.hpp"
#include "netread.hpp"
#include "runend.hpp"
#include "steps.hpp"
#include "textio.hpp"

namespace flownet {

// The reports of a run: one for each network file, or one for each network, asked for (in the
// dialog) after the network's title has been read.
enum class ReportPer { File, Network };

// Runs an analysis program: `body(con, input, report)` does the work and the run ends with the
// program's stop line; however it ends, the report is closed, complete, before the line of the end
// is written. Returns the exit status.
template <class Body>
int runAnalysisProgram(const char* program, std::istream& in, std::ostream& console,
                       std::ostream& errors, Body&& body) {
    RecordFile input;
    ReportFile report;
    return runProgram(
        program, in, console, errors,
        [&](Console& con) {
            body(con, input, report);
            stopOrderly(kStopLine);
        },
        [&] { closeReport(report); });
}

// Reads the title record of the next network and derives the tolerance; false at the end of the
// file. An unreadable title writes "0 ERROR IN TITLE" to `out` and ends the run.
template <int Limit>
bool readNextTitle(RecordFile& input, AnalysisArrays<Limit>& a, std::ostream& out) {
    switch (readTitle(input, a.title, a.K)) {
        case TitleRead::End:
            return false;
        case TitleRead::Unreadable:
            stopWithReportError(out, kTitleError);
        case TitleRead::Ok:
            break;
    }
    a.tolerance = analysisTolerance(a.K);
    return true;
}

// Echoes the title and reads, echoes and checks the rest of the network, keeping the flows as
// read; false at the end of the file.
template <int Limit>
bool readNextNetwork(RecordFile& input, std::ostream& report, AnalysisArrays<Limit>& a) {
    if (!readNetwork(
            input, report, Limit, a.title, a.N, a.NL,
            {a.stocks.view(), a.IN.view(), a.EX.view(), a.RE.view(), a.T.view(), &a.names})) {
        return false;
    }
    for (int j = 1; j <= a.N; ++j) {
        for (int i = 1; i <= a.N; ++i) a.flows(i, j) = a.T(i, j);
    }
    a.feeding = a.whole = CycleRemoval{};
    a.cyclesRemoved = false;
    return true;
}

// Analyses the network just read and builds its results, the companion indices among them: the
// same results in the dialog and on the command line.
template <class Program>
NetworkResults analyseNetwork(Program& p, typename Program::Arrays& a, std::ostream& report,
                              std::ostream& progress, const std::string& file, int ordinal) {
    p.analyse(a, report, progress);
    computeCompanionIndices(a);
    return p.results(a, file, ordinal);
}

// The dialog: the network file, then every network of it with the report file asked for at its
// place. An unreadable title before the first report file is open is told on the console; a
// later one at the end of the report before it.
template <class Program>
void analyseInDialog(Console& con, Program& p, typename Program::Arrays& a, RecordFile& input,
                     ReportFile& report) {
    INFILE(con, input);
    if (Program::reports == ReportPer::File) OUTFIL(con, report, input);
    for (int ordinal = 1;; ++ordinal) {
        std::ostream& titleErrors = report.stream.is_open() ? report.stream : con.out;
        if (!readNextTitle(input, a, titleErrors)) return;
        if (Program::reports == ReportPer::Network) OUTFIL(con, report, input);
        if (!readNextNetwork(input, report.stream, a)) return;
        analyseNetwork(p, a, report.stream, con.out, input.path(), ordinal);
    }
}

// The program started without arguments. Returns the exit status.
template <class Program>
int runDialog(Program& p, std::istream& in, std::ostream& console, std::ostream& errors) {
    auto arrays = std::make_unique<typename Program::Arrays>();
    return runAnalysisProgram(Program::name, in, console, errors,
                              [&](Console& con, RecordFile& input, ReportFile& report) {
                                  analyseInDialog(con, p, *arrays, input, report);
                              });
}

// The program started with arguments: every network of every file named, the reports numbered
// as the dialog would write them, the results of each network written. Returns the exit status.
template <class Program>
int runCommand(Program& p, int argc, const char* const* argv, std::ostream& out,
               std::ostream& errors) {
    CommandRun run(Program::name, Program::description, Program::threadsOption, out, errors);
    if (const int status = run.start(argc, argv); status >= 0) return status;
    p.threads = run.threads();
    auto arrays = std::make_unique<typename Program::Arrays>();
    auto& a = *arrays;
    return run.analyseFiles([&](RecordFile& input, int file) {
        std::ostream* report = Program::reports == ReportPer::File ? &run.report(file) : nullptr;
        for (int ordinal = 1;; ++ordinal) {
            run.networkStarts(input, ordinal);
            if (!readNextTitle(input, a, report != nullptr ? *report : run.currentReport())) return;
            const int number = run.titleRead();
            if (Program::reports == ReportPer::Network) report = &run.report(number);
            if (!readNextNetwork(input, *report, a)) return;
            run.network(analyseNetwork(p, a, *report, run.progress(), input.path(), ordinal));
        }
    });
}

}  // namespace flownet
