// The frame of an analysis program: the run, and the reading of one network after another.
#pragma once

#include <istream>
#include <ostream>

#include "arrays.hpp"
#include "filedialog.hpp"
#include "netread.hpp"
#include "runend.hpp"
#include "textio.hpp"

namespace flownet {

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

}  // namespace flownet
