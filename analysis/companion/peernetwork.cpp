#include "peernetwork.hpp"

#include <cmath>

namespace flownet {

namespace {

// A(i, j) / d(i) (rows) or A(i, j) / d(j) (columns), 0 where the divisor is 0.
Eigen::MatrixXd scaled(const Eigen::MatrixXd& A, const Eigen::VectorXd& d, bool rows) {
    Eigen::MatrixXd S = Eigen::MatrixXd::Zero(A.rows(), A.cols());
    for (Eigen::Index j = 0; j < A.cols(); ++j) {
        for (Eigen::Index i = 0; i < A.rows(); ++i) {
            const double div = rows ? d(i) : d(j);
            if (div != 0.0) S(i, j) = A(i, j) / div;
        }
    }
    return S;
}

}  // namespace

PeerNetwork peerNetwork(int n, int living, ConstVecView stocks, ConstVecView IN, ConstVecView EX,
                        ConstVecView RE, ConstMatView flows) {
    PeerNetwork p;
    p.n = n;
    p.living = living;
    p.F.resize(n, n);
    p.z.resize(n);
    p.e.resize(n);
    p.r.resize(n);
    p.x.resize(n);
    for (int i = 1; i <= n; ++i) {
        p.z(i - 1) = IN(i);
        p.e(i - 1) = EX(i);
        p.r(i - 1) = RE(i);
        p.x(i - 1) = stocks(i);
        for (int j = 1; j <= n; ++j) p.F(i - 1, j - 1) = flows(i, j);
    }
    p.y = p.e + p.r;
    p.T = p.z + p.F.colwise().sum().transpose();
    p.G = scaled(p.F, p.T, true);
    p.Gin = scaled(p.F, p.T, false);
    p.N = integralMatrix(p.G);
    p.Nin = integralMatrix(p.Gin);
    return p;
}

Eigen::MatrixXd integralMatrix(const Eigen::MatrixXd& A) {
    const Eigen::MatrixXd M = Eigen::MatrixXd::Identity(A.rows(), A.cols()) - A;
    const Eigen::FullPivLU<Eigen::MatrixXd> lu(M);
    if (!lu.isInvertible()) return {};
    return lu.inverse();
}

Eigen::VectorXcd eigenvaluesOf(const Eigen::MatrixXd& A) {
    if (A.size() == 0) return {};
    return Eigen::EigenSolver<Eigen::MatrixXd>(A, false).eigenvalues();
}

double spectralRadius(const Eigen::MatrixXd& A) {
    const Eigen::VectorXcd v = eigenvaluesOf(A);
    return v.size() == 0 ? 0.0 : v.cwiseAbs().maxCoeff();
}

double variationOf(const Eigen::MatrixXd& A) {
    const double count = static_cast<double>(A.size());
    if (count < 2) return kNaN;
    const double mean = A.mean();
    const double squares = (A.array() - mean).square().sum();
    return quotient(std::sqrt(squares / (count - 1.0)), mean);
}

int amplificationOf(const Eigen::MatrixXd& A) {
    constexpr double kRounding = 1e-10;
    int count = 0;
    for (Eigen::Index j = 0; j < A.cols(); ++j) {
        for (Eigen::Index i = 0; i < A.rows(); ++i) {
            if (i != j && A(i, j) > 1.0 + kRounding) ++count;
        }
    }
    return count;
}

int signOf(double a, double zero) {
    return a > zero ? 1 : a < -zero ? -1 : 0;
}

}  // namespace flownet
