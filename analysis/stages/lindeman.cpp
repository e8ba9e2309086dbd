#include "lindeman.hpp"

#include <cmath>
#include <vector>

#include "layout.hpp"
#include "listing.hpp"
#include "matrix.hpp"

namespace flownet {

namespace {

// The exchanges of the detrital pool (row and column n of D), and the Lindeman spine: the pool
// counts with the primary producers at level 1, so its input and the returns of levels 2 and up
// go to level 1 and what the living eat of it to level 2.
void detritalPool(int n, int nl, TrophicAggregation& r) {
    for (int i = 1; i <= nl; ++i) {
        r.detritivory = r.detritivory + r.D(n, i);
        r.returns(i) = r.D(i, n);
    }
    for (int k = nl + 1; k <= n; ++k) r.poolInput = r.poolInput + r.inputs(k);
    r.circulation = r.D(n, n);

    const VecView y = r.spine.view();
    y(1) = y(1) + r.poolInput;
    y(2) = y(2) + r.detritivory;
    for (int k = 2; k <= nl; ++k) y(1) = y(1) + r.returns(k);
}

}  // namespace

void intakeFractions(int n, const TrophicArrays& a, TrophicAggregation& r,
                     const MigratoryInputs* migratory) {
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
        r.s(i) = s;
        for (int j = 1; j <= n; ++j) r.P(j, i) = a.T(j, i) / s;
        r.q(i) = imported / s;
    }
}

void transformationMatrix(MatView L, int n, int nl, const TrophicAggregation& r) {
    for (int i = 1; i <= n; ++i) {
        for (int k = 1; k <= n; ++k) L(k, i) = 0.0f;
    }
    // The living prey of each living i (P(j, i) not 0), in the order of j: i's from prey[start[i -
    // 1]] to prey[start[i] - 1]. Kept from call to call.
    thread_local std::vector<int> prey, start;
    prey.clear();
    start.assign(1, 0);
    for (int i = 1; i <= nl; ++i) {
        for (int j = 1; j <= nl; ++j) {
            if (r.P(j, i) != 0.0f) prey.push_back(j);
        }
        start.push_back(static_cast<int>(prey.size()));
    }
    // What a compartment takes from outside acts at level 1; what it eats of detritus at level
    // 2; what it eats of a living compartment one level above that prey's levels.
    for (int i = 1; i <= nl; ++i) L(1, i) = r.q(i);
    for (int k = 2; k <= nl; ++k) {
        // Where every L(k - 1, j) is finite, a term of a P(j, i) of 0 is a zero that leaves the
        // sum as it is (the sum is never -0): only the prey's terms are added, in the same
        // order, giving the same sum.
        bool finite = true;
        for (int j = 1; j <= nl; ++j) finite = finite && std::isfinite(L(k - 1, j));
        for (int i = 1; i <= nl; ++i) {
            float sum = L(k, i);
            if (k == 2) {
                for (int d = nl + 1; d <= n; ++d) sum = sum + r.P(d, i);
            }
            if (finite) {
                for (int p = start[static_cast<std::size_t>(i - 1)];
                     p < start[static_cast<std::size_t>(i)]; ++p) {
                    const int j = prey[static_cast<std::size_t>(p)];
                    sum = sum + r.P(j, i) * L(k - 1, j);
                }
            } else {
                for (int j = 1; j <= nl; ++j) sum = sum + r.P(j, i) * L(k - 1, j);
            }
            L(k, i) = sum;
        }
    }
    for (int i = nl + 1; i <= n; ++i) L(n, i) = 1.0f;
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

void aggregateTrophicLevels(int n, int nl, const TrophicArrays& a, TrophicAggregation& r,
                            const MigratoryInputs* migratory, ChainStart start) {
    const MatView L = r.L.view();
    const VecView y = r.chain.view();
    for (int i = 1; i <= n + 1; ++i) y(i) = 0.0f;
    intakeFractions(n, a, r, migratory);
    transformationMatrix(L, n, nl, r);
    effectiveLevels(r.levels.view(), L, n, nl);

    // Flows between levels: D = L T L^T.
    MATMUL(r.LT.view(), L, a.T, n);
    TRANSP(L, L, n);
    MATMUL(r.D.view(), r.LT.view(), L, n);
    TRANSP(L, L, n);

    // The canonical inputs, the first element of the chain, and the canonical losses.
    MATVEC(r.inputs.view(), L, a.IN, n);
    if (start == ChainStart::LivingCanonicalInputs) {
        for (int k = 1; k <= nl; ++k) y(1) = y(1) + r.inputs(k);
    } else {
        for (int i = 1; i <= n; ++i) y(1) = y(1) + L(1, i) * r.s(i);
    }
    MATVEC(r.exports.view(), L, a.EX, n);
    MATVEC(r.respirations.view(), L, a.RE, n);

    // Grazing chain: what each level passes on to the living levels.
    for (int k = 1; k <= nl - 1; ++k) {
        for (int j = 1; j <= nl; ++j) y(k + 1) = y(k + 1) + r.D(k, j);
    }

    r.spine = r.chain;
    r.detritivory = 0.0f;
    r.poolInput = 0.0f;
    r.circulation = 0.0f;
    if (nl < n) detritalPool(n, nl, r);

    r.efficiencies = r.spine;
    r.nEfficiencies = trophicEfficiencies(r.efficiencies.view(), nl);
}

void writeTrophicAggregation(std::ostream& out, int n, int nl, const TrophicAggregation& r,
                             const MigratoryInputs* migratory) {
    writeLayout(out, "(/,/,20X,'*** LINDEMAN TROPHIC AGGREGATIONS ***',/)");
    if (migratory != nullptr) listMigratoryInputs(out, nl, *migratory);
    writeLayout(out, "(1X,'LINDEMAN TRANSFORMATION MATRIX')");
    MATPRT(out, r.L.view(), nl);
    writeLayout(out, "(1X,'EFFECTIVE TROPHIC LEVELS OF EACH SPECIES')");
    VECPRT(out, r.levels.view(), n);
    if (migratory != nullptr && migratory->nMig > 0) {
        writeLayout(out, "(/,1X,'CANONICAL DISTRIBUTION OF INPUTS')");
        VECPRT(out, r.inputs.view(), n);
    }
    writeLayout(out, "(1X,'CANONICAL EXPORTS')");
    VECPRT(out, r.exports.view(), n);
    writeLayout(out, "(1X,'CANONICAL RESPIRATIONS')");
    VECPRT(out, r.respirations.view(), n);
    writeLayout(out, "(1X,'THE GRAZING CHAIN')");
    VECPRT(out, r.chain.view(), nl);

    if (nl < n) {
        writeLayout(out, "(1X,'RETURNS TO DETRITAL POOL')");
        VECPRT(out, r.returns.view(), nl);
        writeLayout(out, "(1X,'DETRITIVORY = ',E12.5,/)", {r.detritivory});
        writeLayout(out, "(1X,'INPUT TO DETRITAL POOL = ',E12.5,/)", {r.poolInput});
        writeLayout(out, "(1X,'CIRCULATION WITHIN DETRITAL POOL = ',E12.5,/)", {r.circulation});
        writeLayout(out, "(1X,'LINDEMAN SPINE')");
        VECPRT(out, r.spine.view(), nl);
    }

    writeLayout(out, "(1X,'TROPHIC EFFICIENCIES')");
    VECPRT(out, r.efficiencies.view(), r.nEfficiencies);
}

}  // namespace flownet
