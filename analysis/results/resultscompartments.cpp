// The parts of a network's JSON object that gather what the rest of it holds by quantity: the
// table of the compartments, the units and the summary.
#include <variant>

#include "jsonparts.hpp"
#include "summary.hpp"
#include "textio.hpp"

namespace flownet {

namespace {

Json orNull(double x) {
    return std::isnan(x) ? Json(nullptr) : Json(x);
}

// The compartment's place and name in its file (the same as its number and name for a network
// file of fixed columns).
void givenPlace(const NetworkResults& r, int i, const std::string& name, Json& c) {
    const std::size_t k = static_cast<std::size_t>(i - 1);
    const bool given = r.source != nullptr && k < r.source->givenOrder.size();
    c["givenOrder"] = given ? r.source->givenOrder[k] : i;
    c["givenName"] = jsonText(given ? r.source->givenNames[k] : name);
}

}  // namespace

Json compartmentTable(const NetworkResults& r) {
    Json table = Json::array();
    const SteadyState& s = *r.steady;
    const CompanionIndices& c = *r.companion;
    for (int i = 1; i <= r.N; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - 1);
        const std::string name = withoutTrailingBlanks((*r.names)[k]);
        Json row = {{"number", i}, {"name", jsonText(name)}};
        givenPlace(r, i, name, row);
        row["living"] = i <= r.NL;
        row["stock"] = jsonNumber(r.stocks(i));
        row["input"] = jsonNumber(r.IN(i));
        row["export"] = jsonNumber(r.EX(i));
        row["respiration"] = jsonNumber(r.RE(i));
        row["throughput"] = jsonNumber(s.inflow(i));
        row["outflow"] = jsonNumber(s.outflow(i));
        row["imbalance"] = jsonNumber(s.imbalance(i));
        row["effectiveTrophicLevel"] = jsonNumber(r.trophic->levels(i));
        row["migratoryInput"] = r.migratory == nullptr ? Json(nullptr)
                                : i <= r.NL         ? jsonNumber(r.migratory->MIG(i))
                                                    : jsonNumber(0.0f);
        row["companionThroughflow"] = orNull(c.throughflow[k]);
        row["companionResidenceTime"] = orNull(c.residenceTime[k]);
        row["companionTurnoverRate"] = orNull(c.turnoverRate[k]);
        peerCompartmentValues(r, i, row);
        table.push_back(std::move(row));
    }
    return table;
}

Json unitsObject(const NetworkResults& r) {
    const auto orNullText = [](const std::string& t) {
        return t.empty() ? Json(nullptr) : jsonText(t);
    };
    if (r.source == nullptr) return {{"flow", nullptr}, {"stock", nullptr}, {"source", nullptr}};
    return {{"flow", orNullText(r.source->flowUnits)},
            {"stock", orNullText(r.source->stockUnits)},
            {"source", orNullText(r.source->unitsSource)}};
}

namespace {

struct JsonValue {
    Json operator()(std::monostate) const { return nullptr; }
    Json operator()(bool b) const { return b; }
    Json operator()(long long k) const { return k; }
    Json operator()(float x) const { return jsonNumber(x); }
    Json operator()(double x) const { return jsonNumber(x); }
    Json operator()(const std::string& t) const { return jsonText(t); }
};

}  // namespace

Json summaryObject(const NetworkResults& r) {
    Json j = Json::object();
    for (const SummaryColumn& c : summaryColumns()) j[c.name] = std::visit(JsonValue{}, c.value(r));
    return j;
}

}  // namespace flownet
