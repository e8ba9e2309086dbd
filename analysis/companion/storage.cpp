#include "storage.hpp"

#include <algorithm>
#include <cmath>

namespace flownet {

namespace {

// C with off-diagonal F(i, j) / x(i) (by rows) or F(i, j) / x(j) (by columns), diagonal -T / x.
Eigen::MatrixXd rates(const PeerNetwork& p, bool rows) {
    Eigen::MatrixXd C(p.n, p.n);
    for (int j = 0; j < p.n; ++j) {
        for (int i = 0; i < p.n; ++i) {
            C(i, j) = i == j ? -p.T(i) / p.x(i) : p.F(i, j) / p.x(rows ? i : j);
        }
    }
    return C;
}

double unitRatio(const Eigen::MatrixXd& P, const Eigen::MatrixXd& Q) {
    const Eigen::MatrixXd I = Eigen::MatrixXd::Identity(P.rows(), P.cols());
    return quotient((Q - I - P).sum(), P.sum());
}

void partition(const PeerNetwork& p, StorageAnalysis& s) {
    const Eigen::MatrixXd I = Eigen::MatrixXd::Identity(p.n, p.n);
    const Eigen::VectorXd input = p.z * s.dt;
    s.boundary = input.sum();
    s.direct = (input.transpose() * s.P).sum();
    s.indirect = (input.transpose() * (s.Q - I - s.P)).sum();
    s.BSI = quotient(s.boundary, s.TSS);
    s.DSI = quotient(s.direct, s.TSS);
    s.ISI = quotient(s.indirect, s.TSS);
    s.indirectToDirect = quotient(s.indirect, s.direct);
    s.indirectToDirectOutput = unitRatio(s.P, s.Q);
    s.indirectToDirectInput = unitRatio(s.Pin, s.Qin);
    s.homogenisationOutput = quotient(variationOf(s.P), variationOf(s.Q));
    s.homogenisationInput = quotient(variationOf(s.Pin), variationOf(s.Qin));
    s.amplificationOutput = amplificationOf(s.Q);
    s.amplificationInput = amplificationOf(s.Qin);
}

void modes(const PeerNetwork& p, StorageAnalysis& s) {
    double cycled = 0.0;
    for (int i = 0; i < p.n; ++i) cycled += (1.0 - 1.0 / s.Q(i, i)) * p.x(i);
    s.CIS = quotient(cycled, s.TSS);
    s.modes[0] = s.boundary;
    s.modes[2] = cycled;
    s.modes[1] = s.TSS - s.modes[0] - cycled;
    s.modes[4] = p.y.sum() * s.dt;
    s.modes[3] = s.TSS - s.modes[4] - cycled;
}

}  // namespace

StorageAnalysis storageAnalysis(const PeerNetwork& p) {
    StorageAnalysis s;
    if (p.n == 0 || !(p.x.minCoeff() > 0.0)) return s;
    s.TSS = p.x.sum();
    const double steps = std::max(1.0, std::ceil((p.T.array() / p.x.array()).maxCoeff()));
    s.dt = 1.0 / steps;
    const Eigen::MatrixXd I = Eigen::MatrixXd::Identity(p.n, p.n);
    s.C = rates(p, true);
    s.Cin = rates(p, false);
    s.P = I + s.C * s.dt;
    s.Pin = I + s.Cin * s.dt;
    s.Q = integralMatrix(s.P);
    s.Qin = integralMatrix(s.Pin);
    s.defined = s.Q.size() > 0 && s.Qin.size() > 0;
    if (!s.defined) return s;
    s.S = s.Q * s.dt;
    s.Sin = s.Qin * s.dt;
    partition(p, s);
    modes(p, s);
    s.tesUnitOutput = toVector(s.S.rowwise().sum());
    s.tesRealizedInput = toVector(s.Sin * p.y);
    for (int i = 0; i < p.n; ++i) s.residenceTime.push_back(quotient(p.x(i), p.y(i)));
    return s;
}

}  // namespace flownet
