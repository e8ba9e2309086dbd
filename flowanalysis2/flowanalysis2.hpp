// The run of flowanalysis2: the input file dialog, then for every network of the file the report
// file dialog and the report. Returns the exit status.
#pragma once

#include <istream>
#include <ostream>

#include "cyclecall.hpp"

namespace flownet {

// The counted cycle searches run on `threads` threads, every core the process may use when 0;
// the report and the console are the same for any number.
int runFlowanalysis2(std::istream& in, std::ostream& console, std::ostream& errors,
                     CycleSearch search = CycleSearch::Pruned, int threads = 0);

// The run started with arguments: no dialog (see command.hpp).
int runFlowanalysis2Command(int argc, const char* const* argv, std::ostream& out,
                            std::ostream& errors, CycleSearch search = CycleSearch::Pruned);

}  // namespace flownet
