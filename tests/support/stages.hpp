// Small networks for the tests of the analysis stages: loaded into the run's arrays or written as
// a network file and analysed by the built program, and the listings of a report read back.
#pragma once

#include <string>
#include <vector>

#include "arrays.hpp"

namespace flownet::testing {

struct Flow {
    int from, to;
    float t;
};

// A network: inputs, exports and respirations of compartments 1, 2, ... (missing ones are 0).
struct NetData {
    int n = 0, nl = 0;
    std::vector<float> IN, EX, RE;
    std::vector<Flow> flows;
};

// Entry i (from 1) of a list of values, 0 beyond its end.
inline float entry(const std::vector<float>& v, int i) {
    return i <= int(v.size()) ? v[i - 1] : 0.0f;
}

template <int Limit>
void load(AnalysisArrays<Limit>& a, const NetData& d) {
    a.N = d.n;
    a.NL = d.nl;
    for (int i = 1; i <= d.n; ++i) {
        a.IN(i) = entry(d.IN, i);
        a.EX(i) = entry(d.EX, i);
        a.RE(i) = entry(d.RE, i);
    }
    for (const Flow& f : d.flows) a.T(f.from, f.to) = f.t;
}

template <int Limit>
void ascend(AnalysisArrays<Limit>& a) {
    ASCEND(a.T.view(), a.IN.view(), a.EX.view(), a.RE.view(), a.N, a.NL, a.F.view(), a.G.view(),
           a.X.view(), a.TST, a.info, a.rowSum.view(), a.colSum.view());
}

// The report flowanalysis writes for the network (the test fails on an abnormal end).
std::string analyse(const NetData& d);
std::string analyseFile(const std::string& networkFile);

// The values of the listing printed under the `occurrence`-th line " <title>", row after row.
std::vector<std::string> listing(const std::string& report, const std::string& title,
                                 int occurrence = 1);

// Whether the report holds the text.
inline bool holds(const std::string& report, const std::string& text) {
    return report.find(text) != std::string::npos;
}

}  // namespace flownet::testing
