// The run of flowentry: method question, entry or editing, steady-state diagnostics, balancing and
// the final file, all on the console. Returns the exit status.
#pragma once

#include <istream>
#include <ostream>

namespace flownet {

int runFlowentry(std::istream& in, std::ostream& console, std::ostream& errors);

}  // namespace flownet
