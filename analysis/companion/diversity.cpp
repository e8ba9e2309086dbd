#include "diversity.hpp"

#include <cmath>

namespace flownet {

Diversity shannonDiversity(const Eigen::VectorXd& v) {
    Diversity d;
    const double total = v.sum();
    if (!(total > 0.0)) return d;
    d.H = 0.0;
    for (Eigen::Index i = 0; i < v.size(); ++i) {
        const double p = v(i) / total;
        if (p > 0.0) d.H -= p * std::log(p);
    }
    d.Hmax = std::log(static_cast<double>(v.size()));
    d.Hr = quotient(d.H, d.Hmax);
    d.Hcentral = 1.0 - d.Hr;
    d.effectiveN = std::exp(d.H);
    return d;
}

}  // namespace flownet
