// Lindeman trophic aggregation: the living compartments mapped onto a chain of integer trophic
// levels, the non-living ones merged into one detrital pool, and the flows aggregated by level.
#pragma once

#include <ostream>

#include "matview.hpp"

namespace flownet {

// The arrays of the trophic aggregation. The flows must hold no cycle among the living
// compartments, or the level recursion would follow it.
struct TrophicArrays {
    ConstVecView IN, EX, RE;  // inputs, exports, respirations
    ConstMatView T;           // flows, T(j, i) from j to i
    MatView P;                // diet fractions P(j, i): share of i's intake that comes from j
    VecView q;                // import fractions q(i): share of i's intake from outside
    VecView s;                // intakes s(i)
    MatView L;                // transformation matrix L(k, i): share of i acting at level k
    MatView LT;               // the product L T
    MatView D;                // aggregated flows D(k, m) = (L T L^T)(k, m)
    VecView v;                // effective levels, canonical vectors, returns to the pool
    VecView y;                // the chain; n + 1 entries
};

// Inputs suspected to be migratory: MIG(i) is the migratory part of IN(i) (0 for the others),
// nMig the number of them. Such inputs count neither as primary production nor as food.
struct MigratoryInputs {
    ConstVecView MIG;
    int nMig = 0;
};

// What the chain starts with: the canonical inputs of the living levels, or the primary
// production, the sum over i of L(1, i) s(i) (the inputs to living compartments less the
// migratory ones).
enum class ChainStart { LivingCanonicalInputs, PrimaryProduction };

// The heading "*** LINDEMAN TROPHIC AGGREGATIONS ***".
void printLindemanHeading(std::ostream& out);

// Intake s(i) = (T(1, i) + ... + T(n, i)) + IN(i) - MIG(i), taken as 1.0 when not positive;
// P(j, i) = T(j, i) / s(i) and q(i) = (IN(i) - MIG(i)) / s(i). Without migratory inputs MIG is 0.
void intakeFractions(int n, const TrophicArrays& a, const MigratoryInputs* migratory);

// The transformation matrix L from the fractions: L(1, i) = q(i) for the living i; then, level by
// level up to nl, L(k, i) = sum over living j of P(j, i) L(k - 1, j), plus at level 2 the share of
// i's food that is detritus. Every non-living compartment maps whole onto the pool, row n.
void transformationMatrix(int n, int nl, const TrophicArrays& a);

// E(j) = sum over k = 1..nl of k L(k, j) for the living j; 1.0 for the non-living ones.
void effectiveLevels(VecView E, ConstMatView L, int n, int nl);

// Turns the chain y into the efficiencies y(i + 1) / y(i), i = 1..nl, stopping at the first level
// whose chain value is not positive, which is left as it is. Returns the number of entries to
// print: nl, or that level.
int trophicEfficiencies(VecView y, int nl);

// The aggregation from the transformation matrix to the trophic efficiencies, printed in order
// (the heading is printed separately, before it). With migratory inputs their share is left out
// of the intakes, and their distribution over the levels is printed when there are any.
void trophicAggregation(std::ostream& out, int n, int nl, const TrophicArrays& a,
                        const MigratoryInputs* migratory = nullptr,
                        ChainStart start = ChainStart::LivingCanonicalInputs);

}  // namespace flownet
