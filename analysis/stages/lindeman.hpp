// Lindeman trophic aggregation: the living compartments mapped onto a chain of integer trophic
// levels, the non-living ones merged into one detrital pool, and the flows aggregated by level.
#pragma once

#include <ostream>

#include "capacity.hpp"
#include "matview.hpp"
#include "migratory.hpp"

namespace flownet {

// The arrays the trophic aggregation reads. The flows must hold no cycle among the living
// compartments, or the level recursion would follow it.
struct TrophicArrays {
    ConstVecView IN, EX, RE;  // inputs, exports, respirations
    ConstMatView T;           // flows, T(j, i) from j to i
};

// The trophic aggregation of one network, with nl living compartments out of n.
struct TrophicAggregation {
    // The diet and import fractions it starts from: P(j, i) the share of i's intake that comes
    // from j, q(i) the share of i's intake from outside, s(i) the intake.
    Matrix<kStageCapacity> P;
    Vector<kStageCapacity> q, s;
    // The product L T, and the flows aggregated by level, D(k, m) = (L T L^T)(k, m).
    Matrix<kStageCapacity> LT, D;
    Matrix<kStageCapacity> L;       // transformation matrix L(k, i): share of i acting at level k
    Vector<kStageCapacity> levels;  // effective trophic level of each compartment
    // The canonical inputs, exports and respirations: L IN, L EX and L RE.
    Vector<kStageCapacity> inputs, exports, respirations;
    // The grazing chain (what enters each level, from outside for level 1), the Lindeman spine
    // (the same with the detrital pool counted in: with a pool only) and the trophic
    // efficiencies, the ratios of consecutive spine (or chain) entries; one spare entry each.
    Vector<kStageCapacity + 1> chain, spine, efficiencies;
    int nEfficiencies = 0;  // the efficiencies to list: up to the first level that is empty
    // With a pool (nl < n): the returns of each living level to it, what the living eat of it,
    // the canonical input to it, and the flow that stays within it.
    Vector<kStageCapacity> returns;
    float detritivory = 0.0f, poolInput = 0.0f, circulation = 0.0f;
};

// What the chain starts with: the canonical inputs of the living levels, or the primary
// production, the sum over i of L(1, i) s(i) (the inputs to living compartments less the
// migratory ones).
enum class ChainStart { LivingCanonicalInputs, PrimaryProduction };

// Intake s(i) = (T(1, i) + ... + T(n, i)) + IN(i) - MIG(i), taken as 1.0 when not positive;
// P(j, i) = T(j, i) / s(i) and q(i) = (IN(i) - MIG(i)) / s(i). Without migratory inputs MIG is 0.
void intakeFractions(int n, const TrophicArrays& a, TrophicAggregation& r,
                     const MigratoryInputs* migratory);

// The transformation matrix L from the fractions: L(1, i) = q(i) for the living i; then, level by
// level up to nl, L(k, i) = sum over living j of P(j, i) L(k - 1, j), plus at level 2 the share of
// i's food that is detritus. Every non-living compartment maps whole onto the pool, row n.
void transformationMatrix(MatView L, int n, int nl, const TrophicAggregation& r);

// E(j) = sum over k = 1..nl of k L(k, j) for the living j; 1.0 for the non-living ones.
void effectiveLevels(VecView E, ConstMatView L, int n, int nl);

// Turns the chain y into the efficiencies y(i + 1) / y(i), i = 1..nl, stopping at the first level
// whose chain value is not positive, which is left as it is. Returns the number of entries to
// list: nl, or that level.
int trophicEfficiencies(VecView y, int nl);

// The aggregation from the transformation matrix to the trophic efficiencies. With migratory
// inputs their share is left out of the intakes.
void aggregateTrophicLevels(int n, int nl, const TrophicArrays& a, TrophicAggregation& r,
                            const MigratoryInputs* migratory = nullptr,
                            ChainStart start = ChainStart::LivingCanonicalInputs);

// The section "*** LINDEMAN TROPHIC AGGREGATIONS ***". With migratory inputs their list follows
// the heading, and their canonical distribution the effective levels when there are any.
void writeTrophicAggregation(std::ostream& out, int n, int nl, const TrophicAggregation& r,
                             const MigratoryInputs* migratory = nullptr);

}  // namespace flownet
