// The run of flowanalysis2: what is its own beside the run both analysis programs share.
#include "flowanalysis2.hpp"

#include <istream>
#include <ostream>

#include "arrays.hpp"
#include "cyccnt.hpp"
#include "layout.hpp"
#include "lindeman.hpp"
#include "listing.hpp"
#include "migratory.hpp"
#include "parallel.hpp"
#include "program.hpp"
#include "results.hpp"
#include "steps.hpp"

namespace flownet {

namespace {

struct Arrays2 : AnalysisArrays<128> {
    MigratoryInputs migratory;  // suspected migratory inputs
};

struct Flowanalysis2 {
    using Arrays = Arrays2;
    static constexpr const char* name = "flowanalysis2";
    static constexpr const char* description =
        "Analyses every network of each network file (up to 128 compartments, a cycle search "
        "without storage limit) and writes its report; without arguments, asks for the files on "
        "the console.";
    static constexpr ReportPer reports = ReportPer::Network;
    static constexpr bool threadsOption = true;
    int threads = 1;
    CycleSearch search = CycleSearch::Pruned;

    // The report of one network, stage by stage in the order of the report: the structure
    // analyses in units of each actual input; the feeding cycles counted and removed by CYCCNT;
    // the trophic aggregation with suspected migratory inputs left out of primary production;
    // the indices; then every cycle of the network, the feeding cycles found again among them.
    // Both searches rebuild their flows from F and the throughputs.
    void analyse(Arrays& a, std::ostream& report, std::ostream& progress) const {
        checkAndAnalyseStructure(a, report, InjectedInput::Actual);

        writeLayout(report, "(/,25X,'SEARCH FOR FEEDING CYCLES',/)");
        a.feeding = CYCCNT(report, progress, a.T.view(), a.F.view(), a.X.view(), a.NL,
                           CycleMode::Feeding, a.TST, search, {}, threads);
        if (a.feeding.found) {
            writeLayout(report, "(/,1X,'CYCLE-FREE FEEDING TRANSFERS',/)");
            MATPRT(report, a.T.view(), a.NL);
        }

        classifyInputs(a.N, a.NL, a.IN.view(), a.T.view(), a.migratory);
        writePrimaryProducerWarning(report, a.migratory);
        aggregateTrophicLevels(a.N, a.NL, trophicArrays(a), a.trophic, &a.migratory,
                               ChainStart::PrimaryProduction);
        writeTrophicAggregation(report, a.N, a.NL, a.trophic, &a.migratory);
        writeIndices(a, report);

        writeLayout(report, "(/,/,25X,'*** FULL CYCLE ANALYSIS ***',/)");
        a.whole = CYCCNT(report, progress, a.T.view(), a.F.view(), a.X.view(), a.N,
                         CycleMode::WholeNetwork, a.TST, search, {}, threads);
        if (!a.whole.found) return;
        for (int j = 1; j <= a.N; ++j) {
            for (int i = 1; i <= a.N; ++i) a.aggregated(i, j) = a.F(i, j) * a.X(i);
        }
        keepCycleMatrices(a, report, "(/,1X,'RESIDUAL FLOWS')", "(1X,'AGGREGATED CYCLES')");
    }

    // The whole network is always searched.
    NetworkResults results(const Arrays& a, const std::string& file, int ordinal) const {
        return resultsOf(a, file, ordinal, true, &a.migratory);
    }
};

}  // namespace

int runFlowanalysis2Command(int argc, const char* const* argv, std::ostream& out,
                            std::ostream& errors, CycleSearch search) {
    Flowanalysis2 program;
    program.search = search;
    return runCommand(program, argc, argv, out, errors);
}

int runFlowanalysis2(std::istream& in, std::ostream& console, std::ostream& errors,
                     CycleSearch search, int threads) {
    Flowanalysis2 program;
    program.search = search;
    program.threads = threads < 1 ? availableThreads() : threads;
    return runDialog(program, in, console, errors);
}

}  // namespace flownet
