// Companion indices: the quantities the other network-analysis tools of the field print, in their
// standard definitions, computed in double precision from the network as read. They change
// nothing in the report.
//
// Flows t(i, j) from i to j (i, j = 1..n); inputs z(i), exports e(i), respirations r(i), standing
// stocks x(i). The throughflow of a compartment is what enters it, T(i) = z(i) + sum_j t(j, i)
// (in steady state also what leaves it).
//
// Throughflow and cycling (Finn 1976, 1980):
//   TST = sum_i T(i); TSTp = sum of every flow, the boundary flows included; APL = TST / sum_i
//   z(i). N = (I - G)^-1 with G(i, j) = t(i, j) / T(i); TSTc = sum_i ((N(i, i) - 1) / N(i, i))
//   T(i); FCI = TSTc / TST, FCIb = TSTc / TSTp.
// Information (Ulanowicz 1986, 2004), in bits, over the flows of the network extended by the
// outside world (imports as a source, exports and respirations as two sinks), with R(s) and C(d)
// the row and column sums of the extended flows and p = t / TSTp:
//   H = -sum p log2 p; AMI = sum p log2(t TSTp / (R(s) C(d))); C = TSTp H; A = TSTp AMI;
//   overhead C - A; robustness -(A/C) ln(A/C) (Ulanowicz, Goerner, Lietaer and Gomez 2009).
// Environ analysis (Patten; Fath and Patten 1999; Fath and Borrett 2006), in two orientations:
//   output: G(i, j) = t(i, j) / T(i), the share of i's throughflow that passes directly to j;
//   input:  G(i, j) = t(i, j) / T(j), the share of j's throughflow that came directly from i;
//   the integral flow matrix N = (I - G)^-1 = I + G + G^2 + ...; the ratio of indirect to direct
//   flow sum(N - I - G) / sum(G); network homogenisation CV(G) / CV(N) (coefficients of variation
//   over all n^2 entries); network amplification, the entries N(i, j) > 1 with i != j (beyond
//   rounding).
// Mixed trophic impact (Ulanowicz and Puccia 1990): the diet fraction g(i, j) = t(i, j) /
// sum_k t(k, j), the share of j's intake from compartments that comes from i, and the predation
// fraction f(i, j) = t(i, j) / sum_k t(i, k), the share of i's output to compartments that goes to
// j; the direct net impact of i on j, Q(i, j) = g(i, j) - f(j, i); the total impact
// M = (I - Q)^-1 - I = Q + Q^2 + ... .
// Utility analysis (Patten 1991; Fath and Patten 1998): the direct utility of j to i,
// D(i, j) = (t(j, i) - t(i, j)) / T(i); the integral utility U = (I - D)^-1; network mutualism, the
// positive entries of U over the negative ones; network synergism, the sum of the positive entries
// over the magnitude of the sum of the negative ones.
// Storage: residence time x(i) / T(i) and turnover rate T(i) / x(i), none where x(i) or T(i) is 0;
// total system storage sum_i x(i).
//
// A ratio without a divisor (no negative entry, a zero mean, ...) is NaN; a matrix whose inversion
// meets a zero pivot is marked singular and its indices are NaN.
//
// The indices are computed into storage the caller keeps: analysed again, a network of the same
// size reuses every matrix and list of the previous one.
#pragma once

#include <vector>

#include "matview.hpp"

namespace flownet {

// A square matrix of doubles, column-major and 1-based through its view.
struct SquareMatrix {
    int n = 0;
    std::vector<double> a;

    explicit SquareMatrix(int order = 0) : n(order), a(static_cast<std::size_t>(order * order)) {}
    // Of the given order, its storage kept when it has room (the entries are then left as they
    // were).
    void resize(int order) {
        n = order;
        a.resize(static_cast<std::size_t>(order * order));
    }
    BasicMatView<double> view() { return {a.data(), n, n}; }
    BasicMatView<const double> view() const { return {a.data(), n, n}; }
    double& operator()(int i, int j) { return view()(i, j); }
    double operator()(int i, int j) const { return view()(i, j); }
};

// One orientation of the environ analysis.
struct Environ {
    SquareMatrix direct, integral;  // G and N
    bool singular = false;
    double indirectToDirect = 0.0, homogenisation = 0.0;
    int amplification = 0;
};

struct CompanionIndices {
    std::vector<double> throughflow;  // T(1..n) at [i - 1]
    double TST = 0.0, TSTp = 0.0, boundaryInput = 0.0, APL = 0.0;
    double TSTc = 0.0, FCI = 0.0, FCIb = 0.0;
    double H = 0.0, AMI = 0.0, A = 0.0, C = 0.0, overhead = 0.0, AC = 0.0, robustness = 0.0;
    Environ output, input;
    SquareMatrix directImpact, totalImpact;  // Q and M
    bool impactSingular = false;
    SquareMatrix directUtility, integralUtility;  // D and U
    bool utilitySingular = false;
    double mutualism = 0.0, synergism = 0.0;
    std::vector<double> residenceTime, turnoverRate;  // NaN where undefined
    double totalStorage = 0.0;
    std::vector<double> work;  // scratch of the computation, kept for the next network
};

// The matrices formed besides the indices: every one of CompanionIndices (the results of a
// network), or only those the indices read (the samples of an uncertainty analysis: the direct
// impact and utility matrices are then not formed, their entries going straight into the
// matrices inverted, and are left empty).
enum class CompanionMatrices { every, needed };

void companionIndices(CompanionIndices& c, int n, ConstVecView stocks, ConstVecView IN,
                      ConstVecView EX, ConstVecView RE, ConstMatView flows,
                      CompanionMatrices formed = CompanionMatrices::every);

// Inverts A in place by Gauss-Jordan elimination with partial pivoting; false, A undefined, when
// a pivot is zero.
bool invertInPlace(SquareMatrix& A);

}  // namespace flownet
