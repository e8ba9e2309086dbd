// The summary table of an analysis run: one CSV row per network, under one header row.
#pragma once

#include <ostream>

#include "results.hpp"
#include "summary.hpp"

namespace flownet {

void writeSummaryHeader(std::ostream& out);
// The columns of summary.hpp: the report's own indices, then the companion indices of the same
// network.
void writeSummaryRow(std::ostream& out, const NetworkResults& r);

}  // namespace flownet
