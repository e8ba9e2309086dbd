// The steady-state check of the entry program over the extended matrix (totals current): the
// diagnostic warnings, the imbalances and the comparison of throughputs.
#pragma once

#include <ostream>

#include "matview.hpp"

namespace flownet {

// Warns about every compartment without inputs or without outputs, sets D(i) = total input -
// total output, and tells whether the network is in steady state: every |D(i)| at most `tol`.
// Out of steady state it prints the comparison of throughputs of every compartment.
bool steadyStatePass(std::ostream& out, ConstMatView T, VecView D, int n, float tol);

}  // namespace flownet
