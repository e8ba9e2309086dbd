// The headline values of one network: one table of named columns, the row of the CSV summary and
// the "summary" object of the JSON document alike, so that both name every value the same and
// take it by the same rule.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "results.hpp"

namespace flownet {

// A value of the summary: none (an empty cell, null), a truth, a count, a single-precision value
// of the report, a double of the companion indices, or a text.
using SummaryValue = std::variant<std::monostate, bool, long long, float, double, std::string>;

struct SummaryColumn {
    const char* name;
    SummaryValue (*value)(const NetworkResults&);
};

// The columns, in order: the report's, the companion indices', then those of the other tools
// (peerSummaryColumns).
const std::vector<SummaryColumn>& summaryColumns();
const std::vector<SummaryColumn>& peerSummaryColumns();

// The cycle search whose index the summary gives: the whole network's, when it was searched, else
// the feeding cycles' (flowanalysis on a network of living compartments only).
const CycleRemoval& networkCycles(const NetworkResults& r);

}  // namespace flownet
