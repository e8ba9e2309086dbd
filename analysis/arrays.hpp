// The work arrays of an analysis run, sized for the program's compartment limit and reused for
// every network of the file.
#pragma once

#include <string>

#include "matview.hpp"

namespace flownet {

template <int Limit>
struct AnalysisArrays {
    static constexpr int limit = Limit;

    int N = 0;   // compartments of the current network
    int NL = 0;  // living compartments: 1..NL living, NL+1..N non-living
    int K = 0;   // precision exponent of the title record
    float tolerance = 0.0f;
    std::string title;

    Vector<Limit> IN, EX, RE;  // inputs, exports, respirations
    Matrix<Limit + 3> T;       // flows; the information indices extend it by 3 rows and columns
    Vector<Limit> X;           // compartmental throughputs
    Matrix<Limit> F, G;        // output- and input-normalised flows
    float TST = 0.0f;          // total system throughput
    Matrix<Limit> M, C, D;     // work matrices
    Vector<Limit> v, outflow, imbalance;
    Vector<Limit + 1> y;  // work vector with one spare entry
};

}  // namespace flownet
