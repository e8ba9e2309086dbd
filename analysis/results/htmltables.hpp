// The indices of a network as HTML tables: each quantity's name in words, its value in ordinary
// notation, its unit and a line on what it means, linked to docs/results.md. The values are those
// of the summary (summary.hpp), the very values of the JSON document's "summary" object.
#pragma once

#include <string>

#include "results.hpp"

namespace flownet {

// Every table of indices, the report's quantities beside the literature's where they differ.
std::string indexTables(const NetworkResults& r);

}  // namespace flownet
