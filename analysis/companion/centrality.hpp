// Centralities of the compartments, each normalised to sum 1 over the network.
//
// Environ centrality (Fath and Borrett 2006), from the integral flows N = (I - G)^-1: in(i) =
// sum_j N(i, j) / sum N, out(j) = sum_i N(i, j) / sum N (the names of the published tables,
// whose integral matrix is the transpose of this one), and their average.
// Eigenvector centrality (Bonacich 1987; Borrett 2012), from the direct flows G(i, j) =
// F(i, j) / T(i): in, the moduli of the right eigenvector of G for its dominant eigenvalue
// (G v = lambda1 v); out, of the left eigenvector (G^T w = lambda1 w); and their average. NaN when
// G has no positive dominant eigenvalue (a network without cycles); when that eigenvalue is
// repeated (separate cycles of equal strength) the eigenvector is one of many. Cost: O(n^3).
#pragma once

#include <vector>

#include "peernetwork.hpp"

namespace flownet {

struct Centralities {
    // [i] for compartment i + 1.
    std::vector<double> environIn, environOut, environAverage;
    std::vector<double> eigenvectorIn, eigenvectorOut, eigenvectorAverage;
};

Centralities centralities(const PeerNetwork& p);

}  // namespace flownet
