// The analyses of the other tools in JSON: the network's values under "peerAnalyses", each
// compartment's in the table of the compartments.
#include "jsonparts.hpp"

namespace flownet {

namespace {

Json matrixJson(const Eigen::MatrixXd& m) {
    if (m.size() == 0) return nullptr;
    Json a = Json::array();
    for (Eigen::Index i = 0; i < m.rows(); ++i) {
        Json row = Json::array();
        for (Eigen::Index j = 0; j < m.cols(); ++j) row.push_back(m(i, j));
        a.push_back(std::move(row));
    }
    return a;
}

Json modesJson(const double (&modes)[5]) {
    return Json::array({modes[0], modes[1], modes[2], modes[3], modes[4]});
}

Json stepsJson(int step) {
    return step < 0 ? Json(nullptr) : Json(step);
}

Json partitionJson(const FlowPartition& f) {
    return {{"TST", f.TST},
            {"boundary", f.boundary},
            {"direct", f.direct},
            {"indirect", f.indirect},
            {"BFI", f.BFI},
            {"DFI", f.DFI},
            {"IFI", f.IFI},
            {"indirectToDirect", f.indirectToDirect},
            {"modes", modesJson(f.modes)}};
}

Json structureJson(const StructureStatistics& s) {
    return {{"adjacency", matrixJson(s.adjacency)},
            {"links", s.links},
            {"connectance", s.connectance},
            {"linkDensity", s.linkDensity},
            {"lambda1", s.lambda1},
            {"lambda1Multiplicity", s.multiplicity},
            {"pathwayProliferationRate", s.pathwayProliferation},
            {"dampingRatio", s.dampingRatio},
            {"lambda1MinusLinkDensity", s.lambda1MinusLinkDensity},
            {"components", s.components},
            {"bigComponents", s.bigComponents},
            {"bigComponentShare", s.componentShare}};
}

Json diversityJson(const Diversity& d) {
    return {{"H", d.H},
            {"Hmax", d.Hmax},
            {"Hr", d.Hr},
            {"Hcentral", d.Hcentral},
            {"effectiveN", d.effectiveN}};
}

Json storageJson(const StorageAnalysis& s) {
    if (!s.defined) return nullptr;
    return {{"dt", s.dt},
            {"C", matrixJson(s.C)},
            {"P", matrixJson(s.P)},
            {"Q", matrixJson(s.Q)},
            {"S", matrixJson(s.S)},
            {"inputC", matrixJson(s.Cin)},
            {"inputP", matrixJson(s.Pin)},
            {"inputQ", matrixJson(s.Qin)},
            {"inputS", matrixJson(s.Sin)},
            {"TSS", s.TSS},
            {"boundary", s.boundary},
            {"direct", s.direct},
            {"indirect", s.indirect},
            {"BSI", s.BSI},
            {"DSI", s.DSI},
            {"ISI", s.ISI},
            {"CIS", s.CIS},
            {"indirectToDirect", s.indirectToDirect},
            {"indirectToDirectOutput", s.indirectToDirectOutput},
            {"indirectToDirectInput", s.indirectToDirectInput},
            {"homogenisationOutput", s.homogenisationOutput},
            {"homogenisationInput", s.homogenisationInput},
            {"amplificationOutput", s.amplificationOutput},
            {"amplificationInput", s.amplificationInput},
            {"modes", modesJson(s.modes)}};
}

Json utilityJson(const Utility& u) {
    if (u.direct.size() == 0) return nullptr;
    return {{"direct", matrixJson(u.direct)}, {"integral", matrixJson(u.integral)},
            {"lambda1", u.lambda1},           {"relationsChanged", u.relationsChanged},
            {"synergism", u.synergism},       {"mutualism", u.mutualism}};
}

Json netIndicesJson(const NetIndices& x) {
    return {{"general",
             {{"Ltot", x.Ltot},
              {"Lint", x.Lint},
              {"LD", x.linkDensity},
              {"C", x.connectance},
              {"averageLinkWeight", x.averageLinkWeight},
              {"averageThroughflow", x.averageThroughflow}}},
            {"effective",
             {{"connectivity", x.effectiveConnectivity},
              {"flows", x.effectiveFlows},
              {"nodes", x.effectiveNodes},
              {"roles", x.effectiveRoles}}}};
}

double at(const std::vector<double>& v, int i) {
    const std::size_t k = static_cast<std::size_t>(i - 1);
    return k < v.size() ? v[k] : kNaN;
}

}  // namespace

Json peerObject(const NetworkResults& r) {
    const PeerAnalyses& a = *r.peers;
    const PathLengths& l = a.pathLengths;
    return {{"flowPartition", partitionJson(a.partition)},
            {"structure", structureJson(a.structure)},
            {"diversity",
             {{"throughflow", diversityJson(a.throughflowDiversity)},
              {"stock", diversityJson(a.stockDiversity)}}},
            {"pathLengths",
             {{"indirectExceedsDirect", stepsJson(l.indirectExceedsDirect)},
              {"half", stepsJson(l.half)},
              {"eightyPercent", stepsJson(l.eightyPercent)},
              {"ninetyFivePercent", stepsJson(l.ninetyFivePercent)}}},
            {"storage", storageJson(a.storage)},
            {"utility",
             {{"flow", utilityJson(a.flowUtility)}, {"storage", utilityJson(a.storageUtility)}}},
            {"netIndices", netIndicesJson(a.netIndices)}};
}

void peerCompartmentValues(const NetworkResults& r, int i, Json& row) {
    const PeerAnalyses& a = *r.peers;
    const FlowPartition& f = a.partition;
    const Centralities& c = a.centrality;
    row["tetUnitOutput"] = at(f.tetUnitOutput, i);
    row["tetRealizedOutput"] = at(f.tetRealizedOutput, i);
    row["tetUnitInput"] = at(f.tetUnitInput, i);
    row["tetRealizedInput"] = at(f.tetRealizedInput, i);
    row["tesUnitOutput"] = at(a.storage.tesUnitOutput, i);
    row["tesRealizedInput"] = at(a.storage.tesRealizedInput, i);
    row["storageResidenceTime"] = at(a.storage.residenceTime, i);
    row["environCentralityIn"] = at(c.environIn, i);
    row["environCentralityOut"] = at(c.environOut, i);
    row["environCentralityAverage"] = at(c.environAverage, i);
    row["eigenvectorCentralityIn"] = at(c.eigenvectorIn, i);
    row["eigenvectorCentralityOut"] = at(c.eigenvectorOut, i);
    row["eigenvectorCentralityAverage"] = at(c.eigenvectorAverage, i);
    row["netIndicesTrophicLevel"] = at(a.netIndices.trophicLevel, i);
    row["omnivoryIndex"] = at(a.netIndices.omnivory, i);
}

}  // namespace flownet
