// A graph in the DOT language laid out and drawn as SVG by the Graphviz library, in-process (the
// dot layout).
#pragma once

#include <string>

namespace flownet {

// The SVG drawing of the graph `dot`, without the XML prologue, ready to stand inline in a page.
// Throws std::runtime_error when the graph cannot be read or laid out.
std::string layoutSvg(const std::string& dot);

}  // namespace flownet
