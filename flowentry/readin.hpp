// Reading a network file in flowentry: part by part for editing in the dialog, or at once on the
// command line.
#pragma once

#include <string>

#include "network.hpp"
#include "textio.hpp"

namespace flownet {

// File editing: zeroes the whole extended matrix, asks for an existing network file and whether
// changes are wanted, then reads the file part by part (title, counts, names, K and the lists),
// listing each part and, on request, changing it before the next part is read. The totals are
// left to the caller. The file is left open in `file`. An end of the file after its counts record,
// or of the console input at a checked question, returns what has been read; a file that ends
// before its counts record ends the run with a failure.
void READIN(Console& con, Network& net, RecordFile& file);

// The reading of the command line: the network file `name` is opened (a name that leads to no
// regular file, or a file that cannot be opened, ends the run with a failure) and read as READIN
// reads it, its refusal lines on the console and its warnings alike, without the listings or any
// question.
void readNetworkFile(Console& con, Network& net, RecordFile& file, const std::string& name);

}  // namespace flownet
