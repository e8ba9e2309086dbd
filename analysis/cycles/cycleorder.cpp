#include "cycleorder.hpp"

#include <cassert>

namespace flownet {

void computeCycleOrder(ConstMatView T, int n, CycleOrder& order) {
    assert(n <= kMaxCycleNodes);
    // Reach sets: i itself and every compartment reachable from it, as the closure of the arcs
    // (Warshall's algorithm on rows of bits).
    auto& reach = order.reach;
    std::array<NodeSet, kMaxCycleNodes + 1> into{};  // into[i] = {j : T(j, i) > 0}
    for (int i = 1; i <= n; ++i) {
        reach[i] = NodeSet::single(i);
        into[i] = NodeSet{};
    }
    for (int j = 1; j <= n; ++j) {  // down the columns of T, as they are stored
        for (int i = 1; i <= n; ++i) {
            if (T(i, j) > 0.0f) {
                reach[i].set(j);
                into[j].set(i);
            }
        }
    }
    for (int k = 1; k <= n; ++k) {
        for (int i = 1; i <= n; ++i) {
            if (reach[i].test(k)) reach[i] |= reach[k];
        }
    }

    // Closing counts.
    for (int i = 1; i <= n; ++i) order.DEG[i] = (reach[i] & into[i]).count();

    // ORD: n picks of the largest count not yet picked; the first strictly larger value wins,
    // so ties go to the lower compartment number. K counts the picks with a count above 0.
    std::array<bool, kMaxCycleNodes + 1> picked{};
    order.ord.K = 0;
    for (int pick = 1; pick <= n; ++pick) {
        int best = 0;
        for (int i = 1; i <= n; ++i) {
            if (!picked[i] && (best == 0 || order.DEG[i] > order.DEG[best])) best = i;
        }
        picked[best] = true;
        order.ord.node[pick] = best;
        if (order.DEG[best] > 0) ++order.ord.K;
    }
}

}  // namespace flownet
