// Primary producers and suspected migratory inputs.
//
// An input counts as primary production only when it enters a living compartment that receives
// nothing from any compartment of the network. An input to a living compartment that also takes in
// flow from the network is suspected to be a migratory input: biomass that arrives already
// produced.
#pragma once

#include <ostream>

#include "matview.hpp"

namespace flownet {

// Classifies the inputs of the living compartments 1..nl and returns the number of suspected
// migratory inputs; MIG(i) receives IN(i) for each suspect and 0 otherwise (i = 1..n). When no
// living compartment is an unambiguous primary producer, the warning is written, every input counts
// as primary production and the result is 0.
int classifyInputs(std::ostream& report, int n, int nl, ConstVecView IN, ConstMatView T,
                   VecView MIG);

// Lists the suspected migratory inputs (nothing when there are none).
void listMigratoryInputs(std::ostream& report, int nl, int nMig, ConstVecView MIG);

}  // namespace flownet
