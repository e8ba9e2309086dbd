// Path lengths (Borrett 2013): the flow that has taken exactly m steps is f(m) = sum_j
// (z^T G^m)_j (f(0) the boundary input, f(1) the direct flow), and the f(m) sum to TST. Reported
// are the first m >= 2 at which the indirect flow f(2) + ... + f(m) exceeds the direct flow f(1),
// and the first m at which f(0) + ... + f(m) reaches 50, 80 and 95 % of TST; -1 when not within
// kPathSteps steps. Cost: O(n^2) per step.
#pragma once

#include "peernetwork.hpp"

namespace flownet {

inline constexpr int kPathSteps = 1000;

struct PathLengths {
    int indirectExceedsDirect = -1, half = -1, eightyPercent = -1, ninetyFivePercent = -1;
};

PathLengths pathLengths(const PeerNetwork& p);

}  // namespace flownet
