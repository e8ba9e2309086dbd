// The distributions of an uncertainty analysis on the HTML page: a table of the network-wide
// quantities and one of the effective trophic levels, each row with its value for the given
// network, its summary over the plausible networks and a strip of its 95 % interval. Every number
// carries its place in the JSON document's "uncertainty" section.
#pragma once

#include <string>

#include "results.hpp"

namespace flownet {

// The section's body for a network whose plausible networks were sampled; "" otherwise.
std::string uncertaintyTables(const NetworkResults& r, const std::string& id);

}  // namespace flownet
