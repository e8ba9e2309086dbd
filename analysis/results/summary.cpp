#include "summary.hpp"

#include "textio.hpp"

namespace flownet {

const CycleRemoval& networkCycles(const NetworkResults& r) {
    return r.whole != nullptr ? *r.whole : *r.feeding;
}

namespace {

using R = const NetworkResults&;

std::string sourceText(R r, std::string NetworkSource::*field, const char* fallback) {
    return r.source != nullptr ? r.source->*field : std::string(fallback);
}

SummaryValue amplification(const Environ& e) {
    if (e.singular) return std::monostate{};
    return static_cast<long long>(e.amplification);
}

// The columns. The report's quantities carry the names of its lines; where a companion index of
// the literature shares a name with one of them, the report's is marked "report_": its total
// system throughput is TSTp, and its cycling index is the flow removed on simple cycles over
// TSTp, not Finn's FCI.
const std::vector<SummaryColumn> kColumns = {
    {"file", [](R r) -> SummaryValue { return r.file; }},
    {"ordinal", [](R r) -> SummaryValue { return static_cast<long long>(r.ordinal); }},
    {"format", [](R r) -> SummaryValue { return sourceText(r, &NetworkSource::format, "scor"); }},
    {"title", [](R r) -> SummaryValue { return withoutTrailingBlanks(*r.title); }},
    {"units", [](R r) -> SummaryValue { return sourceText(r, &NetworkSource::flowUnits, ""); }},
    {"compartment_count", [](R r) -> SummaryValue { return static_cast<long long>(r.N); }},
    {"living_count", [](R r) -> SummaryValue { return static_cast<long long>(r.NL); }},
    {"steady_state", [](R r) -> SummaryValue { return r.steady->steady; }},
    {"largest_imbalance", [](R r) -> SummaryValue { return r.steady->largestImbalance; }},
    {"largest_imbalance_compartment",
     [](R r) -> SummaryValue { return static_cast<long long>(r.steady->largestImbalanceAt); }},
    {"steady_state_tolerance", [](R r) -> SummaryValue { return r.tolerance; }},
    {"report_TSTp", [](R r) -> SummaryValue { return r.TST; }},
    {"development_capacity", [](R r) -> SummaryValue { return r.info->total.capacity; }},
    {"ascendency", [](R r) -> SummaryValue { return r.info->total.ascendency; }},
    {"ascendency_ratio", [](R r) -> SummaryValue { return r.shares->ascendency; }},
    {"overhead_imports", [](R r) -> SummaryValue { return r.info->inputs.overhead; }},
    {"overhead_exports", [](R r) -> SummaryValue { return r.info->exports.overhead; }},
    {"dissipative_overhead", [](R r) -> SummaryValue { return r.info->respirations.overhead; }},
    {"redundancy", [](R r) -> SummaryValue { return r.info->internal.overhead; }},
    {"internal_capacity", [](R r) -> SummaryValue { return r.info->internal.capacity; }},
    {"internal_ascendency", [](R r) -> SummaryValue { return r.info->internal.ascendency; }},
    {"report_cycled_flow_index", [](R r) -> SummaryValue { return networkCycles(r).finn; }},
    {"cycles_removed",
     [](R r) -> SummaryValue { return static_cast<long long>(networkCycles(r).count); }},
    {"cycles_searched",
     [](R r) -> SummaryValue { return std::string(r.whole != nullptr ? "whole_network" : "feeding"); }},
    {"overall_connectance", [](R r) -> SummaryValue { return r.shares->overall; }},
    {"intercompartmental_connectance",
     [](R r) -> SummaryValue { return r.shares->intercompartmental; }},
    {"foodweb_connectance", [](R r) -> SummaryValue { return r.shares->foodWeb; }},
    {"TST", [](R r) -> SummaryValue { return r.companion->TST; }},
    {"TSTp", [](R r) -> SummaryValue { return r.companion->TSTp; }},
    {"APL", [](R r) -> SummaryValue { return r.companion->APL; }},
    {"FCI", [](R r) -> SummaryValue { return r.companion->FCI; }},
    {"FCIb", [](R r) -> SummaryValue { return r.companion->FCIb; }},
    {"H", [](R r) -> SummaryValue { return r.companion->H; }},
    {"AMI", [](R r) -> SummaryValue { return r.companion->AMI; }},
    {"C", [](R r) -> SummaryValue { return r.companion->C; }},
    {"A", [](R r) -> SummaryValue { return r.companion->A; }},
    {"overhead", [](R r) -> SummaryValue { return r.companion->overhead; }},
    {"A_over_C", [](R r) -> SummaryValue { return r.companion->AC; }},
    {"robustness", [](R r) -> SummaryValue { return r.companion->robustness; }},
    {"indirect_to_direct_output",
     [](R r) -> SummaryValue { return r.companion->output.indirectToDirect; }},
    {"indirect_to_direct_input",
     [](R r) -> SummaryValue { return r.companion->input.indirectToDirect; }},
    {"homogenisation_output", [](R r) -> SummaryValue { return r.companion->output.homogenisation; }},
    {"homogenisation_input", [](R r) -> SummaryValue { return r.companion->input.homogenisation; }},
    {"amplification_output", [](R r) { return amplification(r.companion->output); }},
    {"amplification_input", [](R r) { return amplification(r.companion->input); }},
    {"mutualism", [](R r) -> SummaryValue { return r.companion->mutualism; }},
    {"synergism", [](R r) -> SummaryValue { return r.companion->synergism; }},
    {"total_system_storage", [](R r) -> SummaryValue { return r.companion->totalStorage; }},
};

}  // namespace

const std::vector<SummaryColumn>& summaryColumns() {
    static const std::vector<SummaryColumn> columns = [] {
        std::vector<SummaryColumn> all = kColumns;
        const std::vector<SummaryColumn>& peers = peerSummaryColumns();
        all.insert(all.end(), peers.begin(), peers.end());
        return all;
    }();
    return columns;
}

}  // namespace flownet
