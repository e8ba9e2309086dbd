// The "uncertainty" section of a network's results.
#include "jsonparts.hpp"

namespace flownet {

namespace {

// The entries of the matrix summary as a list of rows, one statistic at a time.
template <class Read>
Json summaryRows(const MatrixSummary& m, Read read) {
    Json rows = Json::array();
    for (int i = 0; i < m.n; ++i) {
        Json row = Json::array();
        for (int j = 0; j < m.n; ++j) row.push_back(read(static_cast<std::size_t>(i * m.n + j)));
        rows.push_back(std::move(row));
    }
    return rows;
}

Json matrixSummary(const MatrixSummary& m) {
    const auto& e = m.entries;
    return {{"value", summaryRows(m, [&](std::size_t k) { return m.given[k]; })},
            {"mean", summaryRows(m, [&](std::size_t k) { return e[k].mean; })},
            {"sd", summaryRows(m, [&](std::size_t k) { return e[k].sd; })},
            {"median", summaryRows(m, [&](std::size_t k) { return e[k].median; })},
            {"q2.5", summaryRows(m, [&](std::size_t k) { return e[k].low; })},
            {"q97.5", summaryRows(m, [&](std::size_t k) { return e[k].high; })},
            {"positive", summaryRows(m, [&](std::size_t k) { return m.positive[k]; })}};
}

}  // namespace

Json uncertaintyObject(const UncertaintyResult& u) {
    const Polytope& p = u.polytope;
    Json flows = Json::array();
    for (std::size_t k = 0; k < p.unknowns.size(); ++k) {
        const Unknown& x = p.unknowns[k];
        flows.push_back({{"flow", jsonText(u.unknownNames[k])},
                         {"value", x.value},
                         {"low", x.low},
                         {"high", x.high}});
    }
    Json quantities = Json::array();
    for (std::size_t q = 0; q < u.summaries.size(); ++q) {
        const QuantitySummary& s = u.summaries[q];
        quantities.push_back({{"quantity", jsonText(u.quantityNames[q])},
                              {"value", u.given[q]},
                              {"mean", s.mean},
                              {"sd", s.sd},
                              {"median", s.median},
                              {"q2.5", s.low},
                              {"q97.5", s.high},
                              {"ess", s.ess},
                              {"undefined", s.undefined}});
    }
    const UncertaintyOptions& o = u.options;
    return {{"method", "hit-and-run"},
            {"samples", o.samples},
            {"chains", o.chains},
            {"burnIn", o.burnIn},
            {"thin", o.thin},
            {"seed", o.seed},
            {"unknowns", p.unknowns.size()},
            {"pinned", p.unknowns.size() - p.free.size()},
            {"dimension", p.dimension},
            {"acceptance", u.acceptance},
            {"flows", std::move(flows)},
            {"quantities", std::move(quantities)},
            {"mixedTrophicImpact", u.impact ? matrixSummary(*u.impact) : Json()}};
}

}  // namespace flownet
