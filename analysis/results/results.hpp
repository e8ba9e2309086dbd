// The results of one analysed network, as the machine-readable writers (JSON, CSV, DOT) read them:
// views into the run's arrays, valid until the next network is read.
#pragma once

#include <string>
#include <vector>

#include "ascend.hpp"
#include "companion.hpp"
#include "cyclecall.hpp"
#include "lindeman.hpp"
#include "matview.hpp"
#include "migratory.hpp"
#include "peers.hpp"
#include "steady.hpp"
#include "structure.hpp"
#include "uncertainty.hpp"

namespace flownet {

// Where a network came from, as its results tell it.
struct NetworkSource {
    std::string format = "scor";               // scor, csv, csv-edges or nea
    std::string flowUnits, stockUnits;         // empty when not known
    std::string unitsSource;                   // file, option, title, or empty
    std::vector<int> givenOrder;               // [k - 1]: compartment k's place in the file, from 1
    std::vector<std::string> givenNames;       // [k - 1]: its name as the file gives it
};

struct NetworkResults {
    std::string file;  // the network file, as named
    int ordinal = 0;   // the network's place in its file, from 1
    const std::string* title = nullptr;
    int K = 0, N = 0, NL = 0;
    float tolerance = 0.0f;
    const std::vector<std::string>* names = nullptr;  // names[i - 1] of compartment i
    ConstVecView stocks, IN, EX, RE;                  // as read
    ConstMatView flows;                               // as read, flows(i, j) from i to j
    ConstVecView X;                                   // compartmental throughputs
    float TST = 0.0f;                                 // total system throughput
    const SteadyState* steady = nullptr;
    const StructureAnalyses* structure = nullptr;
    const TrophicAggregation* trophic = nullptr;
    const MigratoryInputs* migratory = nullptr;  // flowanalysis2 only
    const InformationIndices* info = nullptr;
    const IndexShares* shares = nullptr;
    const CycleRemoval* feeding = nullptr;
    const CycleRemoval* whole = nullptr;  // null when the whole network was not searched
    ConstMatView residual, aggregated;    // valid when the whole network's cycles were removed
    bool cyclesRemoved = false;
    const CompanionIndices* companion = nullptr;  // the companion indices
    const PeerAnalyses* peers = nullptr;          // the analyses of the other tools
    const UncertaintyResult* uncertainty = nullptr;  // when the plausible networks were sampled
    // Where the network came from; null for a network file of fixed columns read in the dialog.
    const NetworkSource* source = nullptr;
};

}  // namespace flownet
