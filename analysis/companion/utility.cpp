#include "utility.hpp"

namespace flownet {

namespace {

// The share, in percent, of the pairs i <= j whose signs change from D to U.
double changedRelations(const Eigen::MatrixXd& D, const Eigen::MatrixXd& U, double zeroD,
                        double zeroU) {
    const Eigen::Index n = D.rows();
    int changed = 0, pairs = 0;
    for (Eigen::Index i = 0; i < n; ++i) {
        for (Eigen::Index j = i; j < n; ++j) {
            ++pairs;
            if (signOf(D(i, j), zeroD) != signOf(U(i, j), zeroU) ||
                signOf(D(j, i), zeroD) != signOf(U(j, i), zeroU))
                ++changed;
        }
    }
    return quotient(100.0 * changed, pairs);
}

}  // namespace

Utility utilityAnalysis(const Eigen::MatrixXd& F, const Eigen::VectorXd& w,
                        const Eigen::VectorXd& T) {
    Utility u;
    const Eigen::Index n = F.rows();
    u.direct = Eigen::MatrixXd::Zero(n, n);
    for (Eigen::Index j = 0; j < n; ++j) {
        for (Eigen::Index i = 0; i < n; ++i) {
            if (w(i) != 0.0) u.direct(i, j) = (F(j, i) - F(i, j)) / w(i);
        }
    }
    u.lambda1 = spectralRadius(u.direct);
    u.integral = integralMatrix(u.direct);
    u.defined = u.integral.size() > 0;
    if (!u.defined) return u;
    const double zeroD = 1e-12 * u.direct.cwiseAbs().maxCoeff();
    const double zeroU = 1e-12 * u.integral.cwiseAbs().maxCoeff();
    u.relationsChanged = changedRelations(u.direct, u.integral, zeroD, zeroU);
    int positive = 0, negative = 0;
    for (double x : u.integral.reshaped()) {
        positive += signOf(x, zeroU) > 0;
        negative += signOf(x, zeroU) < 0;
    }
    u.mutualism = quotient(positive, negative);
    const Eigen::MatrixXd Y = T.asDiagonal() * u.integral;
    const double zeroY = 1e-12 * Y.cwiseAbs().maxCoeff();
    double gains = 0.0, losses = 0.0;
    for (double x : Y.reshaped()) {
        if (signOf(x, zeroY) > 0) gains += x;
        if (signOf(x, zeroY) < 0) losses += x;
    }
    u.synergism = quotient(gains, -losses);
    return u;
}

}  // namespace flownet
