// The benchmark of the uncertainty analysis: plausible networks sampled and analysed (every
// quantity of sampleanalysis.hpp) per second, on 1 and 2 threads, for generated networks of about
// 6, 30, 36 and 100 compartments with every flow within 10 % of its value.
//
//   uncertaintybench [SAMPLES] [REPEATS] [CASE]   (default 20000 samples, 3 repeats, every case;
//                                                 medians shown)
//
// Beside the rates: the median over the quantities of the effective sample size per sample drawn
// (of the last run), how well the chains mix.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "netgen.hpp"
#include "uncertainty.hpp"

namespace {

using namespace flownet;

struct Held {
    int n = 0;
    std::vector<std::string> names;
    std::vector<float> stocks, IN, EX, RE, flows;
    NetworkValues values(int nl) const {
        return {n, nl, &names, {stocks.data(), n}, {IN.data(), n}, {EX.data(), n}, {RE.data(), n},
                {flows.data(), n, n}};
    }
};

Held held(const bench::GeneratedNetwork& g) {
    Held h;
    h.n = g.n;
    const auto n = static_cast<std::size_t>(g.n);
    h.flows.resize(n * n);
    for (int i = 1; i <= g.n; ++i) {
        h.names.push_back("C" + std::to_string(i));
        const auto k = static_cast<std::size_t>(i);
        h.stocks.push_back(static_cast<float>(g.stock[k]));
        h.IN.push_back(static_cast<float>(g.in[k]));
        h.EX.push_back(static_cast<float>(g.ex[k]));
        h.RE.push_back(static_cast<float>(g.re[k]));
        for (int j = 1; j <= g.n; ++j) {
            h.flows[static_cast<std::size_t>((j - 1) * g.n + (i - 1))] = static_cast<float>(g.flow(i, j));
        }
    }
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    const long samples = argc > 1 ? std::atol(argv[1]) : 20000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;
    const std::string only = argc > 3 ? argv[3] : "";
    struct Case {
        const char* name;
        bench::NetworkShape shape;
    };
    std::vector<Case> cases(4);
    cases[0] = {"n6", {}};
    cases[0].shape.living = 4, cases[0].shape.pools = 2, cases[0].shape.producers = 1;
    cases[0].shape.levels = 3;
    cases[1] = {"n30", {}};
    cases[1].shape.living = 26, cases[1].shape.pools = 4;
    cases[2] = {"n36", {}};
    cases[2].shape.living = 32, cases[2].shape.pools = 4;
    cases[3] = {"n100", {}};
    cases[3].shape.living = 92, cases[3].shape.pools = 8, cases[3].shape.producers = 8;
    cases[3].shape.levels = 5;
    std::printf("%-6s %5s %8s %9s %12s %12s %8s %8s\n", "case", "n", "unknowns", "dimension",
                "1 thread/s", "2 threads/s", "scaling", "ESS/N");
    for (const Case& c : cases) {
        if (!only.empty() && only != c.name) continue;
        const Held h = held(bench::generateNetwork(c.shape));
        const NetworkValues net = h.values(h.n - c.shape.pools);
        double rate[2] = {0, 0};
        UncertaintyResult last;
        for (int threads = 1; threads <= 2; ++threads) {
            std::vector<double> rates;
            for (int r = 0; r < repeats; ++r) {
                UncertaintyOptions o;
                o.samples = samples;
                o.chains = 4;
                o.threads = threads;
                o.burnIn = 1000;
                last = analyseUncertainty(net, unknownsOf(net, nullptr, 10.0), o);
                rates.push_back(static_cast<double>(samples) / last.seconds);
            }
            std::sort(rates.begin(), rates.end());
            rate[threads - 1] = rates[rates.size() / 2];
        }
        std::vector<double> ess;
        for (const QuantitySummary& q : last.summaries) ess.push_back(q.ess / static_cast<double>(samples));
        std::sort(ess.begin(), ess.end());
        std::printf("%-6s %5d %8zu %9d %12.0f %12.0f %8.2f %8.3f\n", c.name, h.n,
                    last.polytope.unknowns.size(), last.polytope.dimension, rate[0], rate[1],
                    rate[1] / rate[0], ess.empty() ? 0.0 : ess[ess.size() / 2]);
    }
    return 0;
}
