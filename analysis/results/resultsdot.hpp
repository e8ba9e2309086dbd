// A picture of a network in the Graphviz DOT language: the compartments as nodes (ellipses for the
// living, boxes for the non-living, labelled with name and throughput), the flows as arcs whose
// width grows with the flow, the inputs, exports and respirations as arrows from and to the
// boundary, and the living compartments ranked by effective trophic level (level 1 at the bottom).
// `dot -Tsvg net.dot -o net.svg` draws it.
#pragma once

#include <ostream>

#include "results.hpp"

namespace flownet {

void writeDot(std::ostream& out, const NetworkResults& r);

}  // namespace flownet
