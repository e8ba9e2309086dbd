// The run of flowanalysis2: the input file dialog, then for every network of the file the report
// file dialog and the report. Returns the exit status.
#pragma once

#include <istream>
#include <ostream>

#include "cyclecall.hpp"

namespace flownet {

int runFlowanalysis2(std::istream& in, std::ostream& console, std::ostream& errors,
                     CycleSearch search = CycleSearch::Pruned);

// The run started with arguments: no dialog (see command.hpp).
int runFlowanalysis2Command(int argc, const char* const* argv, std::ostream& out,
                            std::ostream& errors, CycleSearch search = CycleSearch::Pruned);

}  // namespace flownet
