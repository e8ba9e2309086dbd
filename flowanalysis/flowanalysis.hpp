// The run of flowanalysis: the file dialogs on the console, then the report of every network of the
// file. Returns the exit status.
#pragma once

#include <istream>
#include <ostream>

namespace flownet {

int runFlowanalysis(std::istream& in, std::ostream& console, std::ostream& errors);

}  // namespace flownet
