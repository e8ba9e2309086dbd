#include "polytope.hpp"

#include <glpk.h>

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

namespace flownet {

namespace {

constexpr double kPinned = 1e-9;     // a range narrower than this (scaled) pins its unknown
constexpr double kBalanced = 1e-7;   // the least imbalance (scaled) that still counts as none

// The signs of unknown u in the balances: the compartment it enters and the one it leaves.
int entersAt(const Unknown& u) {
    return u.kind == FlowKind::input || u.kind == FlowKind::flow ? u.to : 0;
}
int leavesAt(const Unknown& u) {
    return u.kind == FlowKind::input ? 0 : u.from;
}

// The linear programs over the scaled unknowns: columns 1..m the unknowns, m+1..m+2n the
// imbalances of each balance (positive and negative parts), rows the n balances.
class BalanceProgram {
public:
    BalanceProgram(int n, const std::vector<Unknown>& u, double scale) : n_(n), m_(static_cast<int>(u.size())) {
        glp_term_out(GLP_OFF);
        lp_ = glp_create_prob();
        glp_init_smcp(&parm_);
        parm_.msg_lev = GLP_MSG_OFF;
        if (n_ > 0) glp_add_rows(lp_, n_);
        glp_add_cols(lp_, m_ + 2 * n_);
        for (int i = 1; i <= n_; ++i) glp_set_row_bnds(lp_, i, GLP_FX, 0.0, 0.0);
        std::vector<int> ia{0}, ja{0};
        std::vector<double> ar{0.0};
        const auto put = [&](int i, int k, double a) {
            ia.push_back(i);
            ja.push_back(k);
            ar.push_back(a);
        };
        for (int k = 1; k <= m_; ++k) {
            const Unknown& x = u[static_cast<std::size_t>(k - 1)];
            const double lo = x.low / scale, hi = x.high / scale;
            glp_set_col_bnds(lp_, k, lo < hi ? GLP_DB : GLP_FX, lo, hi);
            if (entersAt(x) != leavesAt(x)) {
                if (entersAt(x) > 0) put(entersAt(x), k, 1.0);
                if (leavesAt(x) > 0) put(leavesAt(x), k, -1.0);
            }
        }
        for (int i = 1; i <= n_; ++i) {
            put(i, m_ + 2 * i - 1, 1.0);
            put(i, m_ + 2 * i, -1.0);
        }
        glp_load_matrix(lp_, static_cast<int>(ia.size()) - 1, ia.data(), ja.data(), ar.data());
    }
    ~BalanceProgram() { glp_delete_prob(lp_); }
    BalanceProgram(const BalanceProgram&) = delete;
    BalanceProgram& operator=(const BalanceProgram&) = delete;

    // Phase 1: the least total imbalance; true when it is none.
    bool balance(std::vector<int>& unbalanced, double& imbalance) {
        for (int k = 1; k <= m_ + 2 * n_; ++k) {
            glp_set_obj_coef(lp_, k, k > m_ ? 1.0 : 0.0);
            if (k > m_) glp_set_col_bnds(lp_, k, GLP_LO, 0.0, 0.0);
        }
        glp_set_obj_dir(lp_, GLP_MIN);
        solve();
        imbalance = glp_get_obj_val(lp_);
        for (int i = 1; i <= n_; ++i) {
            if (glp_get_col_prim(lp_, m_ + 2 * i - 1) + glp_get_col_prim(lp_, m_ + 2 * i) >
                kBalanced / n_) {
                unbalanced.push_back(i);
            }
        }
        if (imbalance > kBalanced) return false;
        for (int k = m_ + 1; k <= m_ + 2 * n_; ++k) {
            glp_set_obj_coef(lp_, k, 0.0);
            glp_set_col_bnds(lp_, k, GLP_FX, 0.0, 0.0);
        }
        return true;
    }

    // The point that takes unknown k (1..m) to its least or its greatest value.
    std::vector<double> extreme(int k, bool greatest) {
        glp_set_obj_coef(lp_, k, 1.0);
        glp_set_obj_dir(lp_, greatest ? GLP_MAX : GLP_MIN);
        solve();
        glp_set_obj_coef(lp_, k, 0.0);
        return point();
    }

    std::vector<double> point() const {
        std::vector<double> x(static_cast<std::size_t>(m_));
        for (int k = 1; k <= m_; ++k) x[static_cast<std::size_t>(k - 1)] = glp_get_col_prim(lp_, k);
        return x;
    }

private:
    void solve() {
        if (glp_simplex(lp_, &parm_) != 0 || glp_get_status(lp_) != GLP_OPT) {
            parm_.presolve = GLP_ON;  // a fresh start from the solver's own basis
            glp_adv_basis(lp_, 0);
            glp_simplex(lp_, &parm_);
            parm_.presolve = GLP_OFF;
        }
    }

    int n_, m_;
    glp_prob* lp_;
    glp_smcp parm_{};
};

// Finds the hidden equalities and the points inside every other range; pins the former.
std::vector<std::vector<double>> probeRanges(BalanceProgram& lp, std::vector<double>& lo,
                                             std::vector<double>& hi, std::vector<bool>& pinned) {
    std::vector<std::vector<double>> points{lp.point()};
    const std::size_t m = lo.size();
    const auto inside = [&](std::size_t k, bool above) {
        return std::any_of(points.begin(), points.end(), [&](const std::vector<double>& x) {
            return above ? x[k] > lo[k] + kPinned : x[k] < hi[k] - kPinned;
        });
    };
    for (std::size_t k = 0; k < m; ++k) {
        if (hi[k] - lo[k] <= kPinned) {
            pinned[k] = true;
            continue;
        }
        for (const bool above : {true, false}) {
            if (pinned[k] || inside(k, above)) continue;
            points.push_back(lp.extreme(static_cast<int>(k) + 1, above));
            if (inside(k, above)) continue;
            // No steady state leaves this bound: it holds as an equality.
            pinned[k] = true;
            lo[k] = hi[k] = above ? lo[k] : hi[k];
        }
    }
    return points;
}

}  // namespace

double balanceOf(const std::vector<Unknown>& unknowns, const std::vector<double>& x, int i) {
    double b = 0.0;
    for (std::size_t k = 0; k < unknowns.size(); ++k) {
        if (entersAt(unknowns[k]) == i) b += x[k];
        if (leavesAt(unknowns[k]) == i) b -= x[k];
    }
    return b;
}

Polytope buildPolytope(int n, std::vector<Unknown> unknowns) {
    Polytope p;
    p.n = n;
    p.unknowns = std::move(unknowns);
    const std::size_t m = p.unknowns.size();
    double scale = 0.0;
    for (const Unknown& u : p.unknowns) scale = std::max(scale, u.high);
    if (scale <= 0.0) scale = 1.0;

    // Feasibility, then the hidden equalities, in scaled units.
    BalanceProgram lp(n, p.unknowns, scale);
    if (!lp.balance(p.unbalanced, p.imbalance)) {
        p.feasible = false;
        p.imbalance *= scale;
        return p;
    }
    std::vector<double> lo(m), hi(m);
    for (std::size_t k = 0; k < m; ++k) {
        lo[k] = p.unknowns[k].low / scale;
        hi[k] = p.unknowns[k].high / scale;
    }
    std::vector<bool> pinned(m, false);
    const std::vector<std::vector<double>> points = probeRanges(lp, lo, hi, pinned);

    // The start: the mean of the points, pinned unknowns at their values.
    Eigen::VectorXd x0 = Eigen::VectorXd::Zero(static_cast<Eigen::Index>(m));
    for (const auto& x : points) x0 += Eigen::Map<const Eigen::VectorXd>(x.data(), static_cast<Eigen::Index>(m));
    x0 /= static_cast<double>(points.size());
    for (std::size_t k = 0; k < m; ++k) {
        if (pinned[k]) x0[static_cast<Eigen::Index>(k)] = lo[k];
        if (!pinned[k]) p.free.push_back(static_cast<int>(k));
    }

    // The balance matrix of the free unknowns; its null space; the start corrected onto it.
    const auto mf = static_cast<Eigen::Index>(p.free.size());
    Eigen::MatrixXd Ef = Eigen::MatrixXd::Zero(n, mf);
    Eigen::VectorXd residual = Eigen::VectorXd::Zero(n);
    for (std::size_t k = 0; k < m; ++k) {
        const Unknown& u = p.unknowns[k];
        if (entersAt(u) == leavesAt(u)) continue;
        if (entersAt(u) > 0) residual[entersAt(u) - 1] += x0[static_cast<Eigen::Index>(k)];
        if (leavesAt(u) > 0) residual[leavesAt(u) - 1] -= x0[static_cast<Eigen::Index>(k)];
    }
    for (Eigen::Index f = 0; f < mf; ++f) {
        const Unknown& u = p.unknowns[static_cast<std::size_t>(p.free[static_cast<std::size_t>(f)])];
        if (entersAt(u) == leavesAt(u)) continue;
        if (entersAt(u) > 0) Ef(entersAt(u) - 1, f) = 1.0;
        if (leavesAt(u) > 0) Ef(leavesAt(u) - 1, f) = -1.0;
    }
    // Each free unknown measured in its own range's width, x = W y, so that the walk sees a
    // polytope of about the same extent in every direction.
    Eigen::VectorXd width(mf);
    for (Eigen::Index f = 0; f < mf; ++f) {
        const auto k = static_cast<std::size_t>(p.free[static_cast<std::size_t>(f)]);
        width[f] = hi[k] - lo[k];
    }
    if (mf > 0) {
        const Eigen::VectorXd correction = Ef.completeOrthogonalDecomposition().solve(residual);
        for (Eigen::Index f = 0; f < mf; ++f) {
            const auto k = static_cast<std::size_t>(p.free[static_cast<std::size_t>(f)]);
            x0[static_cast<Eigen::Index>(k)] =
                std::clamp(x0[static_cast<Eigen::Index>(k)] - correction[f], lo[k], hi[k]);
        }
        const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr((Ef * width.asDiagonal()).transpose());
        const Eigen::MatrixXd Q = qr.householderQ();
        p.dimension = static_cast<int>(mf - qr.rank());
        const Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor> Z =
            scale * width.asDiagonal() * Q.rightCols(p.dimension);
        p.basis.assign(Z.data(), Z.data() + Z.size());
    }
    p.start.resize(m);
    for (std::size_t k = 0; k < m; ++k) {
        p.start[k] = std::clamp(x0[static_cast<Eigen::Index>(k)] * scale, p.unknowns[k].low,
                                p.unknowns[k].high);
    }
    return p;
}

}  // namespace flownet
