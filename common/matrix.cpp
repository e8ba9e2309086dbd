#include "matrix.hpp"

#include "layout.hpp"

namespace flownet {

void INV(std::ostream& out, MatView B, ConstMatView A, VecView W, int n) {
    // Copy A into B and clear the work vector.
    for (int i = 1; i <= n; ++i) {
        W(i) = 0.0f;
        for (int j = 1; j <= n; ++j) B(i, j) = A(i, j);
    }
    // One elimination step per row. The pivot of step k is always in column 1: each step shifts
    // the reduced columns one place to the left and brings the work vector in as column n.
    for (int k = 1; k <= n; ++k) {
        W(k) = 1.0f;
        const float p = B(k, 1);
        if (p == 0.0f) {
            writeLayout(out, "(/,/,' TROUBLE DURING MATRIX INVERSION AT ROW ',I3,/,/)", {k});
            return;
        }
        // Divide the pivot row.
        for (int j = 2; j <= n; ++j) B(k, j) = B(k, j) / p;
        W(k) = W(k) / p;
        // Eliminate column 1 from every other row; the multiplier B(i, 1) stays as it is.
        for (int i = 1; i <= n; ++i) {
            if (i == k) continue;
            for (int j = 2; j <= n; ++j) B(i, j) = B(i, j) - B(k, j) * B(i, 1);
            W(i) = W(i) - B(i, 1) * W(k);
        }
        // Shift the columns left and bring in the work vector.
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n - 1; ++j) B(i, j) = B(i, j + 1);
            B(i, n) = W(i);
            W(i) = 0.0f;
        }
    }
}

void MATVEC(VecView y, ConstMatView A, ConstVecView x, int n) {
    for (int i = 1; i <= n; ++i) {
        y(i) = 0.0f;
        for (int j = 1; j <= n; ++j) y(i) = y(i) + A(i, j) * x(j);
    }
}

void MATMUL(MatView C, ConstMatView A, ConstMatView B, int n) {
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            C(i, j) = 0.0f;
            for (int k = 1; k <= n; ++k) C(i, j) = C(i, j) + A(i, k) * B(k, j);
        }
    }
}

void TRANSP(MatView B, ConstMatView A, int n) {
    for (int i = 1; i <= n; ++i) {
        for (int j = i; j <= n; ++j) {
            const float saved = A(i, j);
            B(i, j) = A(j, i);
            B(j, i) = saved;
        }
    }
}

}  // namespace flownet
