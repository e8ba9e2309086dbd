// The run of flowanalysis: the file dialogs on the console, then the report of every network of the
// file. Returns the exit status.
#pragma once

#include <istream>
#include <ostream>

#include "cyclecall.hpp"

namespace flownet {

// The cycle routines enumerate with `search` (the straightforward reference search serves the
// tests and the benchmarks).
int runFlowanalysis(std::istream& in, std::ostream& console, std::ostream& errors,
                    CycleSearch search = CycleSearch::Pruned);

// The run started with arguments: no dialog (see command.hpp).
int runFlowanalysisCommand(int argc, const char* const* argv, std::ostream& out,
                           std::ostream& errors, CycleSearch search = CycleSearch::Pruned);

}  // namespace flownet
