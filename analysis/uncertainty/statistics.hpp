// The summary of a quantity over the samples of several chains.
#pragma once

#include <vector>

namespace flownet {

struct QuantitySummary {
    double mean = 0.0, sd = 0.0, median = 0.0, low = 0.0, high = 0.0;  // low, high: 2.5 and 97.5 %
    double ess = 0.0;   // effective sample size, summed over the chains
    long undefined = 0;  // samples where the quantity is not defined (NaN), left out
};

// chains[c] holds the values of chain c in the order drawn. The standard deviation divides by
// the count less 1; quantiles interpolate linearly between order statistics (R's default, type
// 7). The effective sample size of each chain is Geyer's (1992) initial positive sequence
// estimate, n / (1 + 2 sum of autocorrelations), the sum taken over pairs of lags while a pair
// adds a positive amount; a chain that never varies counts as its length. Cost: a sort, and per
// chain O(n L) for the L lags summed.
QuantitySummary summarise(const std::vector<std::vector<double>>& chains);

// The effective sample size of one chain (its finite values).
double effectiveSampleSize(const std::vector<double>& x);

}  // namespace flownet
