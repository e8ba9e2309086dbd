// The analyses of the other tools of the field (enaR, NetIndices) beyond the companion indices,
// computed in double precision from the network as read; they change nothing in the report.
// Each is a stage of its own (see its header for the formulas and references).
#pragma once

#include "centrality.hpp"
#include "companion.hpp"
#include "diversity.hpp"
#include "flowpartition.hpp"
#include "netindices.hpp"
#include "pathlength.hpp"
#include "peernetwork.hpp"
#include "storage.hpp"
#include "structurestats.hpp"
#include "utility.hpp"

namespace flownet {

struct PeerAnalyses {
    FlowPartition partition;
    StructureStatistics structure;
    Centralities centrality;
    Diversity throughflowDiversity, stockDiversity;
    PathLengths pathLengths;
    StorageAnalysis storage;
    Utility flowUtility, storageUtility;  // storageUtility.defined only with every stock positive
    NetIndices netIndices;
};

// `companion` gives the information indices of the same network (for the effective indices).
PeerAnalyses peerAnalyses(int n, int living, ConstVecView stocks, ConstVecView IN, ConstVecView EX,
                          ConstVecView RE, ConstMatView flows, const CompanionIndices& companion);

}  // namespace flownet
