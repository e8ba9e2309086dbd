// The run of flowanalysis: what is its own beside the run both analysis programs share.
#include "flowanalysis.hpp"

#include <istream>
#include <ostream>

#include "arrays.hpp"
#include "cycles.hpp"
#include "layout.hpp"
#include "lindeman.hpp"
#include "listing.hpp"
#include "program.hpp"
#include "results.hpp"
#include "steps.hpp"

namespace flownet {

namespace {

struct Flowanalysis {
    using Arrays = AnalysisArrays<80>;
    static constexpr const char* name = "flowanalysis";
    static constexpr const char* description =
        "Analyses every network of each network file (up to 80 compartments) and writes its "
        "report; without arguments, asks for the files on the console.";
    static constexpr ReportPer reports = ReportPer::File;
    static constexpr bool threadsOption = false;
    int threads = 1;
    CycleSearch search = CycleSearch::Pruned;

    // The report of one network, stage by stage in the order of the report: the structure
    // analyses per unit of input; the feeding cycles removed by CYCLES before the trophic
    // aggregation; the cycles through the non-living compartments, when there are any.
    void analyse(Arrays& a, std::ostream& report, std::ostream&) const {
        checkAndAnalyseStructure(a, report, InjectedInput::Unit);

        a.feeding = CYCLES(report, a.T.view(), a.F.view(), a.NL, CycleMode::Feeding, a.TST, search);
        if (a.feeding.found) {
            writeLayout(report, "(/,1X,'CYCLE-FREE FEEDING TRANSFERS',/)");
            MATPRT(report, a.T.view(), a.NL);
        }
        aggregateTrophicLevels(a.N, a.NL, trophicArrays(a), a.trophic);
        writeTrophicAggregation(report, a.N, a.NL, a.trophic);

        if (a.NL < a.N) {
            for (int j = 1; j <= a.N; ++j) {
                for (int i = 1; i <= a.N; ++i) a.aggregated(i, j) = a.T(i, j);
            }
            writeLayout(report, "(/,/,21X,'*** BIOGEOCHEMICAL CYCLE ANALYSIS ***',/)");
            a.whole =
                CYCLES(report, a.T.view(), a.F.view(), a.N, CycleMode::WholeNetwork, a.TST, search);
            keepCycleMatrices(a, report, "(1X,'RESIDUAL FLOWS')",
                              "(1X,'AGGREGATED BIOGEOCHEMICAL CYCLES')");
        }
        writeIndices(a, report);
    }

    // The whole network is searched only when it holds non-living compartments.
    NetworkResults results(const Arrays& a, const std::string& file, int ordinal) const {
        return resultsOf(a, file, ordinal, a.NL < a.N);
    }
};

}  // namespace

int runFlowanalysisCommand(int argc, const char* const* argv, std::ostream& out,
                           std::ostream& errors, CycleSearch search) {
    Flowanalysis program;
    program.search = search;
    return runCommand(program, argc, argv, out, errors);
}

int runFlowanalysis(std::istream& in, std::ostream& console, std::ostream& errors,
                    CycleSearch search) {
    Flowanalysis program;
    program.search = search;
    return runDialog(program, in, console, errors);
}

}  // namespace flownet
