// Filling the network of a run: typed in at the keyboard, or read from a network file and edited.
// Both zero the whole extended matrix first and fill the title, the counts, the names, K and the
// lists; the totals are left to the caller.
#pragma once

#include "network.hpp"
#include "textio.hpp"

namespace flownet {

// Keyboard entry: title, counts, names, standing stocks, precision, inputs, exports,
// respirations and flows, each part listed back and open to corrections; then the network as
// entered is written to a new file the user names. When the console input ends at a checked
// question the entry stops there and returns what it has.
void KEYIN(Console& con, Network& net);

// File editing: asks for an existing network file and whether changes are wanted, then reads the
// file part by part, listing each part and, on request, changing it before the next part is read.
// The file is left open in `file`. An end of the file after its counts record, or of the console
// input at a checked question, returns what has been read; a file that ends before its counts
// record ends the run with a failure.
void READIN(Console& con, Network& net, RecordFile& file);

}  // namespace flownet
