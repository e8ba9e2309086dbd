#include "matrix.hpp"

#include "layout.hpp"

namespace flownet {

int INV(MatView B, ConstMatView A, VecView W, int n) {
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
        if (p == 0.0f) return k;
        // Divide the pivot row.
        for (int j = 2; j <= n; ++j) B(k, j) = B(k, j) / p;
        W(k) = W(k) / p;
        // Eliminate column 1 from every other row; the multiplier B(i, 1) stays as it is. Every
        // element is updated once from the pivot row and column 1, which the step leaves alone,
        // so the columns are gone through one after the other, down each column.
        for (int j = 2; j <= n; ++j) {
            const float pivotRow = B(k, j);
            for (int i = 1; i < k; ++i) B(i, j) = B(i, j) - pivotRow * B(i, 1);
            for (int i = k + 1; i <= n; ++i) B(i, j) = B(i, j) - pivotRow * B(i, 1);
        }
        for (int i = 1; i <= n; ++i) {
            if (i != k) W(i) = W(i) - B(i, 1) * W(k);
        }
        // Shift the columns left and bring in the work vector.
        for (int j = 1; j <= n - 1; ++j) {
            for (int i = 1; i <= n; ++i) B(i, j) = B(i, j + 1);
        }
        for (int i = 1; i <= n; ++i) {
            B(i, n) = W(i);
            W(i) = 0.0f;
        }
    }
    return 0;
}

void writeInversionTrouble(std::ostream& out, int k) {
    writeLayout(out, "(/,/,' TROUBLE DURING MATRIX INVERSION AT ROW ',I3,/,/)", {k});
}

void MATVEC(VecView y, ConstMatView A, ConstVecView x, int n) {
    for (int i = 1; i <= n; ++i) {
        y(i) = 0.0f;
        for (int j = 1; j <= n; ++j) y(i) = y(i) + A(i, j) * x(j);
    }
}

void MATMUL(MatView C, ConstMatView A, ConstMatView B, int n) {
    // Column j of C is summed over k = 1..n in order, as C(i, j) = C(i, j) + A(i, k) * B(k, j),
    // all its rows at once: each element gets the same additions in the same order.
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) C(i, j) = 0.0f;
        for (int k = 1; k <= n; ++k) {
            const float b = B(k, j);
            for (int i = 1; i <= n; ++i) C(i, j) = C(i, j) + A(i, k) * b;
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
