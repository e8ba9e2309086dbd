// The NEA system matrix (Fath and Borrett 2006): one delimited matrix of n + 1 rows and n + 2
// columns, without names. Row i (1..n) holds in column j (1..n) the flow from compartment j to
// compartment i (column to row), in column n + 1 the input of i and in column n + 2 its stock; row
// n + 1 holds in column j the output of j, then two zeros. Cells are separated by commas, or by
// blanks when a line holds no comma.
//
// The file does not split an output into export and respiration, nor name the compartments, nor
// tell which are living: read, an output is a respiration (no exports), compartment k is named
// "COMPARTMENT k", and every compartment is living but those the reader is told are not; the
// notices say so. Written, export and respiration are summed into the output.
#pragma once

#include <ostream>
#include <set>
#include <string_view>

#include "csvtext.hpp"
#include "netdraft.hpp"

namespace flownet {

// `nonLiving`: the compartments (numbered as in the file, from 1) that are not living.
NetworkDraft readNea(const std::string& file, std::string_view bytes, const std::set<int>& nonLiving);

void writeNea(std::ostream& out, const NetworkView& net);

}  // namespace flownet
