// The results of an analysis run as one JSON document ("flownet-results", version 2; the fields
// are described in docs/results.md). The document is written as the run goes: its head, each
// network as soon as it is analysed, and its tail with the problems met.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "companion.hpp"
#include "results.hpp"

namespace flownet {

inline constexpr const char* kResultsFormat = "flownet-results";
inline constexpr int kResultsVersion = 2;

// A problem of the run: a network file whose reading ended before its end, at an error line of a
// report ("0 ERROR ...", status 1) or at a failure of the input (status 2), or a failure of an
// output (status 2, no file).
struct RunProblem {
    std::string file;  // the network file, or "" for an output
    int network = 0;   // the network's place in its file, or 0 when none was being read
    int status = 0;
    std::string message;
};

void writeJsonHead(std::ostream& out, const char* program);
// `first`: the first network of the document (no separating comma).
void writeJsonNetwork(std::ostream& out, const NetworkResults& r, bool first);
void writeJsonTail(std::ostream& out, const std::vector<RunProblem>& problems);

}  // namespace flownet
