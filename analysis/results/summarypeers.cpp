// The columns of the summary that give the analyses of the other tools (after the companion
// indices).
#include "summary.hpp"

namespace flownet {

namespace {

using R = const NetworkResults&;
using V = SummaryValue;

V count(long long k) {
    return k;
}
// A number of steps, none when not reached.
V steps(int k) {
    return k < 0 ? V{} : V{static_cast<long long>(k)};
}
// A storage quantity, none without stocks.
V stored(R r, double value) {
    return r.peers->storage.defined ? V{value} : V{};
}
V storedCount(R r, int value) {
    return r.peers->storage.defined ? V{static_cast<long long>(value)} : V{};
}
const FlowPartition& fp(R r) {
    return r.peers->partition;
}
const StructureStatistics& st(R r) {
    return r.peers->structure;
}
const StorageAnalysis& sa(R r) {
    return r.peers->storage;
}
const NetIndices& ni(R r) {
    return r.peers->netIndices;
}
V storageUtility(R r, double Utility::*field) {
    const Utility& u = r.peers->storageUtility;
    return u.direct.size() > 0 ? V{u.*field} : V{};
}

}  // namespace

const std::vector<SummaryColumn>& peerSummaryColumns() {
    static const std::vector<SummaryColumn> columns = {
        {"BFI", [](R r) -> V { return fp(r).BFI; }},
        {"DFI", [](R r) -> V { return fp(r).DFI; }},
        {"IFI", [](R r) -> V { return fp(r).IFI; }},
        {"ID_F", [](R r) -> V { return fp(r).indirectToDirect; }},
        {"mode0_F", [](R r) -> V { return fp(r).modes[0]; }},
        {"mode1_F", [](R r) -> V { return fp(r).modes[1]; }},
        {"mode2_F", [](R r) -> V { return fp(r).modes[2]; }},
        {"mode3_F", [](R r) -> V { return fp(r).modes[3]; }},
        {"mode4_F", [](R r) -> V { return fp(r).modes[4]; }},
        {"links", [](R r) -> V { return count(st(r).links); }},
        {"link_connectance", [](R r) -> V { return st(r).connectance; }},
        {"link_density", [](R r) -> V { return st(r).linkDensity; }},
        {"lambda1", [](R r) -> V { return st(r).lambda1; }},
        {"lambda1_multiplicity", [](R r) -> V { return count(st(r).multiplicity); }},
        {"pathway_proliferation_rate", [](R r) -> V { return st(r).pathwayProliferation; }},
        {"damping_ratio", [](R r) -> V { return st(r).dampingRatio; }},
        {"lambda1_minus_link_density", [](R r) -> V { return st(r).lambda1MinusLinkDensity; }},
        {"scc_count", [](R r) -> V { return count(st(r).components); }},
        {"scc_big_count", [](R r) -> V { return count(st(r).bigComponents); }},
        {"scc_big_share", [](R r) -> V { return st(r).componentShare; }},
        {"shannon_throughflow_H", [](R r) -> V { return r.peers->throughflowDiversity.H; }},
        {"shannon_throughflow_Hr", [](R r) -> V { return r.peers->throughflowDiversity.Hr; }},
        {"shannon_throughflow_Hcentral",
         [](R r) -> V { return r.peers->throughflowDiversity.Hcentral; }},
        {"shannon_throughflow_effective_n",
         [](R r) -> V { return r.peers->throughflowDiversity.effectiveN; }},
        {"shannon_stock_H", [](R r) -> V { return r.peers->stockDiversity.H; }},
        {"shannon_stock_Hr", [](R r) -> V { return r.peers->stockDiversity.Hr; }},
        {"shannon_stock_Hcentral", [](R r) -> V { return r.peers->stockDiversity.Hcentral; }},
        {"shannon_stock_effective_n", [](R r) -> V { return r.peers->stockDiversity.effectiveN; }},
        {"path_indirect_exceeds_direct",
         [](R r) { return steps(r.peers->pathLengths.indirectExceedsDirect); }},
        {"path_50_percent", [](R r) { return steps(r.peers->pathLengths.half); }},
        {"path_80_percent", [](R r) { return steps(r.peers->pathLengths.eightyPercent); }},
        {"path_95_percent", [](R r) { return steps(r.peers->pathLengths.ninetyFivePercent); }},
        {"storage_dt", [](R r) { return stored(r, sa(r).dt); }},
        {"TSS", [](R r) { return stored(r, sa(r).TSS); }},
        {"CIS", [](R r) { return stored(r, sa(r).CIS); }},
        {"BSI", [](R r) { return stored(r, sa(r).BSI); }},
        {"DSI", [](R r) { return stored(r, sa(r).DSI); }},
        {"ISI", [](R r) { return stored(r, sa(r).ISI); }},
        {"ID_S", [](R r) { return stored(r, sa(r).indirectToDirect); }},
        {"ID_S_O", [](R r) { return stored(r, sa(r).indirectToDirectOutput); }},
        {"ID_S_I", [](R r) { return stored(r, sa(r).indirectToDirectInput); }},
        {"HMG_S_O", [](R r) { return stored(r, sa(r).homogenisationOutput); }},
        {"HMG_S_I", [](R r) { return stored(r, sa(r).homogenisationInput); }},
        {"AMP_S_O", [](R r) { return storedCount(r, sa(r).amplificationOutput); }},
        {"AMP_S_I", [](R r) { return storedCount(r, sa(r).amplificationInput); }},
        {"mode0_S", [](R r) { return stored(r, sa(r).modes[0]); }},
        {"mode1_S", [](R r) { return stored(r, sa(r).modes[1]); }},
        {"mode2_S", [](R r) { return stored(r, sa(r).modes[2]); }},
        {"mode3_S", [](R r) { return stored(r, sa(r).modes[3]); }},
        {"mode4_S", [](R r) { return stored(r, sa(r).modes[4]); }},
        {"utility_flow_lambda1", [](R r) -> V { return r.peers->flowUtility.lambda1; }},
        {"utility_flow_relations_changed",
         [](R r) -> V { return r.peers->flowUtility.relationsChanged; }},
        {"utility_flow_synergism", [](R r) -> V { return r.peers->flowUtility.synergism; }},
        {"utility_flow_mutualism", [](R r) -> V { return r.peers->flowUtility.mutualism; }},
        {"utility_storage_lambda1", [](R r) { return storageUtility(r, &Utility::lambda1); }},
        {"utility_storage_relations_changed",
         [](R r) { return storageUtility(r, &Utility::relationsChanged); }},
        {"utility_storage_synergism", [](R r) { return storageUtility(r, &Utility::synergism); }},
        {"utility_storage_mutualism", [](R r) { return storageUtility(r, &Utility::mutualism); }},
        {"netindices_Ltot", [](R r) -> V { return count(ni(r).Ltot); }},
        {"netindices_Lint", [](R r) -> V { return count(ni(r).Lint); }},
        {"netindices_LD", [](R r) -> V { return ni(r).linkDensity; }},
        {"netindices_C", [](R r) -> V { return ni(r).connectance; }},
        {"netindices_average_link_weight", [](R r) -> V { return ni(r).averageLinkWeight; }},
        {"netindices_average_throughflow", [](R r) -> V { return ni(r).averageThroughflow; }},
        {"effective_connectivity", [](R r) -> V { return ni(r).effectiveConnectivity; }},
        {"effective_flows", [](R r) -> V { return ni(r).effectiveFlows; }},
        {"effective_nodes", [](R r) -> V { return ni(r).effectiveNodes; }},
        {"effective_roles", [](R r) -> V { return ni(r).effectiveRoles; }},
    };
    return columns;
}

}  // namespace flownet
