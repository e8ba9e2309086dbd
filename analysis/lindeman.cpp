#include "lindeman.hpp"

#include "layout.hpp"
#include "listing.hpp"
#include "matrix.hpp"

namespace flownet {

namespace {

// The canonical inputs v = L IN, the first element of the chain, and the input to the detrital
// pool (the canonical inputs of rows nl+1..n), which is returned.
float canonicalInputs(std::ostream& out, int n, int nl, const TrophicArrays& a,
                      const MigratoryInputs* migratory, ChainStart start) {
    MATVEC(a.v, a.L, a.IN, n);
    if (migratory != nullptr && migratory->nMig > 0) {
        writeLayout(out, "(/,1X,'CANONICAL DISTRIBUTION OF INPUTS')");
        VECPRT(out, a.v, n);
    }
    if (start == ChainStart::LivingCanonicalInputs) {
        for (int k = 1; k <= nl; ++k) a.y(1) = a.y(1) + a.v(k);
    } else {
        for (int i = 1; i <= n; ++i) a.y(1) = a.y(1) + a.L(1, i) * a.s(i);
    }
    float poolInput = 0.0f;
    for (int k = nl + 1; k <= n; ++k) poolInput = poolInput + a.v(k);
    return poolInput;
}

// The exchanges of the detrital pool (row and column n of D), and the Lindeman spine: the pool
// counts with the primary producers at level 1, so its input and the returns of levels 2 and up
// go to level 1 and what the living eat of it to level 2.
void detritalPool(std::ostream& out, int n, int nl, const TrophicArrays& a, float poolInput) {
    float detritivory = 0.0f;
    for (int i = 1; i <= nl; ++i) {
        detritivory = detritivory + a.D(n, i);
        a.v(i) = a.D(i, n);
    }
    writeLayout(out, "(1X,'RETURNS TO DETRITAL POOL')");
    VECPRT(out, a.v, nl);
    writeLayout(out, "(1X,'DETRITIVORY = ',E12.5,/)", {detritivory});
    writeLayout(out, "(1X,'INPUT TO DETRITAL POOL = ',E12.5,/)", {poolInput});
    writeLayout(out, "(1X,'CIRCULATION WITHIN DETRITAL POOL = ',E12.5,/)", {a.D(n, n)});

    a.y(1) = a.y(1) + poolInput;
    a.y(2) = a.y(2) + detritivory;
    for (int k = 2; k <= nl; ++k) a.y(1) = a.y(1) + a.v(k);
    writeLayout(out, "(1X,'LINDEMAN SPINE')");
    VECPRT(out, a.y, nl);
}

}  // namespace

void printLindemanHeading(std::ostream& out) {
    writeLayout(out, "(/,/,20X,'*** LINDEMAN TROPHIC AGGREGATIONS ***',/)");
}

void intakeFractions(int n, const TrophicArrays& a, const MigratoryInputs* migratory) {
    for (int i = 1; i <= n; ++i) {
        float s = 0.0f;
        for (int j = 1; j <= n; ++j) s = s + a.T(j, i);
        s = s + a.IN(i);
        float imported = a.IN(i);
        if (migratory != nullptr) {
            s = s - migratory->MIG(i);
            imported = a.IN(i) - migratory->MIG(i);
        }
        if (s <= 0.0f) s = 1.0f;
        a.s(i) = s;
        for (int j = 1; j <= n; ++j) a.P(j, i) = a.T(j, i) / s;
        a.q(i) = imported / s;
    }
}

void transformationMatrix(int n, int nl, const TrophicArrays& a) {
    for (int i = 1; i <= n; ++i) {
        for (int k = 1; k <= n; ++k) a.L(k, i) = 0.0f;
    }
    // What a compartment takes from outside acts at level 1; what it eats of detritus at level
    // 2; what it eats of a living compartment one level above that prey's levels.
    for (int i = 1; i <= nl; ++i) a.L(1, i) = a.q(i);
    for (int k = 2; k <= nl; ++k) {
        for (int i = 1; i <= nl; ++i) {
            if (k == 2) {
                for (int d = nl + 1; d <= n; ++d) a.L(2, i) = a.L(2, i) + a.P(d, i);
            }
            for (int j = 1; j <= nl; ++j) a.L(k, i) = a.L(k, i) + a.P(j, i) * a.L(k - 1, j);
        }
    }
    for (int i = nl + 1; i <= n; ++i) a.L(n, i) = 1.0f;
}

void effectiveLevels(VecView E, ConstMatView L, int n, int nl) {
    for (int j = 1; j <= nl; ++j) {
        E(j) = 0.0f;
        for (int k = 1; k <= nl; ++k) E(j) = E(j) + static_cast<float>(k) * L(k, j);
    }
    for (int j = nl + 1; j <= n; ++j) E(j) = 1.0f;
}

int trophicEfficiencies(VecView y, int nl) {
    int last = 1;
    for (int i = 1; i <= nl; ++i) {
        last = i + 1;
        if (y(i) <= 0.0f) break;
        y(i) = y(i + 1) / y(i);
    }
    return last - 1;
}

void trophicAggregation(std::ostream& out, int n, int nl, const TrophicArrays& a,
                        const MigratoryInputs* migratory, ChainStart start) {
    for (int i = 1; i <= n + 1; ++i) a.y(i) = 0.0f;
    intakeFractions(n, a, migratory);
    transformationMatrix(n, nl, a);
    writeLayout(out, "(1X,'LINDEMAN TRANSFORMATION MATRIX')");
    MATPRT(out, a.L, nl);

    effectiveLevels(a.v, a.L, n, nl);
    writeLayout(out, "(1X,'EFFECTIVE TROPHIC LEVELS OF EACH SPECIES')");
    VECPRT(out, a.v, n);

    // Flows between levels: D = L T L^T.
    MATMUL(a.LT, a.L, a.T, n);
    TRANSP(a.L, a.L, n);
    MATMUL(a.D, a.LT, a.L, n);
    TRANSP(a.L, a.L, n);

    const float poolInput = canonicalInputs(out, n, nl, a, migratory, start);
    MATVEC(a.v, a.L, a.EX, n);
    writeLayout(out, "(1X,'CANONICAL EXPORTS')");
    VECPRT(out, a.v, n);
    MATVEC(a.v, a.L, a.RE, n);
    writeLayout(out, "(1X,'CANONICAL RESPIRATIONS')");
    VECPRT(out, a.v, n);

    // Grazing chain: what each level passes on to the living levels.
    for (int k = 1; k <= nl - 1; ++k) {
        for (int j = 1; j <= nl; ++j) a.y(k + 1) = a.y(k + 1) + a.D(k, j);
    }
    writeLayout(out, "(1X,'THE GRAZING CHAIN')");
    VECPRT(out, a.y, nl);

    if (nl < n) detritalPool(out, n, nl, a, poolInput);

    const int count = trophicEfficiencies(a.y, nl);
    writeLayout(out, "(1X,'TROPHIC EFFICIENCIES')");
    VECPRT(out, a.y, count);
}

}  // namespace flownet
