// The plausible networks within the ranges: a polytope in the space of the unknowns.
//
// The unknowns x (ranges.hpp) satisfy the steady state of every compartment, E x = 0 with
// E(i, k) = +1 when unknown k enters compartment i and -1 when it leaves it (a self-loop enters
// and leaves), and the ranges low <= x <= high. Following Van den Meersche, Soetaert and Van
// Oevelen (2009, J. Stat. Softw. 30(1)) the equalities are removed by a feasible point x0 and an
// basis Z of the null space of E: x = x0 + Z q, and the sampler walks in q.
//
// Building it takes linear programs (GLPK's simplex, on the problem scaled by its largest bound):
//   1. feasibility: the least total imbalance sum_i |E x|_i within the ranges; above 0 (to the
//      solver's tolerance) the network has no steady state within its ranges, and the
//      compartments left unbalanced are named;
//   2. hidden equalities: a range that every steady state meets with equality (an input of a
//      compartment whose outputs are fixed, say) pins its unknown. Each range is tested by the
//      program that moves its unknown away from it, unless a point found already lies inside it;
//      a range narrower than 1e-9 of the scale pins its unknown too;
//   3. the start: the mean of the points found, which lies inside every range that is not pinned
//      (a point of the relative interior), corrected onto E x = 0;
//   4. the basis: the free unknowns are measured in the widths w of their ranges, x = W y, and
//      the basis is W times an orthonormal basis of the null space of E W (a diagonal
//      rounding of the polytope: a walk uniform in y is uniform in x, and sees a polytope of
//      about the same extent in every direction rather than one as thin as its narrowest range).
// Cost: a few linear programs of n rows and m columns per unknown at most, and a QR
// decomposition of the m x n transposed balance matrix.
#pragma once

#include <string>
#include <vector>

#include "ranges.hpp"

namespace flownet {

struct Polytope {
    int n = 0;                        // compartments
    std::vector<Unknown> unknowns;    // m unknowns with their ranges
    std::vector<double> start;        // x0, m entries
    std::vector<int> free;            // the unknowns that move (not pinned), in order
    int dimension = 0;                // d, the columns of the basis
    std::vector<double> basis;        // Z restricted to the free unknowns, row-major |free| x d,
                                      // in the units of the unknowns
    bool feasible = true;
    std::vector<int> unbalanced;      // when not feasible: compartments left out of balance
    double imbalance = 0.0;           // and the least total imbalance
};

Polytope buildPolytope(int n, std::vector<Unknown> unknowns);

// Inflow minus outflow of compartment i (1..n) at the point x.
double balanceOf(const std::vector<Unknown>& unknowns, const std::vector<double>& x, int i);

}  // namespace flownet
