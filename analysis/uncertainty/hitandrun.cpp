#include "hitandrun.hpp"

#include <algorithm>
#include <limits>

namespace flownet {

namespace {

std::seed_seq seedsOf(std::uint64_t seed, int chain) {
    return std::seed_seq{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                         static_cast<std::uint32_t>(chain)};
}

}  // namespace

HitAndRun::HitAndRun(const Polytope& p, std::uint64_t seed, int chain)
    : p_(p),
      x_(p.start),
      g_(static_cast<std::size_t>(p.dimension)),
      u_(p.free.size()),
      columns_(p.basis.size()) {
    const std::size_t d = g_.size(), mf = u_.size();
    for (std::size_t f = 0; f < mf; ++f) {
        for (std::size_t c = 0; c < d; ++c) columns_[c * mf + f] = p.basis[f * d + c];
    }
    std::seed_seq seeds = seedsOf(seed, chain);
    random_.seed(seeds);
}

void HitAndRun::step() {
    ++steps_;
    const std::size_t d = g_.size(), mf = u_.size();
    if (d == 0) return;
    for (double& g : g_) g = normal_(random_);
    // u = Z g, a column of Z at a time (each u(f) sums its terms in the order of c), and the
    // chord [tmin, tmax] of the ranges along it.
    std::fill(u_.begin(), u_.end(), 0.0);
    double* __restrict sums = u_.data();
    for (std::size_t c = 0; c < d; ++c) {
        const double* __restrict z = columns_.data() + c * mf;
        const double gc = g_[c];
        for (std::size_t f = 0; f < mf; ++f) sums[f] += z[f] * gc;
    }
    double tmin = -std::numeric_limits<double>::infinity();
    double tmax = std::numeric_limits<double>::infinity();
    for (std::size_t f = 0; f < mf; ++f) {
        const double u = u_[f];
        if (u == 0.0) continue;
        const Unknown& r = p_.unknowns[static_cast<std::size_t>(p_.free[f])];
        const double x = x_[static_cast<std::size_t>(p_.free[f])];
        const double a = (r.low - x) / u, b = (r.high - x) / u;
        tmin = std::max(tmin, std::min(a, b));
        tmax = std::min(tmax, std::max(a, b));
    }
    if (!(tmax > tmin)) return;
    const double t = std::uniform_real_distribution<double>(tmin, tmax)(random_);
    for (std::size_t f = 0; f < mf; ++f) {
        const auto k = static_cast<std::size_t>(p_.free[f]);
        const Unknown& r = p_.unknowns[k];
        x_[k] = std::clamp(x_[k] + t * u_[f], r.low, r.high);
    }
    ++moves_;
}

}  // namespace flownet
