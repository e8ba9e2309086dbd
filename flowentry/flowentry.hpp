// The run of flowentry: method question, entry or editing, steady-state diagnostics, balancing and
// the final file, all on the console. Returns the exit status.
#pragma once

#include <istream>
#include <ostream>

namespace flownet {

int runFlowentry(std::istream& in, std::ostream& console, std::ostream& errors);

// The run with arguments: no dialog. "--check NETWORK" tells whether the network file is in
// steady state (status 0) or not (1), with the diagnostics on `out`; "--balance NETWORK -o OUT"
// balances it and writes it to OUT (status 0), or writes nothing when it cannot be balanced (1).
// Usage errors and failures of the input or the files: status 2, told on `errors`.
int runFlowentryCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& errors);

}  // namespace flownet
