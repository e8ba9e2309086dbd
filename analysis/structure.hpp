// Structure (input-output) analyses: how much of each compartment's throughput reaches, or comes
// from, every other compartment along all paths, and what one input generates in the network.
#pragma once

#include <ostream>

#include "matview.hpp"

namespace flownet {

// The arrays of the structure analyses. X, F and G are those left by ASCEND.
struct StructureArrays {
    ConstVecView IN, EX, RE;  // inputs, exports, respirations
    ConstVecView X;           // compartmental throughputs, all positive
    ConstMatView F, G;        // F(i, j) = T(i, j) / X(i), G(i, j) = T(i, j) / X(j)
    MatView M, C;             // work matrices; M keeps the transpose of (I - F)^-1
    VecView v, y;             // work vectors
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

// The block "ANALYSIS OF INPUT " of compartment k, with `injected` entering k: the input vector,
// the exports and respirations it generates, and the exchange matrix of the flows it generates.
// M must hold the transpose of (I - F)^-1.
void analyseInput(std::ostream& out, int k, float injected, int n, const StructureArrays& a);

// The whole stage: both inverses (through INV, in M), the total contribution and dependency
// coefficients, and the analysis of each compartment with a positive input, in order.
void structureAnalyses(std::ostream& out, int n, const StructureArrays& a, InjectedInput inject);

}  // namespace flownet
