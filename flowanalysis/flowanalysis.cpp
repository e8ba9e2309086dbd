// The run of flowanalysis.
#include <istream>
#include <memory>
#include <ostream>

#include "arrays.hpp"
#include "ascend.hpp"
#include "filedialog.hpp"
#include "flowanalysis.hpp"
#include "lindeman.hpp"
#include "netread.hpp"
#include "program.hpp"
#include "runend.hpp"
#include "steady.hpp"
#include "structure.hpp"

namespace flownet {

namespace {

constexpr int kLimit = 80;
using Arrays = AnalysisArrays<kLimit>;

// The report of one network, stage by stage in the order of the report.
void analyseNetwork(Arrays& a, std::ostream& report) {
    checkSteadyState(report, a.N, a.IN.view(), a.EX.view(), a.RE.view(), a.T.view(), a.tolerance,
                     a.X.view(), a.outflow.view(), a.imbalance.view());
    ASCEND(a.T.view(), a.IN.view(), a.EX.view(), a.RE.view(), a.N, a.NL, a.F.view(), a.G.view(),
           a.X.view(), a.TST, a.info, a.rowSum.view(), a.colSum.view());
    structureAnalyses(report, a.N, structureArrays(a), InjectedInput::Unit);
    // The feeding cycles among the living compartments are removed here.
    printLindemanHeading(report);
    trophicAggregation(report, a.N, a.NL, trophicArrays(a));
    // The cycle analysis of the whole network comes here when some compartments are non-living.
    printInformationIndices(report, a.TST, a.info);
    printConnectanceIndices(report, a.info);
}

void run(Console& con, Arrays& a, RecordFile& input, ReportFile& report) {
    INFILE(con, input, report);
    OUTFIL(con, report, input);
    while (readNextTitle(input, a, report.stream) && readNextNetwork(input, report.stream, a)) {
        analyseNetwork(a, report.stream);
    }
}

}  // namespace

int runFlowanalysis(std::istream& in, std::ostream& console, std::ostream& errors) {
    auto arrays = std::make_unique<Arrays>();
    return runAnalysisProgram("flowanalysis", in, console, errors,
                              [&](Console& con, RecordFile& input, ReportFile& report) {
                                  run(con, *arrays, input, report);
                              });
}

}  // namespace flownet
