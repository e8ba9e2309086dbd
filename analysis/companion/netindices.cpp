#include "netindices.hpp"

#include <cmath>

namespace flownet {

namespace {

int positives(const Eigen::VectorXd& v) {
    return static_cast<int>((v.array() > 0.0).count());
}

// The diet fractions p(i, j) of the living compartments; rows of zeros elsewhere.
Eigen::MatrixXd dietFractions(const PeerNetwork& p) {
    Eigen::MatrixXd diet = Eigen::MatrixXd::Zero(p.n, p.n);
    for (int i = 0; i < p.living; ++i) {
        const double intake = p.F.col(i).sum() - p.F(i, i);
        if (!(intake > 0.0)) continue;
        for (int j = 0; j < p.n; ++j) {
            if (j != i) diet(i, j) = p.F(j, i) / intake;
        }
    }
    return diet;
}

void trophic(const PeerNetwork& p, NetIndices& x) {
    const Eigen::MatrixXd diet = dietFractions(p);
    const Eigen::MatrixXd M = Eigen::MatrixXd::Identity(p.n, p.n) - diet;
    const Eigen::FullPivLU<Eigen::MatrixXd> lu(M);
    x.trophicLevel.assign(static_cast<std::size_t>(p.n), kNaN);
    x.omnivory.assign(static_cast<std::size_t>(p.n), kNaN);
    if (!lu.isInvertible()) return;
    const Eigen::VectorXd TL = lu.solve(Eigen::VectorXd::Ones(p.n));
    x.trophicLevel = toVector(TL);
    for (int i = 0; i < p.living; ++i) {
        double oi = 0.0;
        for (int j = 0; j < p.n; ++j) {
            const double d = TL(j) - (TL(i) - 1.0);
            oi += d * d * diet(i, j);
        }
        x.omnivory[static_cast<std::size_t>(i)] = oi;
    }
}

}  // namespace

NetIndices netIndices(const PeerNetwork& p, double H, double AMI, double TSTp) {
    NetIndices x;
    const double n = p.n;
    x.Lint = static_cast<int>((p.F.array() > 0.0).count());
    x.Ltot = x.Lint + positives(p.z) + positives(p.e) + positives(p.r);
    x.linkDensity = quotient(x.Ltot, n);
    x.connectance = quotient(x.Lint, n * (n - 1.0));
    x.averageLinkWeight = quotient(TSTp, x.Ltot);
    x.averageThroughflow = quotient(p.T.sum(), n);
    x.effectiveFlows = std::exp2(H);
    x.effectiveRoles = std::exp2(AMI);
    x.effectiveConnectivity = std::exp2((H - AMI) / 2.0);
    x.effectiveNodes = std::exp2((H + AMI) / 2.0);
    trophic(p, x);
    return x;
}

}  // namespace flownet
