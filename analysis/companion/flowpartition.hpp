// The partition of the throughflow (Fath and Patten 1999; Borrett and Freeze 2011) and its flow
// modes (Higashi, Patten and Burns 1993; Fath, Patten and Choi 2001), and the total environ
// throughflows (Fath and Borrett 2006), from the output-oriented integral flows N = (I - G)^-1 and
// the input-oriented N' = (I - G')^-1 of the network.
//
// TST = sum T. Boundary = sum z; direct = sum_j (z^T G)_j; indirect = sum_j (z^T (N - I - G))_j:
// BFI, DFI, IFI are each over TST, and sum to 1 because T = z^T N. The realized ratio of indirect
// to direct flow is indirect / direct.
// Modes: mode0 = sum z (the boundary input), mode2 = TSTc = sum_i (1 - 1 / N(i, i)) T(i) (the
// cycled flow), mode1 = TST - mode0 - mode2 (the flow on its first, acyclic passage); mode4 =
// sum y (the boundary output) and mode3 = TST - mode4 - mode2 are their dissipative counterparts,
// equal to mode0 and mode1 in steady state. mode0 + mode1 + mode2 = TST.
// Total environ throughflow of each compartment: unit output TET(i) = sum_j N(i, j) (the
// throughflow one unit entering i generates downstream), realized output TET(i) = z(i) times
// that; unit input TET(j) = sum_i N'(i, j) (the throughflow one unit leaving j drew upstream),
// realized input TET(j) = y(j) times that. Each realized set sums to TST.
// Cost: O(n^2) once N and N' are known. Everything is NaN when N (or N', for the input TET) is
// singular.
#pragma once

#include <vector>

#include "peernetwork.hpp"

namespace flownet {

struct FlowPartition {
    double TST = kNaN, boundary = kNaN, direct = kNaN, indirect = kNaN;
    double BFI = kNaN, DFI = kNaN, IFI = kNaN, indirectToDirect = kNaN;
    double modes[5] = {kNaN, kNaN, kNaN, kNaN, kNaN};
    // Per compartment, [i] for compartment i + 1.
    std::vector<double> tetUnitOutput, tetRealizedOutput, tetUnitInput, tetRealizedInput;
};

FlowPartition flowPartition(const PeerNetwork& p);

}  // namespace flownet
