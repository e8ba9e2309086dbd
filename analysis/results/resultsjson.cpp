#include "resultsjson.hpp"

#include "commandline.hpp"
#include "jsonparts.hpp"
#include "textio.hpp"

namespace flownet {

namespace {

Json number(float x) {
    return jsonNumber(x);
}
Json vector(ConstVecView v, int n) {
    return jsonVector(v, n);
}
template <class Real>
Json matrix(BasicMatView<const Real> m, int rows, int cols) {
    return jsonMatrix(m, rows, cols);
}
Json text(const std::string& bytes) {
    return jsonText(bytes);
}

// Every document is dumped so that no byte can make the JSON library throw: text is valid UTF-8
// already, and anything else would be replaced.
std::string dumped(const Json& j) {
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json flowList(ConstMatView T, int n) {
    Json flows = Json::array();
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (T(i, j) != 0.0f)
                flows.push_back({{"from", i}, {"to", j}, {"value", number(T(i, j))}});
        }
    }
    return flows;
}

Json steadyState(const NetworkResults& r) {
    const SteadyState& s = *r.steady;
    return {{"steady", s.steady},
            {"tolerance", number(r.tolerance)},
            {"largestImbalance", number(s.largestImbalance)},
            {"largestImbalanceCompartment", s.largestImbalanceAt}};
}

// A matrix of coefficients, or null when its inversion met a zero pivot (the row is given).
Json coefficients(const Matrix<kStageCapacity>& m, int trouble, int n) {
    if (trouble != 0) return {{"singularRow", trouble}, {"matrix", matrix(m.view(), n, n)}};
    return {{"singularRow", nullptr}, {"matrix", matrix(m.view(), n, n)}};
}

Json structure(const NetworkResults& r) {
    const StructureAnalyses& s = *r.structure;
    Json inputs = Json::array();
    for (int k = 1; k <= r.N; ++k) {
        if (!s.analysed[static_cast<std::size_t>(k - 1)]) continue;
        inputs.push_back(
            {{"compartment", k},
             {"inputs", vector(column(s.inputs, k), r.N)},
             {"exports", vector(column(s.exports, k), r.N)},
             {"respirations", vector(column(s.respirations, k), r.N)},
             {"flows", matrix(s.exchanges[static_cast<std::size_t>(k - 1)].view(), r.N, r.N)}});
    }
    return {{"totalContributions", coefficients(s.contributions, s.contributionTrouble, r.N)},
            {"totalDependencies", coefficients(s.dependencies, s.dependencyTrouble, r.N)},
            {"inputAnalyses", inputs}};
}

Json trophic(const NetworkResults& r) {
    const TrophicAggregation& t = *r.trophic;
    Json j = {{"transformation", matrix(t.L.view(), r.NL, r.NL)},
              {"canonicalInputs", vector(t.inputs.view(), r.N)},
              {"canonicalExports", vector(t.exports.view(), r.N)},
              {"canonicalRespirations", vector(t.respirations.view(), r.N)},
              {"grazingChain", vector(t.chain.view(), r.NL)}};
    if (r.NL < r.N) {
        j["detritalPool"] = {{"returns", vector(t.returns.view(), r.NL)},
                             {"detritivory", number(t.detritivory)},
                             {"input", number(t.poolInput)},
                             {"circulation", number(t.circulation)}};
        j["spine"] = vector(t.spine.view(), r.NL);
    } else {
        j["detritalPool"] = nullptr;
        j["spine"] = nullptr;
    }
    j["efficiencies"] = vector(t.efficiencies.view(), t.nEfficiencies);
    if (r.migratory != nullptr) {
        Json suspects = Json::array();
        for (int i = 1; i <= r.NL; ++i) {
            if (r.migratory->MIG(i) > 0.0f) {
                suspects.push_back({{"compartment", i}, {"value", number(r.migratory->MIG(i))}});
            }
        }
        j["migratoryInputs"] = {{"noPrimaryProducer", r.migratory->noPrimaryProducer},
                                {"suspects", suspects}};
    }
    return j;
}

// The nexuses as the report lists them: one record each, with the cycles listed under it.
Json nexusTable(const NexusTable& t) {
    Json list = Json::array();
    for (const Nexus& x : t.nexuses) {
        Json cycles = Json::array();
        for (const ListedCycle& c : x.cycles) cycles.push_back({{"number", c.number}, {"nodes", c.nodes}});
        list.push_back({{"weakArcFrom", x.from},
                        {"weakArcTo", x.to},
                        {"flow", number(x.flow)},
                        {"cyclesCounted", x.counted},
                        {"cyclesRemoved", x.removed < 0 ? Json(nullptr) : Json(x.removed)},
                        {"cycles", cycles}});
    }
    return list;
}

Json cycleRemoval(const CycleRemoval& c, int n, bool distributions) {
    // No cycle found: nothing cycles, the index is 0.
    Json j = {{"found", c.found}, {"removed", c.count}, {"cycledFlowIndex", number(c.finn)},
              {"nexuses", nexusTable(c.nexuses)}, {"nexusTableComplete", c.nexuses.complete}};
    if (!c.found) return j;
    if (distributions) {
        j["cycledFlow"] = vector(c.cycled.view(), n);
        j["normalisedCycledFlow"] = vector(c.normalised.view(), n);
    }
    return j;
}

Json cycles(const NetworkResults& r) {
    Json j = {{"feeding", cycleRemoval(*r.feeding, r.NL, false)}};
    if (r.whole == nullptr) {
        j["wholeNetwork"] = nullptr;
        return j;
    }
    Json whole = cycleRemoval(*r.whole, r.N, r.whole->found);
    if (r.cyclesRemoved) {
        whole["residualFlows"] = matrix(r.residual, r.N, r.N);
        whole["aggregatedCycles"] = matrix(r.aggregated, r.N, r.N);
    }
    j["wholeNetwork"] = whole;
    return j;
}

Json information(const NetworkResults& r) {
    const InformationIndices& t = *r.info;
    const IndexShares& s = *r.shares;
    const std::pair<const char*, const IndexTerms*> kinds[] = {{"inputs", &t.inputs},
                                                               {"internal", &t.internal},
                                                               {"exports", &t.exports},
                                                               {"respirations", &t.respirations},
                                                               {"total", &t.total}};
    Json ascendency, overhead, capacity;
    for (const auto& [kind, terms] : kinds) {
        ascendency[kind] = number(terms->ascendency);
        overhead[kind] = number(terms->overhead);
        capacity[kind] = number(terms->capacity);
    }
    return {{"TSTp", number(r.TST)},
            {"developmentCapacity", number(t.total.capacity)},
            {"ascendency", number(t.total.ascendency)},
            {"ascendencyRatio", number(s.ascendency)},
            {"importOverhead", number(t.inputs.overhead)},
            {"importOverheadRatio", number(s.importOverhead)},
            {"exportOverhead", number(t.exports.overhead)},
            {"exportOverheadRatio", number(s.exportOverhead)},
            {"dissipativeOverhead", number(t.respirations.overhead)},
            {"dissipativeOverheadRatio", number(s.dissipation)},
            {"redundancy", number(t.internal.overhead)},
            {"redundancyRatio", number(s.redundancy)},
            {"internalCapacity", number(t.internal.capacity)},
            {"internalAscendency", number(t.internal.ascendency)},
            {"internalAscendencyRatio", number(s.internalAscendency)},
            {"internalRedundancyRatio", number(s.internalRedundancy)},
            {"table", {{"ascendency", ascendency}, {"overhead", overhead}, {"capacity", capacity}}}};
}

Json connectance(const NetworkResults& r) {
    const InformationIndices& t = *r.info;
    const IndexShares& s = *r.shares;
    return {{"overall", number(s.overall)},
            {"intercompartmental", number(s.intercompartmental)},
            {"foodWeb", number(s.foodWeb)},
            {"uncertainties",
             {{"overall", number(t.overallUncertainty)},
              {"intercompartmental", number(t.intercompartmentalUncertainty)},
              {"foodWeb", number(t.foodWebUncertainty)}}}};
}

Json matrix(const SquareMatrix& m) {
    return matrix(m.view(), m.n, m.n);
}

Json environ(const Environ& e) {
    return {{"direct", matrix(e.direct)},
            {"integral", e.singular ? Json(nullptr) : matrix(e.integral)},
            {"indirectToDirect", e.indirectToDirect},
            {"homogenisation", e.homogenisation},
            {"amplification", e.singular ? Json(nullptr) : Json(e.amplification)}};
}

Json companion(const CompanionIndices& c) {
    return {{"TST", c.TST},
            {"TSTp", c.TSTp},
            {"boundaryInput", c.boundaryInput},
            {"APL", c.APL},
            {"TSTc", c.TSTc},
            {"FCI", c.FCI},
            {"FCIb", c.FCIb},
            {"information",
             {{"H", c.H},
              {"AMI", c.AMI},
              {"C", c.C},
              {"A", c.A},
              {"overhead", c.overhead},
              {"AoverC", c.AC},
              {"robustness", c.robustness}}},
            {"environ", {{"output", environ(c.output)}, {"input", environ(c.input)}}},
            {"mixedTrophicImpact",
             {{"direct", matrix(c.directImpact)},
              {"total", c.impactSingular ? Json(nullptr) : matrix(c.totalImpact)}}},
            {"utility",
             {{"direct", matrix(c.directUtility)},
              {"integral", c.utilitySingular ? Json(nullptr) : matrix(c.integralUtility)},
              {"mutualism", c.mutualism},
              {"synergism", c.synergism}}},
            {"storage",
             {{"totalSystemStorage", c.totalStorage}}}};
}

}  // namespace

void writeJsonHead(std::ostream& out, const char* program) {
    const Json head = {{"format", kResultsFormat},
                       {"version", kResultsVersion},
                       {"program", program},
                       {"programVersion", suiteVersion()}};
    const std::string start = dumped(head);
    out << start.substr(0, start.size() - 1) << ",\"networks\":[";
}

void writeJsonNetwork(std::ostream& out, const NetworkResults& r, bool first) {
    Json j = {{"file", text(r.file)},
                    {"ordinal", r.ordinal},
                    {"format", r.source != nullptr ? r.source->format : std::string("scor")},
                    {"title", text(withoutTrailingBlanks(*r.title))},
                    {"units", unitsObject(r)},
                    {"precisionExponent", r.K},
                    {"compartmentCount", r.N},
                    {"livingCount", r.NL},
                    {"compartments", compartmentTable(r)},
                    {"flows", flowList(r.flows, r.N)},
                    {"steadyState", steadyState(r)},
                    {"structure", structure(r)},
                    {"trophicAggregation", trophic(r)},
                    {"cycles", cycles(r)},
                    {"information", information(r)},
                    {"connectance", connectance(r)},
                    {"companionIndices", companion(*r.companion)},
                    {"peerAnalyses", peerObject(r)},
                    {"summary", summaryObject(r)}};
    if (r.uncertainty != nullptr) j["uncertainty"] = uncertaintyObject(*r.uncertainty);
    out << (first ? "\n" : ",\n") << dumped(j);
}

void writeJsonTail(std::ostream& out, const std::vector<RunProblem>& problems) {
    Json list = Json::array();
    for (const RunProblem& p : problems) {
        list.push_back({{"file", p.file.empty() ? Json(nullptr) : text(p.file)},
                        {"network", p.network > 0 ? Json(p.network) : Json(nullptr)},
                        {"status", p.status},
                        {"message", text(p.message)}});
    }
    out << "\n],\"problems\":" << dumped(list) << "}\n";
}

}  // namespace flownet
