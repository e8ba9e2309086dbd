// A Markov chain over the plausible networks: hit-and-run (Smith 1984; as in Van den Meersche,
// Soetaert and Van Oevelen 2009). From the point x, a direction u = Z g with g a standard normal
// vector in the null space coordinates (uniform in direction in the rounded coordinates of
// polytope.hpp),
// the chord of the ranges through x along u, and a new point drawn uniformly on the chord. Every
// point stays a steady state within the ranges; the stationary density is uniform on the
// polytope. Each step costs O(|free| d).
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "polytope.hpp"

namespace flownet {

class HitAndRun {
public:
    // A chain of its own stream: seeded by (seed, chain), started at the polytope's start.
    HitAndRun(const Polytope& p, std::uint64_t seed, int chain);

    void step();
    const std::vector<double>& point() const { return x_; }
    // Steps taken, and those that moved (a chord of length 0 does not).
    long steps() const { return steps_; }
    long moves() const { return moves_; }

private:
    const Polytope& p_;
    std::mt19937_64 random_;
    std::normal_distribution<double> normal_;
    std::vector<double> x_, g_, u_;
    std::vector<double> columns_;  // the basis column by column: Z(f, c) at [c |free| + f]
    long steps_ = 0, moves_ = 0;
};

}  // namespace flownet
