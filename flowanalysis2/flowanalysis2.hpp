// The run of flowanalysis2: the input file dialog, then for every network of the file the report
// file dialog and the report. Returns the exit status.
#pragma once

#include <istream>
#include <ostream>

#include "cyclecall.hpp"

namespace flownet {

int runFlowanalysis2(std::istream& in, std::ostream& console, std::ostream& errors,
                     CycleSearch search = CycleSearch::Pruned);

}  // namespace flownet
