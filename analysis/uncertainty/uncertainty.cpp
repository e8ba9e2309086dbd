#include "uncertainty.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <sstream>

#include "hitandrun.hpp"
#include "parallel.hpp"
#include "sampleanalysis.hpp"
#include "textio.hpp"

namespace flownet {

namespace {

using Clock = std::chrono::steady_clock;

// Progress lines for a long sampling: at most one a second, written by whichever thread gets
// there first.
class ProgressMeter {
public:
    ProgressMeter(const UncertaintyOptions& o) : o_(o), start_(Clock::now()), last_(0) {}

    void advance() {
        const long done = ++done_;
        if (o_.progress == nullptr || done % 64 != 0) return;
        const auto now = Clock::now();
        const long ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - start_).count();
        long last = last_.load();
        if (ms - last < 1000 || !last_.compare_exchange_strong(last, ms)) return;
        const std::lock_guard lock(mutex_);
        const double rate = static_cast<double>(done) * 1000.0 / static_cast<double>(ms);
        const double left = static_cast<double>(o_.samples - done) / rate;
        std::ostringstream line;
        line.precision(3);
        line << o_.progressPrefix << "uncertainty: " << done << " of " << o_.samples
             << " samples, " << std::lround(rate) << " a second, " << left << " s left\n";
        *o_.progress << line.str() << std::flush;
    }

private:
    const UncertaintyOptions& o_;
    Clock::time_point start_;
    std::atomic<long> done_{0}, last_;
    std::mutex mutex_;
};

// The total mixed trophic impact row by row, NaN where it is singular.
void appendImpact(const CompanionIndices& c, std::vector<double>& out) {
    const SquareMatrix& m = c.totalImpact;
    for (int i = 1; i <= m.n; ++i) {
        for (int j = 1; j <= m.n; ++j) out.push_back(c.impactSingular ? std::nan("") : m(i, j));
    }
}

// Each entry of the matrices the chains drew (entries values a sample), over every chain.
MatrixSummary summariseImpact(const std::vector<ChainDraws>& chains, std::vector<double> given) {
    MatrixSummary m;
    m.n = static_cast<int>(std::lround(std::sqrt(static_cast<double>(given.size()))));
    m.given = std::move(given);
    const std::size_t entries = m.given.size();
    for (std::size_t k = 0; k < entries; ++k) {
        std::vector<std::vector<double>> values;
        long defined = 0, positive = 0;
        for (const ChainDraws& d : chains) {
            std::vector<double>& v = values.emplace_back();
            for (long s = 0; s < d.samples; ++s) {
                const double x = d.impact[static_cast<std::size_t>(s) * entries + k];
                v.push_back(x);
                defined += !std::isnan(x);
                positive += x > 0.0;
            }
        }
        m.entries.push_back(summarise(values));
        m.positive.push_back(defined > 0 ? static_cast<double>(positive) / static_cast<double>(defined)
                                         : std::nan(""));
    }
    return m;
}

void runChain(const Polytope& p, const NetworkValues& net, const std::vector<Quantity>& quantities,
              const UncertaintyOptions& o, bool impact, int c, ChainDraws& draws,
              ProgressMeter& meter) {
    HitAndRun chain(p, o.seed, c);
    SampleAnalyser analyser(net, p.unknowns);
    for (long s = 0; s < o.burnIn; ++s) chain.step();
    draws.values.reserve(static_cast<std::size_t>(draws.samples) * quantities.size());
    if (impact) draws.impact.reserve(static_cast<std::size_t>(draws.samples * net.n * net.n));
    for (long s = 0; s < draws.samples; ++s) {
        for (long t = 0; t < o.thin; ++t) chain.step();
        const SampleAnalysis& a = analyser.analyse(chain.point());
        for (const Quantity& q : quantities) draws.values.push_back(q.value(a));
        if (impact) appendImpact(a.companion, draws.impact);
        if (o.keepPoints) {
            draws.points.insert(draws.points.end(), chain.point().begin(), chain.point().end());
        }
        meter.advance();
    }
    draws.steps = chain.steps();
    draws.moves = chain.moves();
}

}  // namespace

UncertaintyResult analyseUncertainty(const NetworkValues& net, std::vector<Unknown> unknowns,
                                     const UncertaintyOptions& options) {
    UncertaintyResult r;
    r.options = options;
    for (const Unknown& u : unknowns) r.unknownNames.push_back(unknownName(u, *net.names));
    const std::vector<Quantity> quantities = uncertaintyQuantities(net);
    for (const Quantity& q : quantities) r.quantityNames.push_back(q.name);
    std::vector<double> givenImpact;
    {
        std::vector<double> x;
        for (const Unknown& u : unknowns) x.push_back(u.value);
        SampleAnalyser analyser(net, unknowns);
        const SampleAnalysis& a = analyser.analyse(x);
        for (const Quantity& q : quantities) r.given.push_back(q.value(a));
        appendImpact(a.companion, givenImpact);
    }
    r.polytope = buildPolytope(net.n, std::move(unknowns));
    if (!r.polytope.feasible) return r;

    // The chains, each its share of the samples, shared out over the threads.
    const int chains = std::max(1, options.chains);
    r.chains.resize(static_cast<std::size_t>(chains));
    for (int c = 0; c < chains; ++c) {
        r.chains[static_cast<std::size_t>(c)].samples =
            options.samples / chains + (c < options.samples % chains ? 1 : 0);
    }
    const bool impact = static_cast<double>(options.samples) * net.n * net.n <= kImpactValuesLimit;
    const auto start = Clock::now();
    ProgressMeter meter(options);
    std::atomic<int> next{0};
    onThreads(std::clamp(options.threads, 1, chains), [&](int) {
        for (int c = next++; c < chains; c = next++) {
            // Drawn into a chain's own record, then moved into place: the records of the
            // chains side by side would share cache lines.
            ChainDraws draws;
            draws.samples = r.chains[static_cast<std::size_t>(c)].samples;
            runChain(r.polytope, net, quantities, options, impact, c, draws, meter);
            r.chains[static_cast<std::size_t>(c)] = std::move(draws);
        }
    });
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();

    // The summaries, quantity by quantity.
    long steps = 0, moves = 0;
    for (const ChainDraws& d : r.chains) {
        steps += d.steps;
        moves += d.moves;
    }
    r.acceptance = steps > 0 ? static_cast<double>(moves) / static_cast<double>(steps) : 0.0;
    const std::size_t nq = quantities.size();
    for (std::size_t q = 0; q < nq; ++q) {
        std::vector<std::vector<double>> values;
        for (const ChainDraws& d : r.chains) {
            std::vector<double>& v = values.emplace_back();
            for (long s = 0; s < d.samples; ++s) v.push_back(d.values[static_cast<std::size_t>(s) * nq + q]);
        }
        r.summaries.push_back(summarise(values));
    }
    if (impact) {
        r.impact = summariseImpact(r.chains, std::move(givenImpact));
        for (ChainDraws& d : r.chains) std::vector<double>().swap(d.impact);
    }
    return r;
}

std::string infeasibleMessage(const UncertaintyResult& r, const std::vector<std::string>& names) {
    std::string list;
    for (int i : r.polytope.unbalanced) {
        if (!list.empty()) list += ", ";
        list += withoutTrailingBlanks(names[static_cast<std::size_t>(i - 1)]);
    }
    std::ostringstream m;
    m.precision(8);
    m << "no steady state within the ranges of the flows: "
      << (list.empty() ? std::string("the balances") : "the balance of " + list)
      << " cannot be met (the least total imbalance is " << r.polytope.imbalance << ")";
    return m.str();
}

}  // namespace flownet
