// The work arrays of an analysis run, sized for the program's compartment limit and reused for
// every network of the file.
#pragma once

#include <string>
#include <vector>

#include "ascend.hpp"
#include "companion.hpp"
#include "cyclecall.hpp"
#include "lindeman.hpp"
#include "matview.hpp"
#include "peers.hpp"
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
    Vector<Limit> X;              // compartmental throughputs, from the flow fractions on
    Matrix<Limit> F, G;           // output- and input-normalised flows
    float TST = 0.0f;             // total system throughput
    SteadyState steady;           // the steady-state check
    StructureAnalyses structure;  // the structure analyses
    TrophicAggregation trophic;   // the Lindeman trophic aggregation
    InformationIndices info;      // information and connectance quantities
    IndexShares shares;           // the indices as shares, and the connectances
    CycleRemoval feeding, whole;  // the feeding cycles and those of the whole network
    // When the whole network's cycles were removed: the flows left and the flow that travelled on
    // cycles.
    bool cyclesRemoved = false;
    Matrix<Limit> residual, aggregated;
    CompanionIndices companion;        // the companion indices of the network as read
    PeerAnalyses peers;                // and the analyses of the other tools
    Vector<Limit + 3> rowSum, colSum;  // sums of the extended flow matrix
    Matrix<Limit> M;                   // the structure analyses' work matrix
    Vector<Limit> v, y;                // and work vectors
};

// The arrays of the structure analyses, in the run's arrays.
template <int Limit>
StructureArrays structureArrays(AnalysisArrays<Limit>& a) {
    return {a.IN.view(), a.EX.view(), a.RE.view(), a.X.view(), a.F.view(),
            a.G.view(),  a.M.view(),  a.v.view(),  a.y.view()};
}

// What the trophic aggregation reads of the run's arrays.
template <int Limit>
TrophicArrays trophicArrays(const AnalysisArrays<Limit>& a) {
    return {a.IN.view(), a.EX.view(), a.RE.view(), a.T.view()};
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
    r.X = a.X.view();
    r.steady = &a.steady;
    r.structure = &a.structure;
    r.trophic = &a.trophic;
    r.migratory = migratory;
    r.info = &a.info;
    r.shares = &a.shares;
    r.feeding = &a.feeding;
    r.whole = wholeNetworkSearched ? &a.whole : nullptr;
    r.residual = a.residual.view();
    r.aggregated = a.aggregated.view();
    r.companion = &a.companion;
    r.peers = &a.peers;
    r.cyclesRemoved = a.cyclesRemoved;
    return r;
}

}  // namespace flownet
