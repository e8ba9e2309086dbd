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
      d_(static_cast<std::size_t>(p.dimension)),
      mf_(p.free.size()),
      columns_(p.basis.size()) {
    for (std::size_t f = 0; f < mf_; ++f) {
        for (std::size_t c = 0; c < d_; ++c) columns_[c * mf_ + f] = p.basis[f * d_ + c];
        const Unknown& r = p.unknowns[static_cast<std::size_t>(p.free[f])];
        low_.push_back(r.low);
        high_.push_back(r.high);
    }
    std::seed_seq seeds = seedsOf(seed, chain);
    random_.seed(seeds);
}

void HitAndRun::step() {
    ++steps_;
    if (d_ == 0) return;
    const std::size_t c = std::uniform_int_distribution<std::size_t>(0, d_ - 1)(random_);
    const double* z = columns_.data() + c * mf_;
    // The chord [tmin, tmax] of the ranges along column c.
    double tmin = -std::numeric_limits<double>::infinity();
    double tmax = std::numeric_limits<double>::infinity();
    for (std::size_t f = 0; f < mf_; ++f) {
        const double u = z[f];
        if (u == 0.0) continue;
        const double x = x_[static_cast<std::size_t>(p_.free[f])];
        const double a = (low_[f] - x) / u, b = (high_[f] - x) / u;
        tmin = std::max(tmin, std::min(a, b));
        tmax = std::min(tmax, std::max(a, b));
    }
    if (!(tmax > tmin)) return;
    const double t = std::uniform_real_distribution<double>(tmin, tmax)(random_);
    for (std::size_t f = 0; f < mf_; ++f) {
        double& x = x_[static_cast<std::size_t>(p_.free[f])];
        x = std::clamp(x + t * z[f], low_[f], high_[f]);
    }
    ++moves_;
}

}  // namespace flownet
