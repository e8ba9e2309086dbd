// Shannon diversity (natural logarithms) of the throughflows T and of the standing stocks x:
// with p(i) = v(i) / sum v, H = -sum p ln p (terms with p = 0 are 0), Hmax = ln n, Hr = H / Hmax,
// Hcentral = 1 - Hr, and the effective number of compartments e^H (MacArthur 1955; Ulanowicz
// 2004). NaN when v sums to 0 (the stock diversity of a network without stocks).
#pragma once

#include "peernetwork.hpp"

namespace flownet {

struct Diversity {
    double H = kNaN, Hmax = kNaN, Hr = kNaN, Hcentral = kNaN, effectiveN = kNaN;
};

Diversity shannonDiversity(const Eigen::VectorXd& v);

}  // namespace flownet
