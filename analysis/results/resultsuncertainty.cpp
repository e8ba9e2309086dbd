// The "uncertainty" section of a network's results.
#include "jsonparts.hpp"

namespace flownet {

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
            {"quantities", std::move(quantities)}};
}

}  // namespace flownet
