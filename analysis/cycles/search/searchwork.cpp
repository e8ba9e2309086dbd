#include "searchwork.hpp"

namespace flownet {

void lastWeakArc(ConstMatView T, FoundCycle& c) {
    c.weakFlow = kNoFlow;
    for (int k = 0; k < c.L; ++k) {
        float flow = T(c.nodes[k], c.nodes[k + 1]);
        if (flow <= c.weakFlow) {
            c.weakFlow = flow;
            c.weakArc = k;
        }
    }
}

}  // namespace flownet
