#include "peers.hpp"

namespace flownet {

PeerAnalyses peerAnalyses(int n, int living, ConstVecView stocks, ConstVecView IN, ConstVecView EX,
                          ConstVecView RE, ConstMatView flows, const CompanionIndices& companion) {
    const PeerNetwork p = peerNetwork(n, living, stocks, IN, EX, RE, flows);
    PeerAnalyses a;
    a.partition = flowPartition(p);
    a.structure = structureStatistics(p);
    a.centrality = centralities(p);
    a.throughflowDiversity = shannonDiversity(p.T);
    a.stockDiversity = shannonDiversity(p.x);
    a.pathLengths = pathLengths(p);
    a.storage = storageAnalysis(p);
    a.flowUtility = utilityAnalysis(p.F, p.T, p.T);
    if (n > 0 && p.x.minCoeff() > 0.0) a.storageUtility = utilityAnalysis(p.F, p.x, p.T);
    a.netIndices = netIndices(p, companion.H, companion.AMI, companion.TSTp);
    return a;
}

}  // namespace flownet
