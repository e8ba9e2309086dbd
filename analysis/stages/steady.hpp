// Steady-state check and compartmental throughputs.
#pragma once

#include <ostream>

#include "capacity.hpp"
#include "matview.hpp"

namespace flownet {

// The steady-state check of one network.
struct SteadyState {
    // inflow(i): input plus flows in, the compartmental throughput; outflow(i): export plus
    // respiration plus flows out; imbalance(i): their difference, 0 below the tolerance.
    Vector<kStageCapacity> inflow, outflow, imbalance;
    bool steady = false;   // every imbalance is 0
    // The largest magnitude of inflow minus outflow, tolerance or not, and its compartment (the
    // first of equals).
    float largestImbalance = 0.0f;
    int largestImbalanceAt = 0;
    bool flowing = false;  // every compartment carries some flow
};

// Compares each compartment's inflow with its outflow. Differences whose magnitude is below the
// tolerance count as zero; a total imbalance that is not a number (inflow and outflow both beyond
// single precision) is no steady state either.
void checkSteadyState(int n, ConstVecView IN, ConstVecView EX, ConstVecView RE, ConstMatView T,
                      float tolerance, SteadyState& s);

// A network out of steady state gets a warning and the comparison table, one in steady state the
// listing of the throughputs. A compartment with no throughput at all then stops the run.
void writeSteadyState(std::ostream& report, int n, const SteadyState& s);

}  // namespace flownet
