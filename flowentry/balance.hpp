// Balancing a network kept in the extended matrix of the entry program.
//
// The extended matrix T (leading dimension 128, block of N + 3 rows and columns used):
//   T(i, j)   flow from i to j          T(N+1, j)  input to j        T(N+2, j)  standing stock of j
//   T(i, N+1) export from i             T(i, N+2)  respiration of i
//   T(i, N+3) total output of i (i <= N), total input of the system (i = N+1)
//   T(N+3, j) total input of j: the sum of T(1..N+1, j); the stock row takes no part in it.
#pragma once

#include <ostream>

#include "matview.hpp"

namespace flownet {

// Recomputes the totals of the block: row N+3 and column N+3 are cleared, then the row totals
// T(i, N+3) = sum of T(i, 1..N+2) for i = 1..N+1, then the column totals
// T(N+3, j) = sum of T(1..N+1, j) for j = 1..N+3, each summed in increasing index order.
void computeTotals(MatView T, int n);

// Input-based balance: every compartment keeps its external input and the fractions in which it
// shares out its output. With F the output fractions (row i divided by its total output),
// X = (I - F^T)^-1 IN is the new throughput; outputs become F X and stocks are scaled by
// X(i) / old total output. A (n x n, same leading dimension) is overwritten by (F^T - I)^-1;
// on return X(i) holds the new throughput of i. When the inversion meets a zero pivot its
// trouble message goes to `out` and false comes back at once, T partly rescaled.
bool FWDBAL(std::ostream& out, MatView T, MatView A, VecView X, int n);

// Output-based balance: every compartment keeps its exports and respirations and the fractions in
// which it draws its input. With G the input fractions (column c divided by its total input),
// X = (I - G)^-1 (RE + EX); flows and inputs into c become G(., c) X(c) and stocks are scaled by
// X(i) / old total input. A is overwritten by (G - I)^-1; X holds the new throughputs. False, as
// for FWDBAL, when the inversion fails.
bool BAKBAL(std::ostream& out, MatView T, MatView A, VecView X, int n);

// The balanced network: the element-by-element mean of the input-based and the output-based
// balance of the same network, totals and standing stocks included. The forward result is kept
// in a scratch store of two copies of the block, each stored row by row. When either inversion
// fails, or the mean holds a value beyond single precision, the network is left as it was, with a
// line to `out`, and false comes back.
bool BALNCE(std::ostream& out, MatView T, MatView A, VecView X, int n);

// The procedures a user may choose (Allesina and Bondavalli 2003): input-based (FWDBAL: the
// inputs and each compartment's output fractions held), output-based (BAKBAL: the exports,
// respirations and each compartment's input fractions held), and their mean (BALNCE).
enum class BalanceMethod { Input, Output, Average };

// Balances T by `method`. Like BALNCE, the network is left as it was, with a line to `out`, and
// false comes back, when the inversion fails or the result goes beyond single precision.
bool balanceBy(std::ostream& out, BalanceMethod method, MatView T, MatView A, VecView X, int n);

}  // namespace flownet
