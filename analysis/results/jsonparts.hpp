// The pieces the JSON document is written from: numbers, vectors, matrices and texts in JSON, and
// the parts of a network's object that have files of their own.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "matview.hpp"
#include "results.hpp"
#include "shortest.hpp"
#include "textencoding.hpp"

namespace flownet {

using Json = nlohmann::ordered_json;

// Every number of the report arrays is a float: it is written in its own shortest form. The
// companion indices are doubles, written in theirs. NaN becomes null.
inline Json jsonNumber(float x) {
    return shortestValue(x);
}
inline Json jsonNumber(double x) {
    return x;
}

inline Json jsonVector(ConstVecView v, int n) {
    Json a = Json::array();
    for (int i = 1; i <= n; ++i) a.push_back(jsonNumber(v(i)));
    return a;
}

// A matrix as a list of its rows.
template <class Real>
Json jsonMatrix(BasicMatView<const Real> m, int rows, int cols) {
    Json a = Json::array();
    for (int i = 1; i <= rows; ++i) {
        Json row = Json::array();
        for (int j = 1; j <= cols; ++j) row.push_back(jsonNumber(m(i, j)));
        a.push_back(std::move(row));
    }
    return a;
}

// Text from a network file or a command line: bytes, made valid UTF-8 (see utf8Text).
inline Json jsonText(const std::string& bytes) {
    return utf8Text(bytes);
}

// The table of the compartments: one record per compartment, in the order of their numbers.
Json compartmentTable(const NetworkResults& r);

// The summary: the columns of summary.hpp as one object.
Json summaryObject(const NetworkResults& r);

// The analyses of the other tools: the network's values, and compartment i's in its record.
Json peerObject(const NetworkResults& r);
void peerCompartmentValues(const NetworkResults& r, int i, Json& row);

// The units of the network.
Json unitsObject(const NetworkResults& r);

// The uncertainty analysis: how it sampled, the ranges and each quantity's summary.
Json uncertaintyObject(const UncertaintyResult& u);

}  // namespace flownet
