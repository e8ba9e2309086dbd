// The cycle order of a network: the reach sets and closing counts that order the compartments for
// the cycle search of a round.
#pragma once

#include <array>

#include "matview.hpp"
#include "nodeset.hpp"

namespace flownet {

// The cycle order of a network. Reach set of i: the compartments reachable from i along arcs
// (T > 0), i included. Closing count DEG(i): the number of compartments j of that reach set with
// T(j, i) > 0, the arcs that close a cycle through i; i lies on a cycle exactly when DEG(i) > 0.
// ORD lists the compartments by decreasing DEG, ties to the lower number; its first K entries,
// the compartments with DEG > 0, are the cycle nodes. An arc (i, j) lies on a cycle exactly when
// i is in the reach set of j.
struct CycleOrder {
    NodeList ord;                                   // ord.node[p] = ORD(p); ord.K = K
    std::array<int, kMaxCycleNodes + 1> DEG{};      // DEG(i), i = 1..n
    std::array<NodeSet, kMaxCycleNodes + 1> reach;  // reach[i]: the reach set of i
};

// The round setup shared by both routines: reach sets, closing counts, ORD and K of the leading
// n x n part of T.
void computeCycleOrder(ConstMatView T, int n, CycleOrder& order);

}  // namespace flownet
