// The uncertainty analysis: ranges, the polytope of the plausible networks, the hit-and-run
// chains and their summaries, against closed forms.
#include <gtest/gtest.h>

#include <cmath>

#include "networkformat.hpp"
#include "polytope.hpp"
#include "ranges.hpp"
#include "uncertainty.hpp"

namespace flownet {
namespace {

// A network of n compartments held in plain vectors, with its views.
struct SmallNetwork {
    int n;
    std::vector<std::string> names;
    std::vector<float> stocks, IN, EX, RE, flows;

    explicit SmallNetwork(int count)
        : n(count), stocks(count, 1.0f), IN(count), EX(count), RE(count), flows(count * count) {
        for (int i = 1; i <= n; ++i) names.push_back("C" + std::to_string(i));
    }
    float& flow(int i, int j) { return flows[static_cast<std::size_t>((j - 1) * n + (i - 1))]; }
    NetworkValues values() const {
        return {n, n, &names, {stocks.data(), n}, {IN.data(), n}, {EX.data(), n}, {RE.data(), n},
                {flows.data(), n, n}};
    }
};

// A network read from a bundled CSV file.
SmallNetwork example(const std::string& name) {
    AnalysisNetwork net;
    readOtherFormat(std::string(EXAMPLES_DIR) + "/" + name, FormatOptions{},
                    NetworkFormat::CsvMatrix, net);
    const int n = net.count;
    SmallNetwork s(n);
    for (int i = 1; i <= n; ++i) {
        s.names[static_cast<std::size_t>(i - 1)] = net.names[static_cast<std::size_t>(i)];
        s.IN[static_cast<std::size_t>(i - 1)] = net.T(n + 1, i);
        s.EX[static_cast<std::size_t>(i - 1)] = net.T(i, n + 1);
        s.RE[static_cast<std::size_t>(i - 1)] = net.T(i, n + 2);
        s.stocks[static_cast<std::size_t>(i - 1)] = net.T(n + 2, i);
        for (int j = 1; j <= n; ++j) s.flow(i, j) = net.T(i, j);
    }
    return s;
}

UncertaintyOptions options(long samples, int chains, int threads) {
    UncertaintyOptions o;
    o.samples = samples;
    o.chains = chains;
    o.threads = threads;
    o.seed = 20261208;
    o.burnIn = 200;
    o.keepPoints = true;
    return o;
}

std::size_t quantityIndex(const UncertaintyResult& r, const std::string& name) {
    for (std::size_t q = 0; q < r.quantityNames.size(); ++q) {
        if (r.quantityNames[q] == name) return q;
    }
    ADD_FAILURE() << "no quantity " << name;
    return 0;
}

// The sample mean and variance of unknown k over every chain.
std::pair<double, double> moments(const UncertaintyResult& r, std::size_t k) {
    const std::size_t m = r.unknownNames.size();
    double sum = 0.0, squares = 0.0;
    long count = 0;
    for (const ChainDraws& d : r.chains) {
        for (long s = 0; s < d.samples; ++s) {
            const double x = d.points[static_cast<std::size_t>(s) * m + k];
            sum += x;
            squares += x * x;
            ++count;
        }
    }
    const double mean = sum / static_cast<double>(count);
    return {mean, squares / static_cast<double>(count) - mean * mean};
}

TEST(Uncertainty, AnIntervalAndATriangleMatchTheirClosedForms) {
    // One compartment, input z in [2, 6] and export e in [3, 10]: steady state z = e, so the
    // plausible set is z = e uniform on [3, 6]: mean 4.5, variance 9/12, fourth central moment
    // 3^4/80.
    SmallNetwork line(1);
    line.IN[0] = 4.0f;
    line.EX[0] = 4.0f;
    const RangeTable table = parseRanges("r.csv", "from,to,low,high\ninput,C1,2,6\nC1,export,3,10\n");
    UncertaintyResult r = analyseUncertainty(line.values(), unknownsOf(line.values(), &table, -1.0),
                                             options(4000, 2, 1));
    ASSERT_TRUE(r.polytope.feasible);
    EXPECT_EQ(r.polytope.dimension, 1);
    const double ess = r.summaries[quantityIndex(r, "TST")].ess;  // TST = z: the same chain
    ASSERT_GT(ess, 500.0);
    const auto [mean, var] = moments(r, 0);
    EXPECT_NEAR(mean, 4.5, 4.0 * std::sqrt(0.75 / ess));
    EXPECT_NEAR(var, 0.75, 4.0 * std::sqrt((81.0 / 80.0 - 0.75 * 0.75) / ess));

    // Input z, export e and respiration r each in [0, 1], z = e + r: (e, r) uniform on the
    // triangle e + r <= 1; e has mean 1/3 and variance 1/18, z = e + r mean 2/3 and variance 1/18.
    SmallNetwork tri(1);
    tri.IN[0] = 0.5f;
    tri.EX[0] = 0.25f;
    tri.RE[0] = 0.25f;
    const RangeTable box = parseRanges(
        "r.csv", "from,to,low,high\ninput,C1,0,1\nC1,export,0,1\nC1,respiration,0,1\n");
    r = analyseUncertainty(tri.values(), unknownsOf(tri.values(), &box, -1.0), options(8000, 4, 2));
    ASSERT_TRUE(r.polytope.feasible);
    EXPECT_EQ(r.polytope.dimension, 2);
    const double essT = r.summaries[quantityIndex(r, "TST")].ess;
    ASSERT_GT(essT, 500.0);
    const double tolMean = 4.0 * std::sqrt(1.0 / 18.0 / essT);
    const auto [z, varZ] = moments(r, 0);
    const auto [e, varE] = moments(r, 1);
    EXPECT_NEAR(z, 2.0 / 3.0, tolMean);
    EXPECT_NEAR(e, 1.0 / 3.0, 2.0 * tolMean);  // e mixes on its own, not as TST does
    EXPECT_NEAR(varZ, 1.0 / 18.0, 8.0 * (1.0 / 18.0) / std::sqrt(essT));
    EXPECT_NEAR(varE, 1.0 / 18.0, 12.0 * (1.0 / 18.0) / std::sqrt(essT));
    EXPECT_EQ(r.acceptance, 1.0);
}

TEST(Uncertainty, ASimplexOfThreeDimensionsMatchesItsClosedForm) {
    // C1 takes in 1 exactly and passes it to C2..C5, each flow in [0, 1] and exported whole: the
    // four flows are uniform on the simplex f2 + f3 + f4 + f5 = 1 (d = 3), each with mean 1/4
    // and variance (1/4)(3/4)/5 = 3/80, the Dirichlet(1, 1, 1, 1) marginal.
    SmallNetwork star(5);
    star.IN[0] = 1.0f;
    for (int i = 2; i <= 5; ++i) {
        star.flow(1, i) = 0.25f;
        star.EX[static_cast<std::size_t>(i - 1)] = 0.25f;
    }
    std::string csv = "from,to,low,high\ninput,C1,1,1\n";
    for (int i = 2; i <= 5; ++i) {
        csv += "C1,C" + std::to_string(i) + ",0,1\nC" + std::to_string(i) + ",export,0,1\n";
    }
    const RangeTable table = parseRanges("r.csv", csv);
    UncertaintyResult r = analyseUncertainty(star.values(), unknownsOf(star.values(), &table, -1.0),
                                             options(12000, 4, 2));
    ASSERT_TRUE(r.polytope.feasible);
    ASSERT_EQ(r.polytope.dimension, 3);
    for (int i = 2; i <= 5; ++i) {
        const std::string name = "throughflow[C" + std::to_string(i) + "]";
        const QuantitySummary& q = r.summaries[quantityIndex(r, name)];
        ASSERT_GT(q.ess, 500.0) << name;
        EXPECT_NEAR(q.mean, 0.25, 4.0 * std::sqrt(3.0 / 80.0 / q.ess)) << name;
        EXPECT_NEAR(q.sd * q.sd, 3.0 / 80.0, 8.0 * (3.0 / 80.0) / std::sqrt(q.ess)) << name;
    }
    EXPECT_GT(r.acceptance, 0.99);
}

TEST(Uncertainty, TrophicLevelsAndImpactSignsMatchTheirClosedForms) {
    // A plant P (input 10) eaten by a herbivore H (4) and a carnivore C, which eats H too: H -> C
    // is t in [1, 3], C's intake held at 4 (respiration 4), so P -> C = 4 - t, H respires 4 - t
    // and P 2 + t. C's diet is (4 - t)/4 at level 1 and t/4 at level 2: its effective level is
    // 2 + t/4, with t uniform on [1, 3] mean 2.5 and variance (2^2 / 12) / 16 = 1/48.
    SmallNetwork chain(3);
    chain.IN[0] = 10.0f;
    chain.flow(1, 2) = 4.0f;
    chain.flow(1, 3) = 2.0f;
    chain.flow(2, 3) = 2.0f;
    chain.RE = {4.0f, 2.0f, 4.0f};
    const RangeTable table = parseRanges(
        "r.csv", "from,to,low,high\nC2,C3,1,3\nC1,C3,0,10\nC1,respiration,0,10\nC2,respiration,0,10\n");
    UncertaintyResult r = analyseUncertainty(
        chain.values(), unknownsOf(chain.values(), &table, -1.0), options(4000, 2, 2));
    ASSERT_TRUE(r.polytope.feasible);
    EXPECT_EQ(r.polytope.dimension, 1);
    const std::size_t c = quantityIndex(r, "effectiveTrophicLevel[C3]");
    EXPECT_NEAR(r.given[c], 2.5, 1e-6);
    const QuantitySummary& level = r.summaries[c];
    ASSERT_GT(level.ess, 500.0);
    EXPECT_NEAR(level.mean, 2.5, 4.0 * std::sqrt(1.0 / 48.0 / level.ess));
    EXPECT_NEAR(level.sd, std::sqrt(1.0 / 48.0), 0.1 * std::sqrt(1.0 / 48.0));
    EXPECT_LT(level.low, 2.27);  // the 2.5 and 97.5 % points of 2 + t/4: 2.2625 and 2.7375
    EXPECT_GT(level.high, 2.73);
    EXPECT_EQ(r.summaries[quantityIndex(r, "effectiveTrophicLevel[C2]")].sd, 0.0);  // always 2

    // P feeds H alone, P -> H = a in [2, 4]: every diet and predation share is 1, so the direct
    // impact Q = [0 1; -1 0] and M = (I - Q)^-1 - I = [-1/2 1/2; -1/2 -1/2] whatever a is: P
    // helps H in every sample, H harms P in all. A third compartment, apart, neither gains nor
    // loses from them: its row and column of M are 0, positive in no sample.
    SmallNetwork two(3);
    two.IN = {10.0f, 0.0f, 1.0f};
    two.flow(1, 2) = 3.0f;
    two.RE = {7.0f, 3.0f, 1.0f};
    const RangeTable pair = parseRanges(
        "r.csv", "from,to,low,high\nC1,C2,2,4\nC1,respiration,0,10\nC2,respiration,0,10\n");
    r = analyseUncertainty(two.values(), unknownsOf(two.values(), &pair, -1.0), options(300, 2, 1));
    ASSERT_TRUE(r.impact.has_value());
    const MatrixSummary& m = *r.impact;
    ASSERT_EQ(m.n, 3);
    ASSERT_EQ(m.entries.size(), 9u);
    const double expected[] = {-0.5, 0.5, 0.0, -0.5, -0.5, 0.0, 0.0, 0.0, 0.0};
    const double positive[] = {0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    for (std::size_t k = 0; k < 9; ++k) {
        EXPECT_NEAR(m.entries[k].mean, expected[k], 1e-6) << k;
        EXPECT_NEAR(m.given[k], expected[k], 1e-6) << k;
        EXPECT_EQ(m.positive[k], positive[k]) << k;
    }
}

TEST(Uncertainty, EverySampleOfTheBundledNetworksIsASteadyStateWithinItsRanges) {
    for (const char* name : {"oyster.csv", "marsh.csv", "cone_spring.csv", "pond.csv"}) {
        SCOPED_TRACE(name);
        const SmallNetwork net = example(name);
        std::vector<Unknown> unknowns = unknownsOf(net.values(), nullptr, 20.0);
        const std::vector<Unknown> ranges = unknowns;
        const UncertaintyResult r =
            analyseUncertainty(net.values(), std::move(unknowns), options(600, 3, 2));
        ASSERT_TRUE(r.polytope.feasible);
        EXPECT_GT(r.polytope.dimension, 0);
        const std::size_t m = ranges.size();
        double largest = 0.0;
        for (const Unknown& u : ranges) largest = std::max(largest, u.high);
        for (const ChainDraws& d : r.chains) {
            ASSERT_EQ(d.points.size(), static_cast<std::size_t>(d.samples) * m);
            for (long s = 0; s < d.samples; ++s) {
                const std::vector<double> x(d.points.begin() + s * static_cast<long>(m),
                                            d.points.begin() + (s + 1) * static_cast<long>(m));
                for (std::size_t k = 0; k < m; ++k) {
                    ASSERT_GE(x[k], ranges[k].low);
                    ASSERT_LE(x[k], ranges[k].high);
                }
                for (int i = 1; i <= net.n; ++i) {
                    ASSERT_LE(std::fabs(balanceOf(ranges, x, i)), 1.2e-7 * largest) << i;
                }
            }
        }
    }
}

TEST(Uncertainty, TheSameSeedGivesTheSameDrawsOnAnyNumberOfThreads) {
    const SmallNetwork net = example("oyster.csv");
    const UncertaintyResult one =
        analyseUncertainty(net.values(), unknownsOf(net.values(), nullptr, 10.0), options(400, 4, 1));
    const UncertaintyResult two =
        analyseUncertainty(net.values(), unknownsOf(net.values(), nullptr, 10.0), options(400, 4, 2));
    ASSERT_EQ(one.chains.size(), 4u);
    for (std::size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(one.chains[c].points, two.chains[c].points);
        EXPECT_EQ(one.chains[c].values, two.chains[c].values);
    }
    // Another number of chains draws other networks.
    const UncertaintyResult three =
        analyseUncertainty(net.values(), unknownsOf(net.values(), nullptr, 10.0), options(400, 3, 2));
    EXPECT_NE(one.chains[0].points, three.chains[0].points);
}

TEST(Uncertainty, AnInputThatCannotBalanceItsOutputsIsNamed) {
    // C1's input within [1, 2] and its export held at 5; C2 balanced on its own.
    SmallNetwork net(2);
    net.IN[0] = 1.5f;
    net.EX[0] = 5.0f;
    net.IN[1] = 1.0f;
    net.RE[1] = 1.0f;
    const RangeTable table = parseRanges("r.csv", "from,to,low,high\ninput,C1,1,2\n");
    const UncertaintyResult r =
        analyseUncertainty(net.values(), unknownsOf(net.values(), &table, -1.0), options(10, 1, 1));
    ASSERT_FALSE(r.polytope.feasible);
    EXPECT_NEAR(r.polytope.imbalance, 3.0, 1e-6);
    EXPECT_EQ(infeasibleMessage(r, net.names),
              "no steady state within the ranges of the flows: the balance of C1 cannot be met "
              "(the least total imbalance is 3)");
}

TEST(Uncertainty, RangesAreReadAndTheirErrorsNameTheLine) {
    SmallNetwork net(2);
    net.IN[0] = 4.0f;
    net.flow(1, 2) = 4.0f;
    net.RE[1] = 4.0f;
    const RangeTable table = parseRanges(
        "r.csv", "# a comment\nFROM,To,plus-minus,low,high\ninput,C1,1,,\nC1,C2,,-3,5\n");
    std::vector<Unknown> u = unknownsOf(net.values(), &table, 50.0);
    ASSERT_EQ(u.size(), 3u);
    EXPECT_EQ(u[0].low, 3.0);   // plus-minus 1 around 4
    EXPECT_EQ(u[0].high, 5.0);
    EXPECT_EQ(u[1].low, 0.0);   // the table's range, raised to 0
    EXPECT_EQ(u[1].high, 5.0);
    EXPECT_EQ(u[2].low, 2.0);   // --plus-minus 50 %
    EXPECT_EQ(u[2].high, 6.0);
    EXPECT_EQ(unknownName(u[2], net.names), "C2 -> respiration");

    const auto error = [&](const std::string& bytes) {
        try {
            const RangeTable t = parseRanges("r.csv", bytes);
            unknownsOf(net.values(), &t, -1.0);
        } catch (const RangeError& e) {
            return e.message;
        }
        return std::string("no error");
    };
    EXPECT_EQ(error("from,to,low,high\ninput,C1,1,2\nC9,C2,1,2\n"),
              "r.csv, line 3: the network has no compartment named 'C9'");
    EXPECT_EQ(error("from,to,low,high\nC2,C1,1,2\n"),
              "r.csv, line 2: the network has no flow from 'C2' to 'C1' (a flow of 0 stays 0)");
    EXPECT_EQ(error("from,to,low,high\nC1,export,1,2\n"),
              "r.csv, line 2: the network has no flow from 'C1' to 'export' (a flow of 0 stays 0)");
    EXPECT_EQ(error("from,to,low\n"), "r.csv, line 1: the header names neither low and high nor plus-minus");
    EXPECT_EQ(error("from,to,low,high\nC1,C2,3,x\n"),
              "r.csv, line 2: expected a number as the high value, not 'x'");
    EXPECT_EQ(error("from,to,low,high\nC1,C2,3,2\n"),
              "r.csv, line 2: the low value is above the high value");
}

}  // namespace
}  // namespace flownet
