// Network utility analysis (Patten 1991; Fath and Patten 1998; Fath and Borrett 2006), flow- and
// storage-based. The direct utility D(i, j) = (F(j, i) - F(i, j)) / w(i), what i gains from j
// less what it gives j, over i's throughflow (w = T, flow-based) or its stock (w = x,
// storage-based); the integral utility U = (I - D)^-1; the realized utility Y = diag(T) U.
// Reported: lambda1, the spectral radius of D (the series I + D + D^2 + ... converges when it is
// below 1); the percentage of relations changed, the pairs i <= j (the diagonal included) whose
// signs (D(i, j), D(j, i)) differ from those of (U(i, j), U(j, i)); network synergism, the sum of
// the positive entries of Y over the magnitude of the sum of its negative ones; network mutualism,
// the number of positive entries of U over that of its negative ones. Entries within 1e-12 of the
// largest in size count as 0. NaN when I - D is singular. Cost: O(n^3).
#pragma once

#include "peernetwork.hpp"

namespace flownet {

struct Utility {
    bool defined = false;
    Eigen::MatrixXd direct, integral;  // D and U
    double lambda1 = kNaN, relationsChanged = kNaN, synergism = kNaN, mutualism = kNaN;
};

// The utility of the flows F with direct utility over w and realized utility over T.
Utility utilityAnalysis(const Eigen::MatrixXd& F, const Eigen::VectorXd& w,
                        const Eigen::VectorXd& T);

}  // namespace flownet
