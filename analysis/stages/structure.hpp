// Structure (input-output) analyses: how much of each compartment's throughput reaches, or comes
// from, every other compartment along all paths, and what one input generates in the network.
#pragma once

#include <array>
#include <ostream>

#include "capacity.hpp"
#include "matview.hpp"

namespace flownet {

// The arrays the structure analyses read, and their work arrays. X, F and G are those left by
// ASCEND.
struct StructureArrays {
    ConstVecView IN, EX, RE;  // inputs, exports, respirations
    ConstVecView X;           // compartmental throughputs, all positive
    ConstMatView F, G;        // F(i, j) = T(i, j) / X(i), G(i, j) = T(i, j) / X(j)
    MatView M;                // work matrix; M keeps the transpose of (I - F)^-1
    VecView v, y;             // work vectors
};

// The structure analyses of one network.
struct StructureAnalyses {
    // The row at which an inversion met a zero pivot, 0 when it did not.
    int contributionTrouble = 0, dependencyTrouble = 0;
    Matrix<kStageCapacity> contributions, dependencies;  // total coefficients
    // The analysis of each compartment k with a positive input: column k of `inputs` holds what
    // enters the network (all of it at k), of `exports` and `respirations` the losses it generates,
    // and exchanges[k - 1] the flows it generates.
    std::array<bool, kStageCapacity> analysed{};
    Matrix<kStageCapacity> inputs, exports, respirations;
    std::array<Matrix<kStageCapacity>, kStageCapacity> exchanges;
};

// What enters a compartment whose input is analysed: one unit, or the compartment's own input.
enum class InjectedInput { Unit, Actual };

// M = I - A on the leading n x n part.
void identityMinus(MatView M, ConstMatView A, int n);

enum class Coefficients { Contribution, Dependency };

// Total coefficients from an inverse A of the network:
//   contributions, A = (I - G)^-1: C(i, j) = ((A(i, j) / A(j, j)) X(j)) / X(i), the share of
//     i's throughput that reaches j along all paths;
//   dependencies, A = (I - F)^-1:  C(i, j) = ((A(i, j) / A(i, i)) X(i)) / X(j), the share of
//     j's throughput that came from i along all paths;
//   on the diagonal of both: C(i, i) = (((A(i, i) - 1) / A(i, i)) X(i)) / X(i).
void totalCoefficients(MatView C, ConstMatView A, ConstVecView X, int n, Coefficients kind);

// The whole stage: both inverses (through INV, in M), the total contribution and dependency
// coefficients, and the analysis of each compartment with a positive input: the throughput its
// input generates along all paths, y = (I - F)^-T v, and the exports, respirations and flows of y.
void analyseStructure(int n, StructureArrays& a, InjectedInput inject, StructureAnalyses& r);

// The section "*** STRUCTURE ANALYSES ***": a message of an inversion stands before the listing
// it concerns; then the block "ANALYSIS OF INPUT " of each analysed compartment, in order.
void writeStructureAnalyses(std::ostream& out, int n, const StructureAnalyses& r);

}  // namespace flownet
