// The analyses of the other tools on networks small enough to work out by hand (a chain, a
// two-compartment cycle, a star), and the identities that hold on any network.
#include <gtest/gtest.h>

#include <cmath>

#include "peers.hpp"

using namespace flownet;

namespace {

struct Net {
    int n = 0, living = 0;
    Vector<6> stocks, IN, EX, RE;
    Matrix<6> t;
    PeerAnalyses analyse() const {
        CompanionIndices c;
        companionIndices(c, n, stocks.view(), IN.view(), EX.view(), RE.view(), t.view());
        return peerAnalyses(n, living, stocks.view(), IN.view(), EX.view(), RE.view(), t.view(), c);
    }
};

// Two compartments: 1 takes in 10, respires 6 and passes t12 to 2, which exports 4 and returns
// t21 to 1; stocks 5 and 2.
Net twoCompartments(float t12, float t21) {
    Net a;
    a.n = a.living = 2;
    a.IN(1) = 10;
    a.RE(1) = 6;
    a.EX(2) = 4;
    a.t(1, 2) = t12;
    a.t(2, 1) = t21;
    a.stocks(1) = 5;
    a.stocks(2) = 2;
    return a;
}

void expectAll(const std::vector<double>& v, std::initializer_list<double> want) {
    ASSERT_EQ(v.size(), want.size());
    auto it = want.begin();
    for (std::size_t i = 0; i < v.size(); ++i) EXPECT_NEAR(v[i], *it++, 1e-12) << i;
}

constexpr double kEps = 1e-12;

// Throughflows 10 and 4; G = [0 .4; 0 0], N = I + G: nothing is indirect, nothing cycles.
TEST(Peers, AChainByHand) {
    const PeerAnalyses a = twoCompartments(4, 0).analyse();
    const FlowPartition& f = a.partition;
    EXPECT_NEAR(f.BFI, 10.0 / 14, kEps);
    EXPECT_NEAR(f.DFI, 4.0 / 14, kEps);
    EXPECT_NEAR(f.IFI, 0.0, kEps);
    EXPECT_NEAR(f.modes[0], 10, kEps);
    EXPECT_NEAR(f.modes[1], 4, kEps);
    EXPECT_NEAR(f.modes[2], 0, kEps);
    EXPECT_NEAR(f.modes[4], 10, kEps);
    // N row sums 1.4 and 1; G'(1, 2) = 4/4, N' = I + G' with column sums 1 and 2.
    expectAll(f.tetUnitOutput, {1.4, 1});
    expectAll(f.tetRealizedOutput, {14, 0});
    expectAll(f.tetUnitInput, {1, 2});
    expectAll(f.tetRealizedInput, {6, 8});
    // One link, no cycle: lambda1 = 0 twice (two single components), no damping ratio.
    const StructureStatistics& s = a.structure;
    EXPECT_EQ(s.links, 1);
    EXPECT_DOUBLE_EQ(s.connectance, 0.25);
    EXPECT_DOUBLE_EQ(s.linkDensity, 0.5);
    EXPECT_NEAR(s.lambda1, 0, kEps);
    EXPECT_EQ(s.multiplicity, 2);
    EXPECT_TRUE(std::isnan(s.dampingRatio));
    EXPECT_EQ(s.components, 2);
    EXPECT_EQ(s.bigComponents, 0);
    EXPECT_DOUBLE_EQ(s.componentShare, 0);
    // sum N = 2.4; no eigenvector centrality without a cycle.
    expectAll(a.centrality.environIn, {1.4 / 2.4, 1 / 2.4});
    expectAll(a.centrality.environOut, {1 / 2.4, 1.4 / 2.4});
    EXPECT_TRUE(std::isnan(a.centrality.eigenvectorIn[0]));
    // 10 of 14 is boundary flow (50 % at step 0), the rest direct (100 % at step 1).
    EXPECT_EQ(a.pathLengths.half, 0);
    EXPECT_EQ(a.pathLengths.eightyPercent, 1);
    EXPECT_EQ(a.pathLengths.ninetyFivePercent, 1);
    EXPECT_EQ(a.pathLengths.indirectExceedsDirect, -1);
    const double p = 10.0 / 14, q = 4.0 / 14, H = -(p * std::log(p) + q * std::log(q));
    EXPECT_NEAR(a.throughflowDiversity.H, H, kEps);
    EXPECT_NEAR(a.throughflowDiversity.Hr, H / std::log(2.0), kEps);
    EXPECT_NEAR(a.throughflowDiversity.effectiveN, std::exp(H), kEps);
    // Trophic levels 1 and 2, each eating one level down: no omnivory.
    expectAll(a.netIndices.trophicLevel, {1, 2});
    expectAll(a.netIndices.omnivory, {0, 0});
    // One internal flow, an input, an export, a respiration; TSTp 24.
    EXPECT_EQ(a.netIndices.Lint, 1);
    EXPECT_EQ(a.netIndices.Ltot, 4);
    EXPECT_DOUBLE_EQ(a.netIndices.connectance, 0.5);
    EXPECT_DOUBLE_EQ(a.netIndices.averageLinkWeight, 6);
    EXPECT_DOUBLE_EQ(a.netIndices.averageThroughflow, 7);
    // The effective flows and nodes as the products over the extended flows: import to 1 (10),
    // 1 to 2 (4), 1 respired (6), 2 exported (4), of 24; row sums 10 (import), 10, 4; column
    // sums 10, 4 and 4 (export), 6 (respiration).
    const double flows = std::pow(24.0 / 10, 10.0 / 24) * std::pow(24.0 / 4, 8.0 / 24) *
                         std::pow(24.0 / 6, 6.0 / 24);
    const double nodes = std::pow(5.76, 5.0 / 24) * std::pow(14.4, 2.0 / 24) *
                         std::pow(9.6, 3.0 / 24) * std::pow(36.0, 2.0 / 24);
    EXPECT_NEAR(a.netIndices.effectiveFlows, flows, 1e-9);
    EXPECT_NEAR(a.netIndices.effectiveNodes, nodes, 1e-9);
    EXPECT_NEAR(a.netIndices.effectiveConnectivity, flows / nodes, 1e-9);
}

// Stocks 5 and 2 with throughflows 10 and 4: T / x = 2 for both, dt = 1/2, P = [0 .4; 0 0],
// Q = I + P. A unit entering 1 stays 1/2 there and sends .4 of itself on to stay 1/2 in 2.
TEST(Peers, TheStorageOfAChainByHand) {
    const PeerAnalyses a = twoCompartments(4, 0).analyse();
    const StorageAnalysis& s = a.storage;
    ASSERT_TRUE(s.defined);
    EXPECT_DOUBLE_EQ(s.dt, 0.5);
    EXPECT_NEAR(s.Q(0, 1), 0.4, kEps);
    EXPECT_NEAR(s.BSI, 5.0 / 7, kEps);
    EXPECT_NEAR(s.DSI, 2.0 / 7, kEps);
    EXPECT_NEAR(s.ISI, 0, kEps);
    EXPECT_NEAR(s.CIS, 0, kEps);
    EXPECT_NEAR(s.modes[0], 5, kEps);
    EXPECT_NEAR(s.modes[1], 2, kEps);
    EXPECT_NEAR(s.modes[4], 5, kEps);
    expectAll(s.tesUnitOutput, {0.7, 0.5});
    expectAll(s.tesRealizedInput, {5, 2});  // the stocks, in steady state
    expectAll(s.residenceTime, {5.0 / 6, 0.5});
    // Q' = [1 1; 0 1]: an entry of 1 does not amplify.
    EXPECT_NEAR(s.Qin(0, 1), 1, kEps);
    EXPECT_EQ(s.amplificationInput, 0);
    // D = [0 -.4; 1 0], U = [1 -.4; 1 1] / 1.4: the diagonal pairs change sign, the other not;
    // three positive entries, one negative; diag(T) U = [10 -4; 4 4] / 1.4.
    const Utility& u = a.flowUtility;
    EXPECT_NEAR(u.lambda1, std::sqrt(0.4), 1e-9);
    EXPECT_NEAR(u.relationsChanged, 200.0 / 3, kEps);
    EXPECT_DOUBLE_EQ(u.mutualism, 3);
    EXPECT_NEAR(u.synergism, 4.5, kEps);
    // Over the stocks: D = [0 -.8; 2 0], U = [1 -.8; 2 1] / 2.6, diag(T) U = [10 -8; 8 4] / 2.6.
    const Utility& w = a.storageUtility;
    EXPECT_NEAR(w.lambda1, std::sqrt(1.6), 1e-9);
    EXPECT_NEAR(w.synergism, 22.0 / 8, kEps);
    EXPECT_DOUBLE_EQ(w.mutualism, 3);
}

// 1 passes 8 to 2, which returns 4: throughflows 14 and 8, N = [1.4 .8; .7 1.4].
TEST(Peers, ATwoCompartmentCycleByHand) {
    const PeerAnalyses a = twoCompartments(8, 4).analyse();
    const FlowPartition& f = a.partition;
    // direct 10 x 8/14 = 40/7, indirect 10 (.4 + .8 - 8/14) = 44/7, of TST 22.
    EXPECT_NEAR(f.DFI, 40.0 / 7 / 22, kEps);
    EXPECT_NEAR(f.IFI, 44.0 / 7 / 22, kEps);
    EXPECT_NEAR(f.indirectToDirect, 1.1, kEps);
    EXPECT_NEAR(f.modes[2], 44.0 / 7, kEps);  // TSTc = (1 - 1/1.4) (14 + 8)
    EXPECT_NEAR(f.modes[1], 40.0 / 7, kEps);
    // In steady state the realized input environs share out TST too.
    EXPECT_NEAR(f.tetRealizedInput[0] + f.tetRealizedInput[1], 22, 1e-12);
    // A = [0 1; 1 0]: eigenvalues 1 and -1, one component.
    const StructureStatistics& s = a.structure;
    EXPECT_NEAR(s.lambda1, 1, kEps);
    EXPECT_EQ(s.multiplicity, 1);
    EXPECT_NEAR(s.dampingRatio, 1, kEps);
    EXPECT_NEAR(s.lambda1MinusLinkDensity, 0, kEps);
    EXPECT_EQ(s.components, 1);
    EXPECT_EQ(s.bigComponents, 1);
    EXPECT_DOUBLE_EQ(s.componentShare, 1);
    // G = [0 a; b 0], a = 4/7, b = 1/2: G v = sqrt(ab) v for v = (sqrt a, sqrt b), and the left
    // eigenvector is (sqrt b, sqrt a).
    const double ra = std::sqrt(4.0 / 7), rb = std::sqrt(0.5);
    expectAll(a.centrality.eigenvectorIn, {ra / (ra + rb), rb / (ra + rb)});
    expectAll(a.centrality.eigenvectorOut, {rb / (ra + rb), ra / (ra + rb)});
    expectAll(a.centrality.environIn, {2.2 / 4.3, 2.1 / 4.3});
    // f(2k) = 10 (2/7)^k and f(2k + 1) = (40/7) (2/7)^k: the cumulative shares are .455, .714,
    // .844, .918, .956; the indirect flow passes 40/7 at step 5.
    EXPECT_EQ(a.pathLengths.half, 1);
    EXPECT_EQ(a.pathLengths.eightyPercent, 2);
    EXPECT_EQ(a.pathLengths.ninetyFivePercent, 4);
    EXPECT_EQ(a.pathLengths.indirectExceedsDirect, 5);
    // Both living and feeding on each other only through the input to 1: TL 1 = 1 + TL 2 and
    // TL 2 = 1 + TL 1 cannot both hold.
    EXPECT_TRUE(std::isnan(a.netIndices.trophicLevel[0]));
}

// A hub takes in 9 and feeds three leaves 3 each, which respire it: no cycle, four components.
TEST(Peers, AStarByHand) {
    Net star;
    star.n = star.living = 4;
    star.IN(1) = 9;
    for (int j = 2; j <= 4; ++j) {
        star.t(1, j) = 3;
        star.RE(j) = 3;
    }
    const PeerAnalyses a = star.analyse();
    EXPECT_EQ(a.structure.links, 3);
    EXPECT_DOUBLE_EQ(a.structure.connectance, 3.0 / 16);
    EXPECT_EQ(a.structure.multiplicity, 4);
    EXPECT_EQ(a.structure.components, 4);
    // N = I + G: row sums 2, 1, 1, 1 of 5; column sums 1, 4/3, 4/3, 4/3.
    expectAll(a.centrality.environIn, {0.4, 0.2, 0.2, 0.2});
    expectAll(a.centrality.environOut, {0.2, 4.0 / 15, 4.0 / 15, 4.0 / 15});
    // Throughflows 9, 3, 3, 3: H = (ln 2 + ln 6) / 2, no stocks to store.
    EXPECT_NEAR(a.throughflowDiversity.H, (std::log(2.0) + std::log(6.0)) / 2, kEps);
    EXPECT_TRUE(std::isnan(a.stockDiversity.H));
    EXPECT_FALSE(a.storage.defined);
    expectAll(a.netIndices.trophicLevel, {1, 2, 2, 2});
}

// A network of four compartments with cycles of several lengths and a self-loop, out of steady
// state: what must hold whatever the numbers.
TEST(Peers, IdentitiesOnATangledNetwork) {
    Net a;
    a.n = 4;
    a.living = 3;
    const float f[4][4] = {{0, 5, 0, 2}, {0, 1, 3, 1.5f}, {1, 0, 0, 2}, {0.5f, 2, 1, 0}};
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) a.t(i, j) = f[i - 1][j - 1];
        a.stocks(i) = 3.0f * static_cast<float>(i);
        a.RE(i) = 1;
    }
    a.IN(1) = 6;
    a.IN(4) = 1;
    a.EX(3) = 0.5f;
    const PeerAnalyses p = a.analyse();
    const PeerNetwork net =
        peerNetwork(4, 3, a.stocks.view(), a.IN.view(), a.EX.view(), a.RE.view(), a.t.view());
    const Eigen::MatrixXd I = Eigen::MatrixXd::Identity(4, 4);
    EXPECT_LT((net.N - I - net.G * net.N).cwiseAbs().maxCoeff(), 1e-12);
    EXPECT_LT((net.Nin - I - net.Gin * net.Nin).cwiseAbs().maxCoeff(), 1e-12);
    const FlowPartition& fp = p.partition;
    EXPECT_NEAR(fp.BFI + fp.DFI + fp.IFI, 1, kEps);
    EXPECT_NEAR(fp.modes[0] + fp.modes[1] + fp.modes[2], fp.TST, 1e-10);
    // The realized output environs share out TST; the input ones only in steady state.
    double tet = 0;
    for (double x : fp.tetRealizedOutput) tet += x;
    EXPECT_NEAR(tet, fp.TST, 1e-10);
    for (const std::vector<double>* c :
         {&p.centrality.environIn, &p.centrality.environOut, &p.centrality.environAverage,
          &p.centrality.eigenvectorIn, &p.centrality.eigenvectorOut,
          &p.centrality.eigenvectorAverage}) {
        double sum = 0;
        for (double x : *c) {
            EXPECT_GE(x, 0);
            sum += x;
        }
        EXPECT_NEAR(sum, 1, kEps);
    }
    EXPECT_EQ(p.structure.links, 10);  // the self-loop is a link
    const NetIndices& x = p.netIndices;
    // The trophic levels solve TL = 1 + p TL with the self-feeding left out; the detritus is 1.
    EXPECT_DOUBLE_EQ(x.trophicLevel[3], 1);
    const double TL1 = x.trophicLevel[0], TL2 = x.trophicLevel[1], TL3 = x.trophicLevel[2];
    EXPECT_NEAR(TL1, 1 + (1 * TL3 + 0.5 * 1) / 1.5, 1e-12);
    EXPECT_NEAR(TL2, 1 + (5 * TL1 + 2 * 1) / 7, 1e-12);
    EXPECT_NEAR(TL3, 1 + (3 * TL2 + 1 * 1) / 4, 1e-12);
}

}  // namespace
