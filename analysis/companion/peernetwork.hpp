// The network as the analyses of the other tools of the field read it, in double precision, and
// the linear algebra they share (Eigen).
//
// Flows F(i, j) from i to j (0-based here, compartment i + 1); inputs z, exports e, respirations
// r, outputs y = e + r, standing stocks x; throughflow T(j) = z(j) + sum_i F(i, j), what enters
// a compartment (in steady state also what leaves it). Living compartments are 0..living - 1.
#pragma once

#include <Eigen/Dense>
#include <limits>
#include <vector>

#include "matview.hpp"

namespace flownet {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// a / b, NaN without a divisor.
inline double quotient(double a, double b) {
    return b != 0.0 ? a / b : kNaN;
}

struct PeerNetwork {
    int n = 0, living = 0;
    Eigen::MatrixXd F;
    Eigen::VectorXd z, e, r, y, x, T;
    Eigen::MatrixXd G, Gin;  // F(i, j) / T(i) and F(i, j) / T(j); 0 where T is 0
    Eigen::MatrixXd N, Nin;  // (I - G)^-1 and (I - Gin)^-1; empty when singular
};

PeerNetwork peerNetwork(int n, int living, ConstVecView stocks, ConstVecView IN, ConstVecView EX,
                        ConstVecView RE, ConstMatView flows);

// (I - A)^-1, or an empty matrix when I - A is singular (to the rounding of its LU factors).
Eigen::MatrixXd integralMatrix(const Eigen::MatrixXd& A);

// The eigenvalues of A, and their largest modulus (0 for an empty matrix).
Eigen::VectorXcd eigenvaluesOf(const Eigen::MatrixXd& A);
double spectralRadius(const Eigen::MatrixXd& A);

// The coefficient of variation over all entries (sample standard deviation over the mean).
double variationOf(const Eigen::MatrixXd& A);

// The off-diagonal entries of A greater than 1 beyond rounding (entries 1 in exact arithmetic do
// not count).
int amplificationOf(const Eigen::MatrixXd& A);

// The entries of v, [i] for compartment i + 1.
inline std::vector<double> toVector(const Eigen::VectorXd& v) {
    return {v.data(), v.data() + v.size()};
}

// The sign of a, 0 within `zero` of 0.
int signOf(double a, double zero);

}  // namespace flownet
