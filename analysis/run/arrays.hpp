// The work arrays of an analysis run, sized for the program's compartment limit and reused for
// every network of the file.
#pragma once

#include <string>
#include <vector>

#include "ascend.hpp"
#include "cyclecall.hpp"
#include "lindeman.hpp"
#include "matview.hpp"
#include "results.hpp"
#include "steady.hpp"
#include "structure.hpp"

namespace flownet {

template <int Limit>
struct AnalysisArrays {
    static constexpr int limit = Limit;

    int N = 0;   // compartments of the current network
    int NL = 0;  // living compartments: 1..NL living, NL+1..N non-living
    int K = 0;   // precision exponent of the title record
    float tolerance = 0.0f;
    std::string title;
    std::vector<std::string> names;  // names[i - 1] of compartment i

    Vector<Limit> stocks;         // standing stocks
    Vector<Limit> IN, EX, RE;     // inputs, exports, respirations
    Matrix<Limit> flows;          // the flows as read, kept while T is worked on
    Matrix<Limit + 3> T;          // flows; the information indices extend it by 3 rows and columns
    Vector<Limit> X;              // compartmental throughputs
    Matrix<Limit> F, G;           // output- and input-normalised flows
    float TST = 0.0f;             // total system throughput
    SteadyState steady;           // the steady-state check
    StructureAnalyses structure;  // the structure analyses
    TrophicAggregation trophic;   // the Lindeman trophic aggregation
    InformationIndices info;      // information and connectance quantities
    IndexShares shares;           // the indices as shares, and the connectances
    CycleRemoval feeding, whole;  // the feeding cycles and those of the whole network
    // The whole network's cycles were removed: T holds the residual flows, C the aggregated
    // cycles.
    bool cyclesRemoved = false;
    Vector<Limit + 3> rowSum, colSum;  // sums of the extended flow matrix
    Matrix<Limit> M, C, D;             // work matrices
    Vector<Limit> v, y;                // work vectors
    Vector<Limit> intake;              // intakes of the trophic aggregation
};

// The arrays of the structure analyses, in the run's arrays.
template <int Limit>
StructureArrays structureArrays(AnalysisArrays<Limit>& a) {
    return {a.IN.view(), a.EX.view(), a.RE.view(), a.X.view(), a.F.view(),
            a.G.view(),  a.M.view(),  a.v.view(),  a.y.view()};
}

// The arrays of the trophic aggregation, in the run's arrays: the diet fractions take the place
// of G, the import fractions that of X.
template <int Limit>
TrophicArrays trophicArrays(AnalysisArrays<Limit>& a) {
    return {a.IN.view(), a.EX.view(),     a.RE.view(), a.T.view(), a.G.view(),
            a.X.view(),  a.intake.view(), a.C.view(),  a.D.view()};
}

// The results held in the run's arrays after a network's analysis.
template <int Limit>
NetworkResults resultsOf(const AnalysisArrays<Limit>& a, const std::string& file, int ordinal,
                         bool wholeNetworkSearched, const MigratoryInputs* migratory = nullptr) {
    NetworkResults r;
    r.file = file;
    r.ordinal = ordinal;
    r.title = &a.title;
    r.K = a.K;
    r.N = a.N;
    r.NL = a.NL;
    r.tolerance = a.tolerance;
    r.names = &a.names;
    r.stocks = a.stocks.view();
    r.IN = a.IN.view();
    r.EX = a.EX.view();
    r.RE = a.RE.view();
    r.flows = a.flows.view();
    r.TST = a.TST;
    r.steady = &a.steady;
    r.structure = &a.structure;
    r.trophic = &a.trophic;
    r.migratory = migratory;
    r.info = &a.info;
    r.shares = &a.shares;
    r.feeding = &a.feeding;
    r.whole = wholeNetworkSearched ? &a.whole : nullptr;
    r.residual = a.T.view();
    r.aggregated = a.C.view();
    r.cyclesRemoved = a.cyclesRemoved;
    return r;
}

}  // namespace flownet
