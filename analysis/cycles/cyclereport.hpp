// What both cycle routines write: the line of a cycle and the closing statistics (the cycle
// distributions and the Finn cycling index).
#pragma once

#include <ostream>
#include <string_view>
#include <vector>

#include "cyclecall.hpp"
#include "layout.hpp"
#include "matview.hpp"

namespace flownet {

// Writes one cycle line: the number, then the L + 1 nodes u1, ..., uL, u1, each followed by a
// hyphen; the layout's group of 20 starts again on a new line for a long cycle.
template <class Node>
void writeCycleLine(std::ostream& out, std::string_view layout, long long number, const Node* nodes,
                    int L, std::vector<Item>& items) {
    items.clear();
    items.emplace_back(number);
    for (int k = 0; k <= L; ++k) items.emplace_back(static_cast<int>(nodes[k]));
    writeLayout(out, layout, items);
}

// Closing statistics, once every cycle has been removed. CYC(L) holds the flow removed from
// cycles of L arcs: the result takes the distribution, the distribution normalised by TST and the
// Finn cycling index, (CYC(1) + ... + CYC(n)) / TST. CYC is left holding the normalised values.
void cycleStatistics(VecView CYC, int n, float TST, CycleRemoval& result);

// Writes them: in whole-network mode both distributions, in both modes the Finn cycling index.
void writeCycleStatistics(std::ostream& report, const CycleRemoval& result, int n,
                          bool wholeNetwork);

}  // namespace flownet
