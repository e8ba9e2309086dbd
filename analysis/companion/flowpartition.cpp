#include "flowpartition.hpp"

namespace flownet {

namespace {

void partition(const PeerNetwork& p, FlowPartition& f) {
    const Eigen::MatrixXd I = Eigen::MatrixXd::Identity(p.n, p.n);
    f.boundary = p.z.sum();
    f.direct = (p.z.transpose() * p.G).sum();
    f.indirect = (p.z.transpose() * (p.N - I - p.G)).sum();
    f.BFI = quotient(f.boundary, f.TST);
    f.DFI = quotient(f.direct, f.TST);
    f.IFI = quotient(f.indirect, f.TST);
    f.indirectToDirect = quotient(f.indirect, f.direct);
}

void modes(const PeerNetwork& p, FlowPartition& f) {
    double cycled = 0.0;
    for (int i = 0; i < p.n; ++i) cycled += (1.0 - 1.0 / p.N(i, i)) * p.T(i);
    f.modes[0] = p.z.sum();
    f.modes[2] = cycled;
    f.modes[1] = f.TST - f.modes[0] - cycled;
    f.modes[4] = p.y.sum();
    f.modes[3] = f.TST - f.modes[4] - cycled;
}

std::vector<double> timesEach(const Eigen::VectorXd& a, const Eigen::VectorXd& b) {
    std::vector<double> v(static_cast<std::size_t>(a.size()));
    for (Eigen::Index i = 0; i < a.size(); ++i) v[static_cast<std::size_t>(i)] = a(i) * b(i);
    return v;
}

}  // namespace

FlowPartition flowPartition(const PeerNetwork& p) {
    FlowPartition f;
    const std::vector<double> none(static_cast<std::size_t>(p.n), kNaN);
    f.tetUnitOutput = f.tetRealizedOutput = f.tetUnitInput = f.tetRealizedInput = none;
    f.TST = p.T.sum();
    if (p.N.size() > 0) {
        partition(p, f);
        modes(p, f);
        const Eigen::VectorXd out = p.N.rowwise().sum();
        f.tetUnitOutput = toVector(out);
        f.tetRealizedOutput = timesEach(p.z, out);
    }
    if (p.Nin.size() > 0) {
        const Eigen::VectorXd in = p.Nin.colwise().sum().transpose();
        f.tetUnitInput = toVector(in);
        f.tetRealizedInput = timesEach(p.y, in);
    }
    return f;
}

}  // namespace flownet
