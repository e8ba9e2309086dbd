// Primary producers and suspected migratory inputs.
//
// An input counts as primary production only when it enters a living compartment that receives
// nothing from any compartment of the network. An input to a living compartment that also takes in
// flow from the network is suspected to be a migratory input: biomass that arrives already
// produced.
#pragma once

#include <ostream>

#include "capacity.hpp"
#include "matview.hpp"

namespace flownet {

// The classification of a network's inputs. Migratory inputs count neither as primary production
// nor as food.
struct MigratoryInputs {
    Vector<kStageCapacity> MIG;  // MIG(i): the migratory part of IN(i), 0 for the others
    int nMig = 0;                // the number of suspects
    // No living compartment is an unambiguous primary producer: every input counts as primary
    // production and there is no suspect.
    bool noPrimaryProducer = false;
};

// Classifies the inputs of the living compartments 1..nl (MIG is set for i = 1..n).
void classifyInputs(int n, int nl, ConstVecView IN, ConstMatView T, MigratoryInputs& mig);

// The warning that no unambiguous primary producer was found (nothing otherwise).
void writePrimaryProducerWarning(std::ostream& report, const MigratoryInputs& mig);

// Lists the suspected migratory inputs (nothing when there are none).
void listMigratoryInputs(std::ostream& report, int nl, const MigratoryInputs& mig);

}  // namespace flownet
