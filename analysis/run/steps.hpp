// The steps of a network's analysis that both analysis programs take, each writing its section of
// the report.
#pragma once

#include <ostream>

#include "arrays.hpp"
#include "ascend.hpp"
#include "companion.hpp"
#include "layout.hpp"
#include "listing.hpp"
#include "peers.hpp"
#include "steady.hpp"
#include "structure.hpp"

namespace flownet {

// From the steady-state check to the structure analyses: the check and its section, the flow
// fractions and the information indices (printed at the end of the report), and the structure
// analyses, with one unit or the actual input entering each analysed compartment.
template <int Limit>
void checkAndAnalyseStructure(AnalysisArrays<Limit>& a, std::ostream& report, InjectedInput inject) {
    checkSteadyState(a.N, a.IN.view(), a.EX.view(), a.RE.view(), a.T.view(), a.tolerance, a.steady);
    writeSteadyState(report, a.N, a.steady);
    ASCEND(a.T.view(), a.IN.view(), a.EX.view(), a.RE.view(), a.N, a.NL, a.F.view(), a.G.view(),
           a.X.view(), a.TST, a.info, a.rowSum.view(), a.colSum.view());
    a.shares = indexShares(a.info);
    StructureArrays structure{a.IN.view(), a.EX.view(), a.RE.view(), a.X.view(), a.F.view(),
                              a.G.view(),  a.M.view(),  a.v.view(),  a.y.view()};
    analyseStructure(a.N, structure, inject, a.structure);
    writeStructureAnalyses(report, a.N, a.structure);
}

// Once every cycle of the whole network has been removed from T, with the flows before the
// removal in a.aggregated: the residual flows (what T holds) and the aggregated cycles (the flow
// that travelled on cycles), each listed under its heading.
template <int Limit>
void keepCycleMatrices(AnalysisArrays<Limit>& a, std::ostream& report, const char* residualHeading,
                       const char* aggregatedHeading) {
    for (int j = 1; j <= a.N; ++j) {
        for (int i = 1; i <= a.N; ++i) a.residual(i, j) = a.T(i, j);
    }
    writeLayout(report, residualHeading);
    MATPRT(report, a.residual.view(), a.N);
    for (int j = 1; j <= a.N; ++j) {
        for (int i = 1; i <= a.N; ++i) a.aggregated(i, j) = a.aggregated(i, j) - a.T(i, j);
    }
    a.cyclesRemoved = true;
    writeLayout(report, aggregatedHeading);
    MATPRT(report, a.aggregated.view(), a.N);
}

// The sections "*** INFORMATION INDICIES ***" and "*** CONNECTANCE INDICES ***".
template <int Limit>
void writeIndices(const AnalysisArrays<Limit>& a, std::ostream& report) {
    printInformationIndices(report, a.TST, a.info, a.shares);
    printConnectanceIndices(report, a.shares);
}

// The quantities beyond the report, from the network as read.
template <int Limit>
void computeCompanionIndices(AnalysisArrays<Limit>& a) {
    companionIndices(a.companion, a.N, a.stocks.view(), a.IN.view(), a.EX.view(), a.RE.view(),
                     a.flows.view());
    a.peers = peerAnalyses(a.N, a.NL, a.stocks.view(), a.IN.view(), a.EX.view(), a.RE.view(),
                           a.flows.view(), a.companion);
}

}  // namespace flownet
