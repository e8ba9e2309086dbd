// The run of flowanalysis2.
#include "flowanalysis2.hpp"

#include <memory>

#include "arrays.hpp"
#include "ascend.hpp"
#include "command.hpp"
#include "cyccnt.hpp"
#include "filedialog.hpp"
#include "layout.hpp"
#include "lindeman.hpp"
#include "listing.hpp"
#include "migratory.hpp"
#include "parallel.hpp"
#include "program.hpp"
#include "results.hpp"
#include "steady.hpp"
#include "structure.hpp"

namespace flownet {

namespace {

constexpr int kLimit = 128;

struct Arrays : AnalysisArrays<kLimit> {
    Vector<kLimit> XS;          // throughputs saved before the feeding-cycle search
    MigratoryInputs migratory;  // suspected migratory inputs
};

// The report of one network, stage by stage in the order of the report.
void analyseNetwork(Arrays& a, std::ostream& report, std::ostream& console, CycleSearch search,
                    int threads) {
    checkSteadyState(a.N, a.IN.view(), a.EX.view(), a.RE.view(), a.T.view(), a.tolerance, a.steady);
    writeSteadyState(report, a.N, a.steady);
    ASCEND(a.T.view(), a.IN.view(), a.EX.view(), a.RE.view(), a.N, a.NL, a.F.view(), a.G.view(),
           a.X.view(), a.TST, a.info, a.rowSum.view(), a.colSum.view());
    a.shares = indexShares(a.info);
    StructureArrays structure = structureArrays(a);
    analyseStructure(a.N, structure, InjectedInput::Actual, a.structure);
    writeStructureAnalyses(report, a.N, a.structure);
    for (int i = 1; i <= a.N; ++i) a.XS(i) = a.X(i);

    // Feeding cycles among the living compartments: both searches rebuild their flows from F and
    // the saved throughputs.
    writeLayout(report, "(/,25X,'SEARCH FOR FEEDING CYCLES',/)");
    a.feeding = CYCCNT(report, console, a.T.view(), a.F.view(), a.XS.view(), a.NL,
                       CycleMode::Feeding, a.TST, search, {}, threads);
    if (a.feeding.found) {
        writeLayout(report, "(/,1X,'CYCLE-FREE FEEDING TRANSFERS',/)");
        MATPRT(report, a.T.view(), a.NL);
    }

    // Trophic aggregation, with suspected migratory inputs left out of primary production.
    classifyInputs(a.N, a.NL, a.IN.view(), a.T.view(), a.migratory);
    writePrimaryProducerWarning(report, a.migratory);
    TrophicArrays trophic = trophicArrays(a);
    aggregateTrophicLevels(a.N, a.NL, trophic, a.trophic, &a.migratory,
                           ChainStart::PrimaryProduction);
    writeTrophicAggregation(report, a.N, a.NL, a.trophic, &a.migratory);

    printInformationIndices(report, a.TST, a.info, a.shares);
    printConnectanceIndices(report, a.shares);

    // Every cycle of the network, the feeding cycles found again among them.
    writeLayout(report, "(/,/,25X,'*** FULL CYCLE ANALYSIS ***',/)");
    a.whole = CYCCNT(report, console, a.T.view(), a.F.view(), a.XS.view(), a.N,
                     CycleMode::WholeNetwork, a.TST, search, {}, threads);
    if (!a.whole.found) return;
    for (int j = 1; j <= a.N; ++j) {
        for (int i = 1; i <= a.N; ++i) a.C(i, j) = a.F(i, j) * a.XS(i);
    }
    writeLayout(report, "(/,1X,'RESIDUAL FLOWS')");
    MATPRT(report, a.T.view(), a.N);
    for (int j = 1; j <= a.N; ++j) {
        for (int i = 1; i <= a.N; ++i) a.C(i, j) = a.C(i, j) - a.T(i, j);
    }
    a.cyclesRemoved = true;
    writeLayout(report, "(1X,'AGGREGATED CYCLES')");
    MATPRT(report, a.C.view(), a.N);
}

// The title record of each network comes before its report file is chosen: an unreadable first
// title is told on the console, a later one at the end of the previous report.
void run(Console& con, Arrays& a, RecordFile& input, ReportFile& report, CycleSearch search,
         int threads) {
    INFILE(con, input);
    for (;;) {
        std::ostream& errorsGoTo = report.stream.is_open() ? report.stream : con.out;
        if (!readNextTitle(input, a, errorsGoTo)) return;
        OUTFIL(con, report, input);
        if (!readNextNetwork(input, report.stream, a)) return;
        analyseNetwork(a, report.stream, con.out, search, threads);
    }
}

}  // namespace

int runFlowanalysis2Command(int argc, const char* const* argv, std::ostream& out,
                            std::ostream& errors, CycleSearch search) {
    CommandRun run("flowanalysis2",
                   "Analyses every network of each network file (up to 128 compartments, a cycle "
                   "search without storage limit) and writes its report; without arguments, asks "
                   "for the files on the console.",
                   true, out, errors);
    if (const int status = run.start(argc, argv); status >= 0) return status;
    auto arrays = std::make_unique<Arrays>();
    Arrays& a = *arrays;
    return run.analyseFiles([&](RecordFile& input, int) {
        // One report for each network, as the dialog writes them, numbered as the networks.
        for (int ordinal = 1;; ++ordinal) {
            run.networkStarts(input, ordinal);
            if (!readNextTitle(input, a, run.currentReport())) return;
            std::ostream& report = run.report(run.titleRead());
            if (!readNextNetwork(input, report, a)) return;
            analyseNetwork(a, report, run.progress(), search, run.threads());
            run.network(resultsOf(a, input.path(), ordinal, true, &a.migratory));
        }
    });
}

int runFlowanalysis2(std::istream& in, std::ostream& console, std::ostream& errors,
                     CycleSearch search, int threads) {
    if (threads < 1) threads = availableThreads();
    auto arrays = std::make_unique<Arrays>();
    return runAnalysisProgram("flowanalysis2", in, console, errors,
                              [&](Console& con, RecordFile& input, ReportFile& report) {
                                  run(con, *arrays, input, report, search, threads);
                              });
}

}  // namespace flownet
