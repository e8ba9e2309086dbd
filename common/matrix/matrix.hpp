// Small matrix routines on the leading n x n part of column-major matrices.
#pragma once

#include <ostream>

#include "matview.hpp"

namespace flownet {

// Inverts A into B by Gauss-Jordan elimination without row or column exchanges:
// B = A^-1. A and B may be the same array. W is a work vector of n entries.
// Returns 0 when B holds the inverse; an exact zero pivot at step k stops it at once, leaving B
// partly reduced, and k comes back.
int INV(MatView B, ConstMatView A, VecView W, int n);

// The line that tells of a zero pivot at step k of an inversion.
void writeInversionTrouble(std::ostream& out, int k);

// y = A x: y(i) = sum over j = 1..n of A(i, j) x(j), accumulated in the order j = 1..n.
// y must be a different array from x.
void MATVEC(VecView y, ConstMatView A, ConstVecView x, int n);

// C = A B: C(i, j) = sum over k = 1..n of A(i, k) B(k, j), accumulated in the order k = 1..n.
// C must be a different array from A and B.
void MATMUL(MatView C, ConstMatView A, ConstMatView B, int n);

// B = transpose of A; works in place when B and A are the same array.
void TRANSP(MatView B, ConstMatView A, int n);

}  // namespace flownet
