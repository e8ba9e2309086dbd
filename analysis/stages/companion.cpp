#include "companion.hpp"

#include <cmath>
#include <limits>

namespace flownet {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// a / b, NaN without a divisor.
double ratio(double a, double b) {
    return b != 0.0 ? a / b : kNaN;
}

// (I - A)^-1 into B, A's entries given by direct(i, j); false when I - A is singular.
template <class Entry>
bool integralOf(int n, Entry direct, SquareMatrix& B) {
    B.resize(n);
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) B(i, j) = (i == j ? 1.0 : 0.0) - direct(i, j);
    }
    return invertInPlace(B);
}

// The coefficient of variation over all entries: the population standard deviation over the mean.
double variation(const SquareMatrix& A) {
    double sum = 0.0;
    for (double x : A.a) sum += x;
    const double mean = sum / static_cast<double>(A.a.size());
    double squares = 0.0;
    for (double x : A.a) squares += (x - mean) * (x - mean);
    return ratio(std::sqrt(squares / static_cast<double>(A.a.size())), mean);
}

// The input orientation's G' = diag(T) G diag(T)^-1 is similar to the output one's G, so
// N' = diag(T) N diag(T)^-1 where every throughflow is positive; true when derived so from the
// output orientation's N.
bool similarIntegral(Environ& e, int n, const std::vector<double>& T, const Environ& output) {
    if (output.singular) return false;
    for (double x : T) {
        if (!(x > 0.0)) return false;
    }
    e.integral.resize(n);
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            e.integral(i, j) = T[static_cast<std::size_t>(i - 1)] * output.integral(i, j) /
                               T[static_cast<std::size_t>(j - 1)];
        }
    }
    return true;
}

// One orientation; the input one given the output one, which saves an inversion.
void environ(Environ& e, int n, ConstMatView t, const std::vector<double>& T,
             const Environ* output) {
    e.direct.resize(n);
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            e.direct(i, j) = ratio(t(i, j), T[static_cast<std::size_t>((output == nullptr ? i : j) - 1)]);
            if (std::isnan(e.direct(i, j))) e.direct(i, j) = 0.0;  // a compartment without flow
        }
    }
    const SquareMatrix& G = e.direct;
    e.singular = !(output != nullptr && similarIntegral(e, n, T, *output)) &&
                 !integralOf(n, [&](int i, int j) { return G(i, j); }, e.integral);
    e.amplification = 0;
    if (e.singular) {
        e.indirectToDirect = e.homogenisation = kNaN;
        return;
    }
    double direct = 0.0, indirect = 0.0;
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            direct += e.direct(i, j);
            indirect += e.integral(i, j) - (i == j ? 1.0 : 0.0) - e.direct(i, j);
            // Beyond rounding: an entry 1 in exact arithmetic does not amplify.
            if (i != j && e.integral(i, j) > 1.0 + 1e-10) ++e.amplification;
        }
    }
    e.indirectToDirect = ratio(indirect, direct);
    e.homogenisation = ratio(variation(e.direct), variation(e.integral));
}

void mixedTrophicImpact(CompanionIndices& c, int n, ConstMatView t, bool form) {
    c.work.assign(2 * static_cast<std::size_t>(n), 0.0);
    double* const intake = c.work.data();
    double* const output = intake + n;
    for (int i = 1; i <= n; ++i) {
        for (int k = 1; k <= n; ++k) {
            intake[i - 1] += t(k, i);
            output[i - 1] += t(i, k);
        }
    }
    const auto Q = [&](int i, int j) {
        const double diet = intake[j - 1] > 0.0 ? t(i, j) / intake[j - 1] : 0.0;
        const double predation = output[j - 1] > 0.0 ? t(j, i) / output[j - 1] : 0.0;
        return diet - predation;
    };
    c.directImpact.resize(form ? n : 0);
    if (form) {
        for (int j = 1; j <= n; ++j) {
            for (int i = 1; i <= n; ++i) c.directImpact(i, j) = Q(i, j);
        }
    }
    c.impactSingular = !integralOf(n, Q, c.totalImpact);
    if (!c.impactSingular) {
        for (int i = 1; i <= n; ++i) c.totalImpact(i, i) -= 1.0;
    }
}

void utility(CompanionIndices& c, int n, ConstMatView t, bool form) {
    const auto D = [&](int i, int j) {
        const double d = ratio(t(j, i) - t(i, j), c.throughflow[static_cast<std::size_t>(i - 1)]);
        return std::isnan(d) ? 0.0 : d;
    };
    c.directUtility.resize(form ? n : 0);
    if (form) {
        for (int j = 1; j <= n; ++j) {
            for (int i = 1; i <= n; ++i) c.directUtility(i, j) = D(i, j);
        }
    }
    c.utilitySingular = !integralOf(n, D, c.integralUtility);
    if (c.utilitySingular) {
        c.mutualism = c.synergism = kNaN;
        return;
    }
    int positive = 0, negative = 0;
    double gains = 0.0, losses = 0.0;
    for (double u : c.integralUtility.a) {
        if (u > 0.0) {
            ++positive;
            gains += u;
        } else if (u < 0.0) {
            ++negative;
            losses += u;
        }
    }
    c.mutualism = ratio(positive, negative);
    c.synergism = ratio(gains, -losses);
}

// The information indices over the extended flows: sources 1..n and the imports (n + 1), sinks
// 1..n, the exports (n + 1) and the respirations (n + 2).
void information(CompanionIndices& c, int n, ConstVecView IN, ConstVecView EX, ConstVecView RE,
                 ConstMatView t) {
    c.work.assign(2 * static_cast<std::size_t>(n) + 3, 0.0);
    double* const R = c.work.data();  // n + 1 row sums
    double* const C = R + n + 1;      // n + 2 column sums
    const auto flow = [&](int s, int d) -> double {
        if (s == n + 1) return d <= n ? IN(d) : 0.0;
        if (d == n + 1) return EX(s);
        if (d == n + 2) return RE(s);
        return t(s, d);
    };
    for (int s = 1; s <= n + 1; ++s) {
        for (int d = 1; d <= n + 2; ++d) {
            R[s - 1] += flow(s, d);
            C[d - 1] += flow(s, d);
        }
    }
    double H = 0.0, AMI = 0.0;
    for (int s = 1; s <= n + 1; ++s) {
        for (int d = 1; d <= n + 2; ++d) {
            const double f = flow(s, d);
            if (f <= 0.0) continue;
            const double p = f / c.TSTp;
            H -= p * std::log2(p);
            AMI += p * std::log2(f * c.TSTp / (R[s - 1] * C[d - 1]));
        }
    }
    c.H = H;
    c.AMI = AMI;
    c.C = c.TSTp * H;
    c.A = c.TSTp * AMI;
    c.overhead = c.C - c.A;
    c.AC = ratio(c.A, c.C);
    c.robustness = -c.AC * std::log(c.AC);
}

}  // namespace

void companionIndices(CompanionIndices& c, int n, ConstVecView stocks, ConstVecView IN,
                      ConstVecView EX, ConstVecView RE, ConstMatView flows,
                      CompanionMatrices formed) {
    const bool every = formed == CompanionMatrices::every;
    c.throughflow.assign(static_cast<std::size_t>(n), 0.0);
    c.TST = c.TSTp = c.boundaryInput = 0.0;
    for (int i = 1; i <= n; ++i) {
        double T = IN(i);
        for (int j = 1; j <= n; ++j) T += flows(j, i);
        c.throughflow[static_cast<std::size_t>(i - 1)] = T;
        c.TST += T;
        c.boundaryInput += IN(i);
        c.TSTp += static_cast<double>(IN(i)) + EX(i) + RE(i);
        for (int j = 1; j <= n; ++j) c.TSTp += flows(i, j);
    }
    c.APL = ratio(c.TST, c.boundaryInput);

    environ(c.output, n, flows, c.throughflow, nullptr);
    environ(c.input, n, flows, c.throughflow, &c.output);
    c.TSTc = 0.0;
    if (c.output.singular) {
        c.TSTc = c.FCI = c.FCIb = kNaN;
    } else {
        for (int i = 1; i <= n; ++i) {
            const double nii = c.output.integral(i, i);
            c.TSTc += (nii - 1.0) / nii * c.throughflow[static_cast<std::size_t>(i - 1)];
        }
        c.FCI = ratio(c.TSTc, c.TST);
        c.FCIb = ratio(c.TSTc, c.TSTp);
    }

    information(c, n, IN, EX, RE, flows);
    mixedTrophicImpact(c, n, flows, every);
    utility(c, n, flows, every);

    c.totalStorage = 0.0;
    c.residenceTime.clear();
    c.turnoverRate.clear();
    for (int i = 1; i <= n; ++i) {
        const double x = stocks(i), T = c.throughflow[static_cast<std::size_t>(i - 1)];
        c.totalStorage += x;
        c.residenceTime.push_back(x > 0.0 && T > 0.0 ? x / T : kNaN);
        c.turnoverRate.push_back(x > 0.0 && T > 0.0 ? T / x : kNaN);
    }
}

}  // namespace flownet
