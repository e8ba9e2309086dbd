// Information indices and connectance: how organised the flows of a network are, in bits.
#pragma once

#include <ostream>

#include "matview.hpp"

namespace flownet {

// Three terms of the information indices, in bits, for the flows of one kind.
struct IndexTerms {
    float ascendency = 0.0f, overhead = 0.0f, capacity = 0.0f;
};

// The information and connectance quantities of one network, in bits.
struct InformationIndices {
    // The terms of the flows of each kind (inputs, internal exchanges, exports, respirations) and
    // their totals: ascendency, overhead and development capacity.
    IndexTerms inputs, internal, exports, respirations, total;
    // The conditional uncertainties behind the connectance indices: of every flow, of the
    // exchanges among all compartments, and of the exchanges among the living ones.
    float overallUncertainty = 0.0f, intercompartmentalUncertainty = 0.0f,
          foodWebUncertainty = 0.0f;
};

// The flow matrix extended by the outside world, and the flow fractions.
//
// On entry T holds the n x n flows, T(i, j) from i to j. On return it is extended in place:
// row n+1 holds the inputs, column n+2 the exports, column n+3 the respirations, and every other
// element of rows and columns n+1..n+3 is zero; T must have n+3 rows and columns. R and C (n+3
// entries) receive the row and column sums of the extended matrix, TST their total (the total
// system throughput), X(i) = max(R(i), C(i)) the throughputs, and F(i, j) = T(i, j) / X(i),
// G(i, j) = T(i, j) / X(j) the output- and input-normalised flows, for i, j = 1..n.
void flowFractions(MatView T, ConstVecView IN, ConstVecView EX, ConstVecView RE, int n, VecView R,
                   VecView C, float& TST, VecView X, MatView F, MatView G);

// The organisation of the flows of the extended matrix T, with its sums R and C and total TST
// (as flowFractions leaves them). Each positive flow t from s to d contributes
//     ascendency  t ln(t TST / (R(s) C(d))),
//     overhead    -t ln(t^2 / (R(s) C(d))),
//     capacity    -t ln(t / TST)
// to the terms of its kind; the logarithms are natural and the table is converted to bits by one
// final multiplication by 1.4426950. nl: living compartments (1..nl).
void informationIndices(ConstMatView T, int n, int nl, ConstVecView R, ConstVecView C, float TST,
                        InformationIndices& info);

// Both steps: extends the flow matrix, computes the flow fractions and measures the organisation
// of the flows. Every entry of T, IN, EX and RE must be >= 0 and every compartment must carry some
// flow.
void ASCEND(MatView T, ConstVecView IN, ConstVecView EX, ConstVecView RE, int n, int nl, MatView F,
            MatView G, VecView X, float& TST, InformationIndices& info, VecView R, VecView C);

// What the report gives beside the table: indices as shares of the capacity they belong to, and
// the connectances.
struct IndexShares {
    // Shares of the development capacity: ascendency, overheads on imports and exports,
    // dissipative overhead, redundancy (the overhead of the internal exchanges).
    float ascendency = 0.0f, importOverhead = 0.0f, exportOverhead = 0.0f, dissipation = 0.0f,
          redundancy = 0.0f;
    // Shares of the internal capacity: internal ascendency, redundancy.
    float internalAscendency = 0.0f, internalRedundancy = 0.0f;
    // 2 raised to half of each uncertainty: overall, intercompartmental, food web.
    float overall = 0.0f, intercompartmental = 0.0f, foodWeb = 0.0f;
};

IndexShares indexShares(const InformationIndices& info);

// The report section "*** INFORMATION INDICIES ***": ten lines.
void printInformationIndices(std::ostream& out, float TST, const InformationIndices& info,
                             const IndexShares& shares);

// The report section "*** CONNECTANCE INDICES ***".
void printConnectanceIndices(std::ostream& out, const IndexShares& shares);

}  // namespace flownet
