// Keyboard entry of a network in flowentry.
#pragma once

#include "network.hpp"
#include "textio.hpp"

namespace flownet {

// Keyboard entry: zeroes the whole extended matrix, then asks for the title, counts, names,
// standing stocks, precision, inputs, exports, respirations and flows, each part listed back and
// open to corrections; then the network as entered is written to a new file the user names. The
// totals are left to the caller. When the console input ends at a checked question the entry
// stops there and returns what it has.
void KEYIN(Console& con, Network& net);

}  // namespace flownet
