#include "netgen.hpp"

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

#include "layout.hpp"
#include "network.hpp"

namespace flownet::bench {

namespace {

// Uniform numbers from the engine's bits, the same on every platform.
struct Random {
    std::mt19937 engine;
    explicit Random(std::uint32_t seed) : engine(seed) {}
    double uniform() { return static_cast<double>(engine() >> 5) / 134217728.0; }  // [0, 1)
    double between(double a, double b) { return a + (b - a) * uniform(); }
    int below(int n) { return static_cast<int>(uniform() * n); }
    bool chance(double p) { return uniform() < p; }
    // A count with the given mean, at least 1: 1 + Poisson-like by repeated trials.
    int countAround(double mean) {
        int k = 1;
        double extra = mean - 1.0;
        while (extra > 0.0) {
            if (uniform() < std::min(extra, 1.0)) ++k;
            extra -= 1.0;
        }
        return k;
    }
};

}  // namespace

GeneratedNetwork generateNetwork(const NetworkShape& s) {
    Random rnd(s.seed);
    GeneratedNetwork net;
    const int n = s.living + s.pools;
    net.n = n;
    net.nl = s.living;
    net.title = "GENERATED NETWORK: " + std::to_string(s.living) + " LIVING, " +
                std::to_string(s.pools) + " POOLS, SEED " + std::to_string(s.seed);
    auto at = [&](int i, int j) -> std::size_t {
        return static_cast<std::size_t>(i * (n + 1) + j);
    };

    // Trophic level of each living compartment: producers at 1, consumers spread over 2..levels.
    std::vector<int> level(static_cast<std::size_t>(n + 1), 0);
    for (int i = 1; i <= s.living; ++i) {
        level[i] = i <= s.producers ? 1
                                    : 2 + (i - s.producers - 1) * (s.levels - 1) /
                                              std::max(1, s.living - s.producers);
    }

    // Links, as weights of each source's outputs: w[i][j] > 0 for a flow from i to j.
    std::vector<double> w(static_cast<std::size_t>((n + 1) * (n + 1)), 0.0);
    for (int c = s.producers + 1; c <= s.living; ++c) {
        int prey = rnd.countAround(s.preyPerConsumer);
        for (int k = 0; k < prey * 4 && prey > 0; ++k) {
            int p = 1 + rnd.below(s.living);
            bool lower = level[p] < level[c];
            if (!lower && !(p != c && rnd.chance(s.feedingLoops))) continue;
            if (w[at(p, c)] == 0.0) --prey;
            w[at(p, c)] = rnd.between(0.5, 1.5);
        }
        bool fed = false;
        for (int p = 1; p <= s.living; ++p) fed = fed || w[at(p, c)] > 0.0;
        if (!fed) w[at(1 + rnd.below(s.producers), c)] = rnd.between(0.5, 1.5);  // every consumer eats
        if (s.pools > 0 && rnd.chance(s.detritivores)) {
            int d = s.living + 1 + rnd.below(s.pools);
            w[at(d, c)] = rnd.between(0.5, 1.5);
        }
    }
    for (int i = 1; i <= s.living && s.pools > 0; ++i) {
        int returns = std::min(s.pools, rnd.countAround(s.poolsPerLiving));
        for (int k = 0; k < returns; ++k)
            w[at(i, s.living + 1 + rnd.below(s.pools))] = rnd.between(0.3, 1.0);
    }
    for (int a = s.living + 1; a <= n; ++a) {
        for (int b = s.living + 1; b <= n; ++b) {
            if (a != b && rnd.chance(s.poolLinks)) w[at(a, b)] = rnd.between(0.2, 0.8);
        }
    }

    // Output fractions: a share of each throughput goes on to other compartments, the rest is
    // respired or exported.
    std::vector<double> f(w.size(), 0.0);
    net.in.assign(static_cast<std::size_t>(n + 1), 0.0);
    net.ex = net.re = net.stock = net.in;
    std::vector<double> exShare(net.in.size(), 0.0), reShare(net.in.size(), 0.0);
    for (int i = 1; i <= n; ++i) {
        double total = 0.0;
        for (int j = 1; j <= n; ++j) total += w[at(i, j)];
        bool pool = i > s.living;
        double onward = total > 0.0 ? rnd.between(pool ? 0.4 : 0.3, pool ? 0.7 : 0.6) : 0.0;
        for (int j = 1; j <= n; ++j) {
            if (w[at(i, j)] > 0.0) f[at(i, j)] = onward * w[at(i, j)] / total;
        }
        double lost = 1.0 - onward;
        exShare[i] = pool || rnd.chance(0.3) ? lost * rnd.between(0.05, 0.3) : 0.0;
        reShare[i] = lost - exShare[i];
        if (i <= s.producers) net.in[i] = rnd.between(50.0, 150.0);
        if (pool && rnd.chance(0.3)) net.in[i] = rnd.between(1.0, 10.0);
    }

    // Steady state: X(j) = IN(j) + sum over i of X(i) f(i, j), solved by iteration (every
    // compartment loses a share of its throughput, so the iteration converges).
    std::vector<double> x(net.in);
    for (int it = 0; it < 10000; ++it) {
        double change = 0.0;
        for (int j = 1; j <= n; ++j) {
            double v = net.in[j];
            for (int i = 1; i <= n; ++i) v += x[i] * f[at(i, j)];
            change = std::max(change, std::fabs(v - x[j]));
            x[j] = v;
        }
        if (change < 1e-12) break;
    }
    net.t.assign(w.size(), 0.0);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) net.t[at(i, j)] = x[i] * f[at(i, j)];
        net.ex[i] = x[i] * exShare[i];
        net.re[i] = x[i] * reShare[i];
        net.stock[i] = x[i] * rnd.between(0.5, 5.0);
    }
    return net;
}

std::string networkFileText(const GeneratedNetwork& net) {
    std::ostringstream out;
    std::string title = net.title;
    title.resize(kTitleLength, ' ');
    std::vector<std::string> pieces = titlePieces(title);
    std::vector<Item> items(pieces.begin(), pieces.end());
    items.emplace_back(2);
    writeLayout(out, kTitleRecord, items);
    writeLayout(out, kCountsRecord, {net.n, net.nl});
    for (int i = 1; i <= net.n; ++i) {
        std::string name = (i <= net.nl ? "SPECIES " : "POOL ") + std::to_string(i);
        name.resize(kNameLength, ' ');
        pieces = namePieces(name);
        writeLayout(out, kNameRecord, std::vector<Item>(pieces.begin(), pieces.end()));
    }
    for (const std::vector<double>* v : {&net.stock, &net.in, &net.ex, &net.re}) {
        for (int i = 1; i <= net.n; ++i) {
            if ((*v)[i] > 0.0) writeLayout(out, kEntryRecord, {i, static_cast<float>((*v)[i])});
        }
        writeLayout(out, kEntryRecord, {-1, 0.0f});
    }
    for (int i = 1; i <= net.n; ++i) {
        for (int j = 1; j <= net.n; ++j) {
            if (net.flow(i, j) > 0.0)
                writeLayout(out, kFlowRecord, {i, j, static_cast<float>(net.flow(i, j))});
        }
    }
    writeLayout(out, kFlowRecord, {-1, -1, 0.0f});
    return out.str();
}

namespace {

// Johnson's algorithm, counting only: the simple cycles whose smallest vertex is s, within the
// vertices s..n.
struct Counter {
    int n;
    const GeneratedNetwork& net;
    std::uint64_t limit, count = 0;
    std::vector<char> blocked;
    std::vector<std::vector<int>> b;

    bool circuit(int v, int s) {
        bool found = false;
        blocked[v] = 1;
        for (int w = s; w <= n && count < limit; ++w) {
            if (net.flow(v, w) <= 0.0) continue;
            if (w == s) {
                ++count;
                found = true;
            } else if (!blocked[w] && circuit(w, s)) {
                found = true;
            }
        }
        if (found) {
            unblock(v);
        } else {
            for (int w = s; w <= n; ++w) {
                if (net.flow(v, w) > 0.0 && std::find(b[w].begin(), b[w].end(), v) == b[w].end())
                    b[w].push_back(v);
            }
        }
        return found;
    }
    void unblock(int u) {
        blocked[u] = 0;
        std::vector<int> list;
        list.swap(b[u]);
        for (int w : list) {
            if (blocked[w]) unblock(w);
        }
    }
};

}  // namespace

std::uint64_t countSimpleCycles(const GeneratedNetwork& net, std::uint64_t limit) {
    Counter c{net.n, net, limit, 0, {}, {}};
    for (int s = 1; s <= net.n && c.count < limit; ++s) {
        c.blocked.assign(static_cast<std::size_t>(net.n + 1), 0);
        c.b.assign(static_cast<std::size_t>(net.n + 1), {});
        c.circuit(s, s);
    }
    return c.count;
}

}  // namespace flownet::bench
