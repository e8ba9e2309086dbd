// The inversion of a dense matrix by Gauss-Jordan elimination with partial pivoting, in double
// precision (declared in companion.hpp).
//
// The elimination works column by column, in the order of the storage: at step k every column
// j gets A(., j) - factor A(k, j), the factors being column k with row k left out. That update
// is element-wise, so the compiler may carry it out on several rows at once (wider registers
// where the processor has them, chosen at run time); without fused multiply-add each element
// is still rounded exactly as one at a time, and the result does not depend on the machine.
//
// A column whose element in row k is 0 is left as it is when every factor is finite: it would
// only lose zeros (a sparse network's matrix has many such columns in its first steps). The
// entries are the same numbers; only a zero may keep a sign the full update would have turned.
#include <cmath>
#include <cstddef>
#include <utility>

#include "companion.hpp"

namespace flownet {

namespace {

// Every column j of the n x n column-major a less factors times its element akj of row k; row k
// (0-based r) is kept as it is. With skipZeros, the columns of an akj of 0 are passed over.
inline void eliminateColumns(double* __restrict a, const double* __restrict factors, int r,
                             int n, bool skipZeros) {
    for (int j = 0; j < n; ++j) {
        double* __restrict column = a + static_cast<std::ptrdiff_t>(j) * n;
        const double akj = column[r];
        if (skipZeros && akj == 0.0) continue;
        for (int i = 0; i < n; ++i) column[i] -= factors[i] * akj;
        column[r] = akj;
    }
}

void eliminatePlain(double* a, const double* factors, int r, int n, bool skipZeros) {
    eliminateColumns(a, factors, r, n, skipZeros);
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
// The same loop compiled for AVX2, chosen once at the first call when the processor has it. The
// choice is made by an ordinary test rather than by a loader-resolved clone, so that it also
// works in builds whose runtime (a sanitizer's) is not yet up when the loader resolves symbols.
__attribute__((target("avx2"))) void eliminateAvx2(double* a, const double* factors, int r,
                                                   int n, bool skipZeros) {
    eliminateColumns(a, factors, r, n, skipZeros);
}

void eliminate(double* a, const double* factors, int r, int n, bool skipZeros) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        eliminateAvx2(a, factors, r, n, skipZeros);
    } else {
        eliminatePlain(a, factors, r, n, skipZeros);
    }
}
#else
void eliminate(double* a, const double* factors, int r, int n, bool skipZeros) {
    eliminatePlain(a, factors, r, n, skipZeros);
}
#endif

}  // namespace

bool invertInPlace(SquareMatrix& A) {
    const int n = A.n;
    // The row exchanges step by step, and the factors of a step: kept from call to call.
    thread_local std::vector<int> column;
    thread_local std::vector<double> factors;
    column.resize(static_cast<std::size_t>(n));
    factors.resize(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k) {
        int p = k;
        for (int i = k + 1; i <= n; ++i) {
            if (std::fabs(A(i, k)) > std::fabs(A(p, k))) p = i;
        }
        if (A(p, k) == 0.0 || !std::isfinite(A(p, k))) return false;
        if (p != k) {
            for (int j = 1; j <= n; ++j) std::swap(A(p, j), A(k, j));
        }
        column[static_cast<std::size_t>(k - 1)] = p;
        const double pivot = A(k, k);
        A(k, k) = 1.0;
        for (int j = 1; j <= n; ++j) A(k, j) /= pivot;
        // Every other row less its factor times row k; row k itself is kept as it is.
        double zeros = 0.0;  // stays 0 while every factor is finite (an infinity or NaN times 0
                             // is NaN)
        for (int i = 1; i <= n; ++i) {
            factors[static_cast<std::size_t>(i - 1)] = i == k ? 0.0 : A(i, k);
            zeros += A(i, k) * 0.0;
            if (i != k) A(i, k) = 0.0;
        }
        eliminate(A.a.data(), factors.data(), k - 1, n, zeros == 0.0);
    }
    // Undo the row exchanges as column exchanges, last first.
    for (int k = n; k >= 1; --k) {
        const int p = column[static_cast<std::size_t>(k - 1)];
        if (p != k) {
            for (int i = 1; i <= n; ++i) std::swap(A(i, p), A(i, k));
        }
    }
    return true;
}

}  // namespace flownet
