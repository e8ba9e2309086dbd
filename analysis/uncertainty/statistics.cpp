#include "statistics.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace flownet {

namespace {

// The autocovariance of x at lag k (divided by the length, as is usual for this estimate).
double autocovariance(const std::vector<double>& x, double mean, std::size_t k) {
    double s = 0.0;
    for (std::size_t t = 0; t + k < x.size(); ++t) s += (x[t] - mean) * (x[t + k] - mean);
    return s / static_cast<double>(x.size());
}

double quantile(const std::vector<double>& sorted, double p) {
    const double h = (static_cast<double>(sorted.size()) - 1.0) * p;
    const auto lo = static_cast<std::size_t>(std::floor(h));
    const std::size_t hi = std::min(lo + 1, sorted.size() - 1);
    return sorted[lo] + (h - static_cast<double>(lo)) * (sorted[hi] - sorted[lo]);
}

}  // namespace

double effectiveSampleSize(const std::vector<double>& x) {
    const std::size_t n = x.size();
    if (n < 4) return static_cast<double>(n);
    double mean = 0.0;
    for (double v : x) mean += v;
    mean /= static_cast<double>(n);
    const double c0 = autocovariance(x, mean, 0);
    if (!(c0 > 0.0)) return static_cast<double>(n);
    // Pairs of lags (1, 2), (3, 4), ...; the lag-0 term of the first pair is c0 itself.
    double sum = -c0;  // so that tau = -1 + 2 sum of the pair sums, with the pair (0, 1) first
    for (std::size_t k = 0; k + 1 < n; k += 2) {
        const double pair = (k == 0 ? c0 : autocovariance(x, mean, k)) +
                            autocovariance(x, mean, k + 1);
        if (pair <= 0.0) break;
        sum += 2.0 * pair;
    }
    const double tau = sum / c0;
    return std::min(static_cast<double>(n), static_cast<double>(n) / std::max(tau, 1e-12));
}

QuantitySummary summarise(const std::vector<std::vector<double>>& chains) {
    QuantitySummary s;
    std::vector<double> all;
    for (const auto& chain : chains) {
        std::vector<double> finite;
        for (double v : chain) {
            if (std::isnan(v)) {
                ++s.undefined;
            } else {
                finite.push_back(v);
            }
        }
        s.ess += effectiveSampleSize(finite);
        all.insert(all.end(), finite.begin(), finite.end());
    }
    if (all.empty()) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        s.mean = s.sd = s.median = s.low = s.high = nan;
        return s;
    }
    double sum = 0.0;
    for (double v : all) sum += v;
    s.mean = sum / static_cast<double>(all.size());
    double squares = 0.0;
    for (double v : all) squares += (v - s.mean) * (v - s.mean);
    s.sd = all.size() > 1 ? std::sqrt(squares / static_cast<double>(all.size() - 1)) : 0.0;
    std::sort(all.begin(), all.end());
    s.median = quantile(all, 0.5);
    s.low = quantile(all, 0.025);
    s.high = quantile(all, 0.975);
    return s;
}

}  // namespace flownet
