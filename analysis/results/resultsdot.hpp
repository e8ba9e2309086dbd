// A picture of a network in the Graphviz DOT language (picture.hpp says what it shows): rows by
// trophic level, labelled at the left, the non-living pools in the bottom row; node areas by
// standing stock; arrow widths by the square root of the flow; inputs entering from the left as
// solid arrows, exports (dashed) and respirations (dotted) leaving to the right, each with a
// labelled arrow-shaped marker; colours of the Okabe-Ito palette, safe for colour-blind readers;
// and a legend. `dot -Tsvg net.dot -o net.svg` draws it.
#pragma once

#include <ostream>
#include <string>

#include "picture.hpp"
#include "results.hpp"

namespace flownet {

void writeDot(std::ostream& out, const Picture& p, const std::string& graphName);

// The network's picture, named after its place in the run.
void writeDot(std::ostream& out, const NetworkResults& r, const PictureOptions& o = {});

}  // namespace flownet
