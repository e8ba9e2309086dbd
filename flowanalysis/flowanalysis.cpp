// The run of flowanalysis.
#include <istream>
#include <memory>
#include <ostream>

#include "arrays.hpp"
#include "ascend.hpp"
#include "command.hpp"
#include "cycles.hpp"
#include "filedialog.hpp"
#include "flowanalysis.hpp"
#include "layout.hpp"
#include "lindeman.hpp"
#include "listing.hpp"
#include "netread.hpp"
#include "program.hpp"
#include "results.hpp"
#include "runend.hpp"
#include "steady.hpp"
#include "structure.hpp"

namespace flownet {

namespace {

constexpr int kLimit = 80;
using Arrays = AnalysisArrays<kLimit>;

// The report of one network, stage by stage in the order of the report.
void analyseNetwork(Arrays& a, std::ostream& report, CycleSearch search) {
    checkSteadyState(a.N, a.IN.view(), a.EX.view(), a.RE.view(), a.T.view(), a.tolerance, a.steady);
    writeSteadyState(report, a.N, a.steady);
    ASCEND(a.T.view(), a.IN.view(), a.EX.view(), a.RE.view(), a.N, a.NL, a.F.view(), a.G.view(),
           a.X.view(), a.TST, a.info, a.rowSum.view(), a.colSum.view());
    a.shares = indexShares(a.info);
    StructureArrays structure = structureArrays(a);
    analyseStructure(a.N, structure, InjectedInput::Unit, a.structure);
    writeStructureAnalyses(report, a.N, a.structure);

    // Feeding cycles among the living compartments, removed so that the trophic levels follow
    // cycle-free feeding transfers.
    a.feeding = CYCLES(report, a.T.view(), a.F.view(), a.NL, CycleMode::Feeding, a.TST, search);
    if (a.feeding.found) {
        writeLayout(report, "(/,1X,'CYCLE-FREE FEEDING TRANSFERS',/)");
        MATPRT(report, a.T.view(), a.NL);
    }
    TrophicArrays trophic = trophicArrays(a);
    aggregateTrophicLevels(a.N, a.NL, trophic, a.trophic);
    writeTrophicAggregation(report, a.N, a.NL, a.trophic);

    // Cycles of the whole network, through the non-living compartments.
    if (a.NL < a.N) {
        for (int j = 1; j <= a.N; ++j) {
            for (int i = 1; i <= a.N; ++i) a.C(i, j) = a.T(i, j);
        }
        writeLayout(report, "(/,/,21X,'*** BIOGEOCHEMICAL CYCLE ANALYSIS ***',/)");
        a.whole =
            CYCLES(report, a.T.view(), a.F.view(), a.N, CycleMode::WholeNetwork, a.TST, search);
        writeLayout(report, "(1X,'RESIDUAL FLOWS')");
        MATPRT(report, a.T.view(), a.N);
        for (int j = 1; j <= a.N; ++j) {
            for (int i = 1; i <= a.N; ++i) a.C(i, j) = a.C(i, j) - a.T(i, j);
        }
        a.cyclesRemoved = true;
        writeLayout(report, "(1X,'AGGREGATED BIOGEOCHEMICAL CYCLES')");
        MATPRT(report, a.C.view(), a.N);
    }
    printInformationIndices(report, a.TST, a.info, a.shares);
    printConnectanceIndices(report, a.shares);
}

void run(Console& con, Arrays& a, RecordFile& input, ReportFile& report, CycleSearch search) {
    INFILE(con, input);
    OUTFIL(con, report, input);
    while (readNextTitle(input, a, report.stream) && readNextNetwork(input, report.stream, a)) {
        analyseNetwork(a, report.stream, search);
    }
}

}  // namespace

int runFlowanalysisCommand(int argc, const char* const* argv, std::ostream& out,
                           std::ostream& errors, CycleSearch search) {
    CommandRun run("flowanalysis",
                   "Analyses every network of each network file (up to 80 compartments) and writes "
                   "its report; without arguments, asks for the files on the console.",
                   false, out, errors);
    if (const int status = run.start(argc, argv); status >= 0) return status;
    auto arrays = std::make_unique<Arrays>();
    Arrays& a = *arrays;
    return run.analyseFiles([&](RecordFile& input, int file) {
        // One report for each network file, as the dialog writes them.
        std::ostream& report = run.report(file);
        for (int ordinal = 1;; ++ordinal) {
            run.networkStarts(input, ordinal);
            if (!readNextTitle(input, a, report)) return;
            run.titleRead();
            if (!readNextNetwork(input, report, a)) return;
            analyseNetwork(a, report, search);
            run.network(resultsOf(a, input.path(), ordinal, a.NL < a.N));
        }
    });
}

int runFlowanalysis(std::istream& in, std::ostream& console, std::ostream& errors,
                    CycleSearch search) {
    auto arrays = std::make_unique<Arrays>();
    return runAnalysisProgram("flowanalysis", in, console, errors,
                              [&](Console& con, RecordFile& input, ReportFile& report) {
                                  run(con, *arrays, input, report, search);
                              });
}

}  // namespace flownet
