// The results of an analysis run as one self-contained HTML page (nothing fetched when it is
// opened): for each network its picture with a legend, the Lindeman spine and trophic
// efficiencies, the effective trophic levels, the cycle distribution, the mixed trophic impact,
// the compartments and the indices, the warnings of its analysis, and its text report folded
// away. Written as the run goes, like the JSON document, from the same result values; every number
// carries the path and value it has in that document (htmlparts.hpp).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "picture.hpp"
#include "results.hpp"
#include "resultsjson.hpp"

namespace flownet {

void writeHtmlHead(std::ostream& out, const char* program);
// `number`: the network's place in the page, from 1 (the ids of its parts); `report`: the text of
// its report.
void writeHtmlNetwork(std::ostream& out, const NetworkResults& r, const PictureOptions& o, int number,
                      const std::string& report);
void writeHtmlTail(std::ostream& out, const std::vector<RunProblem>& problems);

}  // namespace flownet
