// A Markov chain over the plausible networks: coordinate hit-and-run in the rounded null-space
// coordinates (Smith 1984; Berbee, Boender, Rinnooy Kan, Scheffer, Smith and Telgen 1987; with a
// rounding first, as in Haraldsdottir, Cousins, Thiele, Fleming and Vempala 2017). From the point
// x = x0 + Z q, a coordinate c of q drawn uniformly, the direction u = Z(., c), the chord of the
// ranges through x along u, and a new point drawn uniformly on the chord. Every point stays a
// steady state within the ranges; each step is reversible with respect to the uniform density on
// the polytope, which is therefore stationary.
//
// The columns of Z are orthonormal in the rounded coordinates of polytope.hpp, so the displacement
// a step gives a linear quantity has, on average over the coordinates, the same variance as along
// a direction uniform on the sphere; a step costs O(|free|) rather than the O(|free| d) of the
// product Z g and the d normal variates of an isotropic direction.
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
    std::vector<double> x_;
    std::size_t d_, mf_;                   // the dimension and the free unknowns
    std::vector<double> columns_;          // the basis column by column: Z(f, c) at [c |free| + f]
    std::vector<double> low_, high_;       // the ranges of the free unknowns
    long steps_ = 0, moves_ = 0;
};

}  // namespace flownet
