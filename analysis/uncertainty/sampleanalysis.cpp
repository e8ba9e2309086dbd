#include "sampleanalysis.hpp"

#include <algorithm>

#include "textio.hpp"

namespace flownet {

namespace {

using Read = std::function<double(const SampleAnalysis&)>;

// The network-wide quantities: name, and how to read it.
std::vector<Quantity> networkQuantities() {
    return {
        // Throughflow and cycling.
        {"TST", [](const SampleAnalysis& s) { return s.companion.TST; }},
        {"TSTp", [](const SampleAnalysis& s) { return s.companion.TSTp; }},
        {"boundaryInput", [](const SampleAnalysis& s) { return s.companion.boundaryInput; }},
        {"APL", [](const SampleAnalysis& s) { return s.companion.APL; }},
        {"TSTc", [](const SampleAnalysis& s) { return s.companion.TSTc; }},
        {"FCI", [](const SampleAnalysis& s) { return s.companion.FCI; }},
        {"FCIb", [](const SampleAnalysis& s) { return s.companion.FCIb; }},
        // Information, in bits.
        {"H", [](const SampleAnalysis& s) { return s.companion.H; }},
        {"AMI", [](const SampleAnalysis& s) { return s.companion.AMI; }},
        {"C", [](const SampleAnalysis& s) { return s.companion.C; }},
        {"A", [](const SampleAnalysis& s) { return s.companion.A; }},
        {"overhead", [](const SampleAnalysis& s) { return s.companion.overhead; }},
        {"AoverC", [](const SampleAnalysis& s) { return s.companion.AC; }},
        {"robustness", [](const SampleAnalysis& s) { return s.companion.robustness; }},
        // Environ analysis.
        {"environ.output.indirectToDirect",
         [](const SampleAnalysis& s) { return s.companion.output.indirectToDirect; }},
        {"environ.output.homogenisation",
         [](const SampleAnalysis& s) { return s.companion.output.homogenisation; }},
        {"environ.output.amplification",
         [](const SampleAnalysis& s) { return s.companion.output.amplification; }},
        {"environ.input.indirectToDirect",
         [](const SampleAnalysis& s) { return s.companion.input.indirectToDirect; }},
        {"environ.input.homogenisation",
         [](const SampleAnalysis& s) { return s.companion.input.homogenisation; }},
        {"environ.input.amplification",
         [](const SampleAnalysis& s) { return s.companion.input.amplification; }},
        // Utility.
        {"utility.mutualism", [](const SampleAnalysis& s) { return s.companion.mutualism; }},
        {"utility.synergism", [](const SampleAnalysis& s) { return s.companion.synergism; }},
        // The information and connectance indices of the report.
        {"report.TST", [](const SampleAnalysis& s) { return s.TST; }},
        {"report.ascendency", [](const SampleAnalysis& s) { return s.info.total.ascendency; }},
        {"report.capacity", [](const SampleAnalysis& s) { return s.info.total.capacity; }},
        {"report.overhead", [](const SampleAnalysis& s) { return s.info.total.overhead; }},
        {"report.internalAscendency",
         [](const SampleAnalysis& s) { return s.info.internal.ascendency; }},
        {"report.internalCapacity", [](const SampleAnalysis& s) { return s.info.internal.capacity; }},
        {"report.redundancy", [](const SampleAnalysis& s) { return s.info.internal.overhead; }},
        {"report.ascendencyShare", [](const SampleAnalysis& s) { return s.shares.ascendency; }},
        {"report.importOverheadShare",
         [](const SampleAnalysis& s) { return s.shares.importOverhead; }},
        {"report.exportOverheadShare",
         [](const SampleAnalysis& s) { return s.shares.exportOverhead; }},
        {"report.dissipationShare", [](const SampleAnalysis& s) { return s.shares.dissipation; }},
        {"report.redundancyShare", [](const SampleAnalysis& s) { return s.shares.redundancy; }},
        {"report.overallConnectance", [](const SampleAnalysis& s) { return s.shares.overall; }},
        {"report.intercompartmentalConnectance",
         [](const SampleAnalysis& s) { return s.shares.intercompartmental; }},
        {"report.foodWebConnectance", [](const SampleAnalysis& s) { return s.shares.foodWeb; }},
    };
}

}  // namespace

std::vector<Quantity> uncertaintyQuantities(const NetworkValues& net) {
    const std::vector<std::string>& names = *net.names;
    std::vector<Quantity> q = networkQuantities();
    // Per compartment: throughflow and residence time.
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string name = withoutTrailingBlanks(names[i]);
        q.push_back({"throughflow[" + name + "]",
                     [i](const SampleAnalysis& s) { return s.companion.throughflow[i]; }});
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string name = withoutTrailingBlanks(names[i]);
        q.push_back({"residenceTime[" + name + "]",
                     [i](const SampleAnalysis& s) { return s.companion.residenceTime[i]; }});
    }
    if (net.feedingCycles) return q;
    for (std::size_t i = 0; i < static_cast<std::size_t>(net.nl); ++i) {
        const std::string name = withoutTrailingBlanks(names[i]);
        q.push_back({"effectiveTrophicLevel[" + name + "]",
                     [i](const SampleAnalysis& s) { return s.levels[i]; }});
    }
    return q;
}

SampleAnalyser::SampleAnalyser(const NetworkValues& net, const std::vector<Unknown>& unknowns)
    : n_(net.n), nl_(net.nl), unknowns_(unknowns) {
    const auto n = static_cast<std::size_t>(n_), e = n + 3;
    stocks_.resize(n);
    for (int i = 1; i <= n_; ++i) stocks_[static_cast<std::size_t>(i - 1)] = net.stocks(i);
    IN_.resize(n);
    EX_.resize(n);
    RE_.resize(n);
    flows_.resize(n * n);
    T_.resize(e * e);
    F_.resize(n * n);
    G_.resize(n * n);
    X_.resize(n);
    R_.resize(e);
    C_.resize(e);
    if (net.feedingCycles) return;
    trophic_ = std::make_unique<TrophicAggregation>();
    if (net.migratoryInputs) migratory_ = std::make_unique<MigratoryInputs>();
    a_.levels.resize(static_cast<std::size_t>(nl_));
}

const SampleAnalysis& SampleAnalyser::analyse(const std::vector<double>& x) {
    const int n = n_, e = n + 3;
    std::fill(flows_.begin(), flows_.end(), 0.0f);
    for (auto* v : {&IN_, &EX_, &RE_}) std::fill(v->begin(), v->end(), 0.0f);
    const MatView flows{flows_.data(), n, n};
    for (std::size_t k = 0; k < unknowns_.size(); ++k) {
        const Unknown& u = unknowns_[k];
        const auto value = static_cast<float>(x[k]);
        switch (u.kind) {
            case FlowKind::input: IN_[static_cast<std::size_t>(u.to - 1)] = value; break;
            case FlowKind::flow: flows(u.from, u.to) = value; break;
            case FlowKind::exported: EX_[static_cast<std::size_t>(u.from - 1)] = value; break;
            case FlowKind::respiration: RE_[static_cast<std::size_t>(u.from - 1)] = value; break;
        }
    }
    const ConstVecView stocks{stocks_.data(), n}, IN{IN_.data(), n}, EX{EX_.data(), n},
        RE{RE_.data(), n};
    companionIndices(a_.companion, n, stocks, IN, EX, RE, flows, CompanionMatrices::needed);

    // The report's indices work on the flow matrix extended by three rows and columns.
    std::fill(T_.begin(), T_.end(), 0.0f);
    const MatView T{T_.data(), e, e};
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) T(i, j) = flows(i, j);
    }
    ASCEND(T, IN, EX, RE, n, nl_, {F_.data(), n, n}, {G_.data(), n, n}, {X_.data(), n}, a_.TST,
           a_.info, {R_.data(), e}, {C_.data(), e});
    a_.shares = indexShares(a_.info);
    if (trophic_) trophicLevels(IN, flows);
    return a_;
}

void SampleAnalyser::trophicLevels(ConstVecView IN, ConstMatView flows) {
    TrophicAggregation& r = *trophic_;
    const TrophicArrays arrays{IN, {EX_.data(), n_}, {RE_.data(), n_}, flows};
    if (migratory_) classifyInputs(n_, nl_, IN, flows, *migratory_);
    intakeFractions(n_, arrays, r, migratory_.get());
    transformationMatrix(r.L.view(), n_, nl_, r);
    effectiveLevels(r.levels.view(), r.L.view(), n_, nl_);
    for (int i = 1; i <= nl_; ++i) a_.levels[static_cast<std::size_t>(i - 1)] = r.levels(i);
}

}  // namespace flownet
