#include "balance.hpp"

#include <cmath>
#include <vector>

#include "layout.hpp"
#include "matrix.hpp"

namespace flownet {

namespace {

// A balance whose inversion met a zero pivot: the throughputs cannot be found.
constexpr const char* kNotBalanced =
    "(/,1X,'THE NETWORK CANNOT BE BALANCED (A MATRIX IS SINGULAR). THE NETWORK IS LEFT AS IT "
    "WAS.')";

// A balance whose flows, inputs, exports, respirations or stocks went beyond single precision
// (an overflow, or 0/0) cannot be written as a network file that any program reads back.
constexpr const char* kBeyondPrecision =
    "(/,1X,'BALANCING GIVES VALUES BEYOND SINGLE PRECISION. THE NETWORK IS LEFT AS IT WAS.')";

bool finiteNetwork(ConstMatView T, int n) {
    bool finite = true;
    for (int i = 1; i <= n + 2; ++i) {
        for (int j = 1; j <= n + 2; ++j) finite = finite && std::isfinite(T(i, j));
    }
    return finite;
}

}  // namespace

void computeTotals(MatView T, int n) {
    for (int k = 1; k <= n + 3; ++k) {
        T(n + 3, k) = 0.0f;
        T(k, n + 3) = 0.0f;
    }
    // Row totals: each compartment's total output, and the total input to the system.
    for (int i = 1; i <= n + 1; ++i) {
        for (int j = 1; j <= n + 2; ++j) T(i, n + 3) = T(i, n + 3) + T(i, j);
    }
    // Column totals: each compartment's total input (flows in plus external input).
    for (int j = 1; j <= n + 3; ++j) {
        for (int i = 1; i <= n + 1; ++i) T(n + 3, j) = T(n + 3, j) + T(i, j);
    }
}

bool FWDBAL(std::ostream& out, MatView T, MatView A, VecView X, int n) {
    // Output fractions: flows, export and respiration of i over its total output.
    for (int i = 1; i <= n; ++i) {
        const float tout = T(i, n + 3);
        if (tout > 0.0f) {
            for (int j = 1; j <= n + 2; ++j) T(i, j) = T(i, j) / tout;
        }
    }

    // A = F^T - I, inverted in place.
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) A(j, i) = T(i, j);
    }
    for (int i = 1; i <= n; ++i) A(i, i) = A(i, i) - 1.0f;
    if (const int row = INV(A, A, X, n); row != 0) {
        writeInversionTrouble(out, row);
        return false;
    }

    // New throughputs X = -(F^T - I)^-1 IN.
    for (int i = 1; i <= n; ++i) {
        float sum = 0.0f;
        for (int j = 1; j <= n; ++j) sum = sum + A(i, j) * T(n + 1, j);
        X(i) = 0.0f - sum;
    }

    // Stocks keep their ratio to the total output; outputs are the fractions of the throughput.
    for (int i = 1; i <= n; ++i) {
        const float tout = T(i, n + 3);
        if (tout > 0.0f) T(n + 2, i) = T(n + 2, i) * X(i) / tout;
    }
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n + 2; ++j) T(i, j) = T(i, j) * X(i);
    }
    computeTotals(T, n);
    return true;
}

bool BAKBAL(std::ostream& out, MatView T, MatView A, VecView X, int n) {
    // Input fractions: flows into c and the external input of c over its total input.
    for (int c = 1; c <= n; ++c) {
        const float tin = T(n + 3, c);
        if (tin > 0.0f) {
            for (int r = 1; r <= n + 1; ++r) T(r, c) = T(r, c) / tin;
        }
    }

    // A = G - I, inverted in place.
    for (int c = 1; c <= n; ++c) {
        for (int r = 1; r <= n; ++r) A(r, c) = T(r, c);
    }
    for (int i = 1; i <= n; ++i) A(i, i) = A(i, i) - 1.0f;
    if (const int row = INV(A, A, X, n); row != 0) {
        writeInversionTrouble(out, row);
        return false;
    }

    // New throughputs X = -(G - I)^-1 (RE + EX).
    for (int i = 1; i <= n; ++i) {
        float sum = 0.0f;
        for (int j = 1; j <= n; ++j) sum = sum + (T(j, n + 2) + T(j, n + 1)) * A(i, j);
        X(i) = 0.0f - sum;
    }

    // Stocks keep their ratio to the total input; inflows are the fractions of the throughput.
    for (int i = 1; i <= n; ++i) {
        const float tin = T(n + 3, i);
        if (tin > 0.0f) T(n + 2, i) = T(n + 2, i) * X(i) / tin;
    }
    for (int r = 1; r <= n + 1; ++r) {
        for (int c = 1; c <= n; ++c) T(r, c) = T(r, c) * X(c);
    }
    computeTotals(T, n);
    return true;
}

bool BALNCE(std::ostream& out, MatView T, MatView A, VecView X, int n) {
    const int m = n + 3;
    std::vector<float> store;  // the scratch store: the unbalanced block, then the forward one
    store.reserve(2 * static_cast<std::size_t>(m) * static_cast<std::size_t>(m));
    auto putBlock = [&] {
        for (int i = 1; i <= m; ++i) {
            for (int j = 1; j <= m; ++j) store.push_back(T(i, j));
        }
    };
    // Copies the block stored from `next` on back into T; `next` ends after it.
    std::size_t next = 0;
    auto getBlock = [&](std::size_t from) {
        next = from;
        for (int i = 1; i <= m; ++i) {
            for (int j = 1; j <= m; ++j) T(i, j) = store[next++];
        }
    };

    putBlock();
    if (!FWDBAL(out, T, A, X, n)) {
        getBlock(0);
        writeLayout(out, kNotBalanced);
        return false;
    }
    putBlock();

    // Back to the unbalanced network for the output-based balance.
    getBlock(0);
    if (!BAKBAL(out, T, A, X, n)) {
        getBlock(0);
        writeLayout(out, kNotBalanced);
        return false;
    }

    // The mean of the two balances, element by element.
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= m; ++j) T(i, j) = (T(i, j) + store[next++]) * 0.5f;
    }

    // Beyond single precision: the network is left as it was, from the first copy of the store.
    const bool finite = finiteNetwork(T, n);
    if (!finite) {
        getBlock(0);
        writeLayout(out, kBeyondPrecision);
    }
    return finite;
}

bool balanceBy(std::ostream& out, BalanceMethod method, MatView T, MatView A, VecView X, int n) {
    if (method == BalanceMethod::Average) return BALNCE(out, T, A, X, n);
    const int m = n + 3;
    std::vector<float> before;  // the unbalanced block, row by row
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= m; ++j) before.push_back(T(i, j));
    }
    const bool solved = method == BalanceMethod::Input ? FWDBAL(out, T, A, X, n)
                                                       : BAKBAL(out, T, A, X, n);
    const bool finite = solved && finiteNetwork(T, n);
    if (finite) return true;
    std::size_t next = 0;
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= m; ++j) T(i, j) = before[next++];
    }
    writeLayout(out, solved ? kBeyondPrecision : kNotBalanced);
    return false;
}

}  // namespace flownet
