#include "htmltables.hpp"

#include <map>
#include <set>
#include <sstream>
#include <variant>
#include <vector>

#include "htmlparts.hpp"
#include "summary.hpp"

namespace flownet {

namespace {

enum class Unit { None, Flow, FlowBits, Bits, Links, Stock, Count };

struct Described {
    const char* column;  // the summary column
    const char* words;
    Unit unit;
    const char* meaning;
    const char* anchor;  // the section of docs/results.md
};

struct Group {
    const char* heading;
    std::vector<Described> rows;
};

// The groups of the tables. The report's total system throughput and cycling index are other
// quantities than those of most papers under the same names: the two stand side by side.
const std::vector<Group> kGroups = {
    {"The network and its steady state",
     {{"compartment_count", "Compartments", Unit::Count, "living and non-living", "a-network"},
      {"living_count", "Living compartments", Unit::Count, "numbered first", "a-network"},
      {"largest_imbalance", "Largest imbalance", Unit::Flow,
       "inflow minus outflow where it is largest in size", "a-network"},
      {"largest_imbalance_compartment", "Compartment of the largest imbalance", Unit::None,
       "its number", "a-network"},
      {"steady_state_tolerance", "Tolerance of the steady-state check", Unit::Flow,
       "10^(1−K) of the network's precision exponent K", "a-network"}}},
    {"Where the report and the literature differ",
     {{"report_TSTp", "Total system throughput, TSTp (the report's \"total system throughput\")",
       Unit::Flow, "every flow of the network, inputs, exports and respirations included", "information"},
      {"TST", "Total system throughflow, TST (Finn)", Unit::Flow,
       "what passes through the compartments: the sum of their throughflows, boundary flows counted once",
       "throughflow-and-cycling"},
      {"report_cycled_flow_index", "Cycled flow index (the report's \"Finn cycling index\")", Unit::None,
       "the flow removed on simple cycles over TSTp", "cycles"},
      {"FCI", "Finn's cycling index, FCI", Unit::None,
       "the throughflow that returns to where it was, from the integral flow matrix, over TST",
       "throughflow-and-cycling"}}},
    {"Throughflow and cycling",
     {{"TSTp", "Total system throughput, TSTp (double precision)", Unit::Flow,
       "the report's TSTp recomputed from the network as read", "throughflow-and-cycling"},
      {"APL", "Average path length", Unit::None, "TST over the inputs: the throughflow each unit of input generates",
       "throughflow-and-cycling"},
      {"FCIb", "Cycling index over TSTp", Unit::None, "the cycled throughflow over TSTp", "throughflow-and-cycling"},
      {"cycles_removed", "Cycles removed", Unit::Count, "the simple cycles the report's cycle analysis removed", "cycles"}}},
    {"Information indices (as the report prints them)",
     {{"development_capacity", "Development capacity", Unit::FlowBits,
       "the capacity of all flows: ascendency plus every overhead", "information"},
      {"ascendency", "Ascendency", Unit::FlowBits, "the organised part of the capacity", "information"},
      {"ascendency_ratio", "Ascendency over capacity", Unit::None, "the share of the capacity that is organised", "information"},
      {"overhead_imports", "Overhead on imports", Unit::FlowBits, "the disorder of the inputs", "information"},
      {"overhead_exports", "Overhead on exports", Unit::FlowBits, "the disorder of the exports", "information"},
      {"dissipative_overhead", "Dissipative overhead", Unit::FlowBits, "the disorder of the respirations", "information"},
      {"redundancy", "Redundancy", Unit::FlowBits, "the parallel pathways between compartments", "information"},
      {"internal_capacity", "Internal capacity", Unit::FlowBits, "the capacity of the flows between compartments", "information"},
      {"internal_ascendency", "Internal ascendency", Unit::FlowBits, "the ascendency of those flows", "information"}}},
    {"Information indices (standard definitions)",
     {{"H", "Flow diversity, H", Unit::Bits, "the Shannon diversity of the flows", "information-1"},
      {"AMI", "Average mutual information, AMI", Unit::Bits, "how much the flows are constrained", "information-1"},
      {"C", "Development capacity, C", Unit::FlowBits, "TSTp times H", "information-1"},
      {"A", "Ascendency, A", Unit::FlowBits, "TSTp times AMI", "information-1"},
      {"overhead", "Overhead, C − A", Unit::FlowBits, "the capacity not organised", "information-1"},
      {"A_over_C", "A over C", Unit::None, "the degree of order", "information-1"},
      {"robustness", "Robustness", Unit::None, "−(A/C) ln(A/C): highest between order and freedom", "information-1"}}},
    {"Connectance",
     {{"overall_connectance", "Overall connectance", Unit::Links, "of all flows, the outside world included", "a-network"},
      {"intercompartmental_connectance", "Intercompartmental connectance", Unit::Links,
       "of the flows between compartments", "a-network"},
      {"foodweb_connectance", "Food-web connectance", Unit::Links, "of the flows between living compartments", "a-network"}}},
    {"Environ analysis, utility and storage",
     {{"indirect_to_direct_output", "Indirect to direct flow (output)", Unit::None,
       "indirect over direct flow, by the share of each throughflow passed on", "environ-analysis"},
      {"indirect_to_direct_input", "Indirect to direct flow (input)", Unit::None,
       "the same, by the share of each throughflow received", "environ-analysis"},
      {"homogenisation_output", "Network homogenisation (output)", Unit::None,
       "how much more even the integral flows are than the direct ones", "environ-analysis"},
      {"homogenisation_input", "Network homogenisation (input)", Unit::None, "the same, input-oriented", "environ-analysis"},
      {"amplification_output", "Network amplification (output)", Unit::Count,
       "pairs whose integral flow exceeds 1", "environ-analysis"},
      {"amplification_input", "Network amplification (input)", Unit::Count, "the same, input-oriented", "environ-analysis"},
      {"mutualism", "Network mutualism", Unit::None, "positive over negative integral utilities", "utility-analysis"},
      {"synergism", "Network synergism", Unit::None, "positive over negative integral utility, summed", "utility-analysis"},
      {"total_system_storage", "Total system storage", Unit::Stock, "the standing stocks summed", "storage"}}},
};

std::string unitText(Unit u, const NetworkResults& r) {
    const std::string flow = r.source != nullptr && !r.source->flowUnits.empty() ? r.source->flowUnits : "flow units";
    const std::string stock = r.source != nullptr && !r.source->stockUnits.empty() ? r.source->stockUnits : "stock units";
    switch (u) {
        case Unit::Flow: return flow;
        case Unit::FlowBits: return flow + " × bits";
        case Unit::Bits: return "bits";
        case Unit::Links: return "links per compartment";
        case Unit::Stock: return stock;
        case Unit::Count: return "count";
        case Unit::None: break;
    }
    return "";
}

// The cell of a summary value: its number shown plainly, the full value in its attributes.
std::string valueCell(const std::string& column, const SummaryValue& v) {
    const std::string path = "summary." + column;
    if (const float* f = std::get_if<float>(&v)) return "<td class=\"value\"" + dataOf(path, *f) + ">" + plainNumber(*f) + "</td>";
    if (const double* d = std::get_if<double>(&v)) return "<td class=\"value\"" + dataOf(path, *d) + ">" + plainNumber(*d) + "</td>";
    if (const long long* k = std::get_if<long long>(&v)) {
        return "<td class=\"value\"" + dataAttributes(path, std::to_string(*k)) + ">" + std::to_string(*k) + "</td>";
    }
    return "<td class=\"value\">–</td>";
}

std::map<std::string, const SummaryColumn*> columnsByName() {
    std::map<std::string, const SummaryColumn*> m;
    for (const SummaryColumn& c : summaryColumns()) m[c.name] = &c;
    return m;
}

// The numeric columns of the summary no table describes (added since): listed under their names.
std::vector<Described> undescribed() {
    std::set<std::string> seen = {"file", "ordinal", "format", "title", "units", "steady_state",
                                  "cycles_searched"};
    for (const Group& g : kGroups) {
        for (const Described& d : g.rows) seen.insert(d.column);
    }
    std::vector<Described> rest;
    for (const SummaryColumn& c : summaryColumns()) {
        if (!seen.count(c.name)) rest.push_back({c.name, c.name, Unit::None, "", "the-csv-summary"});
    }
    return rest;
}

void table(std::ostringstream& s, const NetworkResults& r, const char* heading, const std::vector<Described>& rows,
           const std::map<std::string, const SummaryColumn*>& columns) {
    s << "<table class=\"indices\"><caption>" << htmlText(heading)
      << "</caption><thead><tr><th>quantity</th><th>value</th><th>unit</th><th>what it is</th></tr></thead><tbody>";
    for (const Described& d : rows) {
        const auto c = columns.find(d.column);
        if (c == columns.end()) continue;
        const SummaryValue v = c->second->value(r);
        if (std::holds_alternative<std::string>(v) || std::holds_alternative<bool>(v)) continue;
        s << "<tr><th scope=\"row\">" << htmlText(d.words) << "</th>" << valueCell(d.column, v) << "<td>"
          << htmlText(unitText(d.unit, r)) << "</td><td>" << htmlText(d.meaning) << " <a href=\"docs/results.md#"
          << d.anchor << "\">more</a></td></tr>";
    }
    s << "</tbody></table>";
}

}  // namespace

std::string indexTables(const NetworkResults& r) {
    const auto columns = columnsByName();
    std::ostringstream s;
    for (const Group& g : kGroups) table(s, r, g.heading, g.rows, columns);
    const std::vector<Described> rest = undescribed();
    if (!rest.empty()) table(s, r, "Other values of the summary", rest, columns);
    return s.str();
}

}  // namespace flownet
