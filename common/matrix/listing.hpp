// Matrix and vector listings: the one way in which any program prints a matrix or a vector.
//
// Page-oriented blocks of at most 8 columns, each headed by its column (or entry) numbers; a matrix
// is cut into row blocks of 65 rows, and every column block of one row block comes before the
// next row block. The caller prints the title line first.
#pragma once

#include <ostream>

#include "matview.hpp"

namespace flownet {

// Lists the leading n x n part of A.
void MATPRT(std::ostream& out, ConstMatView A, int n);

// Lists entries 1..n of V.
void VECPRT(std::ostream& out, ConstVecView V, int n);

}  // namespace flownet
