// Information indices and connectance: how organised the flows of a network are, in bits.
#pragma once

#include <ostream>

#include "matview.hpp"

namespace flownet {

// The information and connectance quantities of one network, in bits, stored column by column.
//   rows 1-4: the flows it covers: inputs, internal exchanges, exports, respirations;
//   row 5:    the totals of rows 1 to 4;
//   columns:  1 ascendency, 2 overhead, 3 development capacity.
//   row 6:    the conditional uncertainties behind the connectance indices:
//             (6, 1) overall, (6, 2) intercompartmental, (6, 3) food web.
using InfoTable = Matrix<6, 3>;

// Extends the flow matrix by the outside world and measures the organisation of its flows.
//
// On entry T holds the n x n flows, T(i, j) from i to j. On return it is extended in place:
// row n+1 holds the inputs, column n+2 the exports, column n+3 the respirations, and every other
// element of rows and columns n+1..n+3 is zero; T must have n+3 rows and columns.
// With R(i) and C(j) the row and column sums of the extended matrix and TST their total, each
// positive flow t from s to d contributes
//     ascendency  t ln(t TST / (R(s) C(d))),
//     overhead    -t ln(t^2 / (R(s) C(d))),
//     capacity    -t ln(t / TST)
// to the row of its kind; the logarithms are natural and the table is converted to bits by one
// final multiplication by 1.4426950. Also sets X(i) = max(R(i), C(i)), F(i, j) = T(i, j) / X(i)
// and G(i, j) = T(i, j) / X(j) for i, j = 1..n.
//
// nl: living compartments (1..nl). R and C are work vectors of at least n+3 entries.
// Every entry of T, IN, EX and RE must be >= 0 and every compartment must carry some flow.
void ASCEND(MatView T, ConstVecView IN, ConstVecView EX, ConstVecView RE, int n, int nl, MatView F,
            MatView G, VecView X, float& TST, InfoTable& info, VecView R, VecView C);

// What the report gives beside the table: indices as shares of the capacity they belong to, and
// the connectances.
struct IndexShares {
    // Shares of the development capacity (5, 3): ascendency (5, 1), overheads on imports (1, 2)
    // and exports (3, 2), dissipative overhead (4, 2), redundancy (2, 2).
    float ascendency = 0.0f, importOverhead = 0.0f, exportOverhead = 0.0f, dissipation = 0.0f,
          redundancy = 0.0f;
    // Shares of the internal capacity (2, 3): internal ascendency (2, 1), redundancy (2, 2).
    float internalAscendency = 0.0f, internalRedundancy = 0.0f;
    // 2 raised to half of each uncertainty of row 6: overall, intercompartmental, food web.
    float overall = 0.0f, intercompartmental = 0.0f, foodWeb = 0.0f;
};

IndexShares indexShares(const InfoTable& info);

// The report section "*** INFORMATION INDICIES ***": ten lines.
void printInformationIndices(std::ostream& out, float TST, const InfoTable& info,
                             const IndexShares& shares);

// The report section "*** CONNECTANCE INDICES ***".
void printConnectanceIndices(std::ostream& out, const IndexShares& shares);

}  // namespace flownet
