// The general, effective and trophic indices of NetIndices (Soetaert and Kones 2014).
//
// General (Latham 2006): Ltot, every non-zero flow, the inputs, exports and respirations included;
// Lint, the non-zero flows between compartments (self-flows included); LD = Ltot / n; the
// connectance C = Lint / (n (n - 1)) (NaN for one compartment); the average link weight
// TSTp / Ltot; the average throughflow TST / n.
// Effective (Zorach and Ulanowicz 2003), over the flows extended by the outside world as the
// information indices take them, with p = t / TSTp and the row and column sums R and C: the
// products over the flows reduce to powers of the flow diversity H and the average mutual
// information AMI (bits): effective flows 2^H = prod (t / TSTp)^(-p); roles 2^AMI =
// prod (t TSTp / (R C))^p; connectivity 2^((H - AMI) / 2) = prod (t^2 / (R C))^(-p / 2); nodes
// 2^((H + AMI) / 2) = prod (TSTp^2 / (R C))^(p / 2). So connectivity x roles = nodes and
// connectivity x nodes = flows.
// Trophic (Levine 1980; Pauly, Christensen and Walters 2000): the diet fraction p(i, j) =
// F(j, i) / sum_{k != i} F(k, i) of a living compartment i over its inflows from compartments
// (the inputs and self-feeding left out); the trophic level TL(i) = 1 + sum_j p(i, j) TL(j), 1
// for a compartment without such inflow and for the non-living ones; the omnivory index OI(i) =
// sum_j (TL(j) - (TL(i) - 1))^2 p(i, j) of each living compartment (NaN for the non-living). TL
// is NaN where its linear system is singular (living compartments that feed only on each
// other). Cost: O(n^3).
#pragma once

#include <vector>

#include "peernetwork.hpp"

namespace flownet {

struct NetIndices {
    int Ltot = 0, Lint = 0;
    double linkDensity = kNaN, connectance = kNaN, averageLinkWeight = kNaN,
           averageThroughflow = kNaN;
    double effectiveConnectivity = kNaN, effectiveFlows = kNaN, effectiveNodes = kNaN,
           effectiveRoles = kNaN;
    std::vector<double> trophicLevel, omnivory;  // [i] for compartment i + 1
};

// H and AMI are the flow diversity and the average mutual information of the extended flows,
// in bits; TSTp the sum of every flow.
NetIndices netIndices(const PeerNetwork& p, double H, double AMI, double TSTp);

}  // namespace flownet
