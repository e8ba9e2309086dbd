#include "centrality.hpp"

#include <cmath>

namespace flownet {

namespace {

std::vector<double> normalised(const Eigen::VectorXd& v) {
    return toVector(v / v.sum());
}

std::vector<double> average(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> m(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) m[i] = (a[i] + b[i]) / 2.0;
    return m;
}

// The moduli of the eigenvector of A for its dominant eigenvalue, normalised; NaN when that
// eigenvalue is not positive. Entries within rounding of 0 are 0.
std::vector<double> dominantVector(const Eigen::MatrixXd& A) {
    const Eigen::EigenSolver<Eigen::MatrixXd> solver(A);
    const Eigen::VectorXcd values = solver.eigenvalues();
    Eigen::Index best = 0;
    for (Eigen::Index k = 1; k < values.size(); ++k) {
        if (values(k).real() > values(best).real()) best = k;
    }
    if (!(values(best).real() > 1e-12))
        return std::vector<double>(static_cast<std::size_t>(A.rows()), kNaN);
    Eigen::VectorXd v = solver.eigenvectors().col(best).cwiseAbs();
    const double rounding = 1e-12 * v.maxCoeff();  // an entry 0 in exact arithmetic stays 0
    for (double& x : v) x = x > rounding ? x : 0.0;
    return normalised(v);
}

}  // namespace

Centralities centralities(const PeerNetwork& p) {
    Centralities c;
    if (p.N.size() > 0) {
        c.environIn = normalised(p.N.rowwise().sum());
        c.environOut = normalised(p.N.colwise().sum().transpose());
    } else {
        c.environIn = c.environOut = std::vector<double>(static_cast<std::size_t>(p.n), kNaN);
    }
    c.environAverage = average(c.environIn, c.environOut);
    c.eigenvectorIn = dominantVector(p.G);
    c.eigenvectorOut = dominantVector(p.G.transpose());
    c.eigenvectorAverage = average(c.eigenvectorIn, c.eigenvectorOut);
    return c;
}

}  // namespace flownet
