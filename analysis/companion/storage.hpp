// Storage-based environ analysis (Barber 1978, 1979; Matis and Patten 1981; Fath and Borrett
// 2006), defined when every standing stock x(i) is positive.
//
// Output orientation: C(i, j) = F(i, j) / x(i) for i != j, C(i, i) = -T(i) / x(i) (per unit of
// time); the discrete step dt = 1 / k, k the smallest whole number (at least 1) that keeps the
// diagonal of P = I + C dt non-negative, that is k >= max T(i) / x(i); P is the share of a
// compartment's storage that stays or moves on in one step; Q = (I - P)^-1 = I + P + P^2 + ...;
// S = Q dt, the storage one unit of input to i generates in j. Input orientation: C'(i, j) =
// F(i, j) / x(j) for i != j, the same diagonal, and P', Q', S' alike.
// From them, as the flow analysis takes N: the total system storage TSS = sum x; with the input of
// one step z dt, boundary = sum z dt, direct = sum (z dt)^T P, indirect = sum (z dt)^T (Q - I - P),
// BSI, DSI and ISI each over TSS (summing to 1 in steady state); the storage cycling index CIS =
// sum_i (1 - 1 / Q(i, i)) x(i) / TSS; the realized ratio indirect / direct and the unit ratios
// sum(Q - I - P) / sum P and sum(Q' - I - P') / sum P'; homogenisation CV(P) / CV(Q) and
// CV(P') / CV(Q'); amplification, the off-diagonal entries of Q and Q' above 1; the modes mode0 =
// sum z dt, mode2 = the cycled storage sum_i (1 - 1 / Q(i, i)) x(i), mode1 = TSS - mode0 - mode2,
// mode4 = sum y dt, mode3 = TSS - mode4 - mode2.
// Per compartment: the total environ storage, unit output TES(i) = sum_j S(i, j) and realized
// input TES(i) = sum_j S'(i, j) y(j) (x(i) in steady state); the residence time x(i) / y(i) (NaN
// where y(i) = 0). Cost: O(n^3).
#pragma once

#include <vector>

#include "peernetwork.hpp"

namespace flownet {

struct StorageAnalysis {
    bool defined = false;  // every stock positive, and I - P and I - P' invertible
    double dt = kNaN;
    Eigen::MatrixXd C, P, Q, S, Cin, Pin, Qin, Sin;
    double TSS = kNaN, boundary = kNaN, direct = kNaN, indirect = kNaN;
    double BSI = kNaN, DSI = kNaN, ISI = kNaN, CIS = kNaN;
    double indirectToDirect = kNaN, indirectToDirectOutput = kNaN, indirectToDirectInput = kNaN;
    double homogenisationOutput = kNaN, homogenisationInput = kNaN;
    int amplificationOutput = 0, amplificationInput = 0;
    double modes[5] = {kNaN, kNaN, kNaN, kNaN, kNaN};
    std::vector<double> tesUnitOutput, tesRealizedInput, residenceTime;  // [i] for i + 1
};

StorageAnalysis storageAnalysis(const PeerNetwork& p);

}  // namespace flownet
