// Steady-state check and compartmental throughputs.
#pragma once

#include <ostream>

#include "matview.hpp"

namespace flownet {

// Compares each compartment's inflow (input plus flows in) with its outflow (export plus
// respiration plus flows out). Differences whose magnitude is below the tolerance count as zero.
// A network out of steady state gets a warning and the comparison table, one in steady state the
// listing of the throughputs. A compartment with no throughput at all stops the run. The three
// work vectors (inflow is the throughput array X) are left zero.
void checkSteadyState(std::ostream& report, int n, ConstVecView IN, ConstVecView EX,
                      ConstVecView RE, ConstMatView T, float tolerance, VecView inflow,
                      VecView outflow, VecView imbalance);

}  // namespace flownet
