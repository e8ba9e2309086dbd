// The summary table of an analysis run: one CSV row per network, under one header row.
#pragma once

#include <ostream>

#include "companion.hpp"
#include "results.hpp"

namespace flownet {

void writeSummaryHeader(std::ostream& out);
// The report's own indices, then the companion indices of the same network.
void writeSummaryRow(std::ostream& out, const NetworkResults& r);

// The cycle analysis the summary and the picture speak for: that of the whole network when it was
// searched, otherwise the feeding cycles (which then are every cycle: all compartments live).
const CycleRemoval& networkCycles(const NetworkResults& r);

}  // namespace flownet
