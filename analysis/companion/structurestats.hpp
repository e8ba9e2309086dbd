// Structure statistics of the network's graph (Borrett, Fath and Patten 2007): the adjacency
// matrix A(i, j) = 1 where F(i, j) > 0 (self-loops count), n, the links L = sum A, the
// connectance C = L / n^2, the link density LD = L / n; lambda1, the dominant eigenvalue of A (its
// spectral radius, real by Perron and Frobenius), and its algebraic multiplicity; the pathway
// proliferation rate, the rate lambda1 at which the number of paths of length m grows with m;
// the damping ratio lambda1 / |lambda2|, lambda2 the eigenvalue next in modulus (repeats
// counted); lambda1 - LD; the strongly connected components (Tarjan 1972), those of more than one
// compartment, and the share of compartments in them.
//
// A is block triangular over its components, so its spectrum is the union of theirs and the
// multiplicity of lambda1 is the number of components whose own spectral radius is lambda1
// (each irreducible block has a simple Perron root): counted that way, a repeated root is not left
// to the rounding of a general eigenvalue solver. Cost: O(n^2) for the components, O(c^3) per
// component of c compartments for its eigenvalues.
#pragma once

#include "peernetwork.hpp"

namespace flownet {

struct StructureStatistics {
    Eigen::MatrixXd adjacency;
    int n = 0, links = 0;
    double connectance = kNaN, linkDensity = kNaN;
    double lambda1 = kNaN, dampingRatio = kNaN, lambda1MinusLinkDensity = kNaN;
    double pathwayProliferation = kNaN;
    int multiplicity = 0;
    int components = 0, bigComponents = 0;
    double componentShare = kNaN;  // the share of compartments in components of more than one
};

StructureStatistics structureStatistics(const PeerNetwork& p);

// The strongly connected component of each node of the graph A(i, j) != 0, numbered from 0.
std::vector<int> strongComponents(const Eigen::MatrixXd& A, int& count);

}  // namespace flownet
