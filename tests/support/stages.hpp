// Small networks for the tests of the analysis stages: loaded into the run's arrays or written as
// a network file and analysed by a built program, and the listings of a report read back.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "arrays.hpp"

namespace flownet::testing {

struct Flow {
    int from, to;
    float t;
};

// Inputs, exports and respirations of compartments 1, 2, ... (missing ones are 0) and the flows.
struct NetData {
    int n = 0, nl = 0;
    std::vector<float> IN, EX, RE;
    std::vector<Flow> flows;
};

using Arrays = AnalysisArrays<10>;
using Values = std::vector<std::string>;

// The run's arrays holding the network, with the flows extended and the indices computed by ASCEND.
std::unique_ptr<Arrays> ascended(const NetData& d);

// The network file of the network, compartments named "C1", "C2", ...
std::string networkFile(const NetData& d, const std::string& title = "");

// The report the program writes for the network file (the test fails on an abnormal end).
std::string analyseFile(const std::string& file, const char* program = FLOWANALYSIS_EXE);
inline std::string analyse(const NetData& d) {
    return analyseFile(networkFile(d));
}

// The values of the listing printed under the `occurrence`-th line " <title>", row after row.
Values listing(const std::string& report, const std::string& title, int occurrence = 1);

inline bool holds(const std::string& report, const std::string& text) {
    return report.find(text) != std::string::npos;
}

}  // namespace flownet::testing
