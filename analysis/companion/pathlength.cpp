#include "pathlength.hpp"

namespace flownet {

PathLengths pathLengths(const PeerNetwork& p) {
    PathLengths l;
    const double TST = p.T.sum();
    if (!(TST > 0.0)) return l;
    Eigen::RowVectorXd flow = p.z.transpose();
    double cumulative = 0.0, direct = 0.0, indirect = 0.0;
    const auto reach = [&](int& step, double share, int m) {
        if (step < 0 && cumulative >= share * TST) step = m;
    };
    for (int m = 0; m <= kPathSteps && (l.ninetyFivePercent < 0 || l.indirectExceedsDirect < 0);
         ++m) {
        const double f = flow.sum();
        cumulative += f;
        if (m == 1) direct = f;
        if (m >= 2) indirect += f;
        if (m >= 2 && l.indirectExceedsDirect < 0 && indirect > direct) l.indirectExceedsDirect = m;
        reach(l.half, 0.5, m);
        reach(l.eightyPercent, 0.8, m);
        reach(l.ninetyFivePercent, 0.95, m);
        flow = flow * p.G;
    }
    return l;
}

}  // namespace flownet
