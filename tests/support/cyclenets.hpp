// Networks for the tests of the cycle routines: hand-made and random flow matrices, the
// fractions F the routines are given, an independent enumeration of simple cycles, and a reader
// of the cycle listings in a report.
#pragma once

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "matview.hpp"

namespace flownet::testing {

// A flow network held as the analysis programs hold it: T with room for the three extra rows
// and columns of the extended matrix, F and X at the program's limit.
template <int Limit>
struct FlowNet {
    int n = 0;
    Matrix<Limit + 3> T;
    Matrix<Limit> F;
    Vector<Limit> X;

    // F(i, j) = T(i, j) / X(i), X(i) the larger of the inflow and the outflow of i.
    void computeFractions() {
        for (int i = 1; i <= n; ++i) {
            float in = 0.0f, out = 0.0f;
            for (int j = 1; j <= n; ++j) {
                in = in + T(j, i);
                out = out + T(i, j);
            }
            X(i) = in > out ? in : out;
        }
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j) F(i, j) = X(i) > 0.0f ? T(i, j) / X(i) : 0.0f;
        }
    }
};

using Net80 = FlowNet<80>;
using Net128 = FlowNet<128>;

// The simple cycles of the leading n x n part of T (arcs T > 0), each as its node sequence
// u1, ..., uL rotated to begin with its lowest compartment, in no particular order.
std::vector<std::vector<int>> bruteForceCycles(ConstMatView T, int n);

// The same sequence rotated to begin with its lowest compartment; a listed cycle u1..uL,u1 loses
// its repeated start first.
std::vector<int> canonicalCycle(std::vector<int> nodes);

// Random flows on n compartments: each ordered pair (i != j) carries an arc with the given
// probability, each self-loop with selfLoops; with ties > 0 the flows are whole numbers
// 1..ties, else reals between 0.1 and 10.
struct RandomFlows {
    int n = 5;
    double density = 0.4;
    double selfLoops = 0.0;
    int ties = 0;
};
void randomFlows(MatView T, const RandomFlows& r, std::mt19937& rng);

// One cycle line of a listing: its number and nodes u1, ..., uL, u1, and the nexus it stands in.
struct ListedCycle {
    long long number = 0;
    std::vector<int> nodes;
    int nexus = -1;  // index into Listing::nexuses
};

struct ListedNexus {
    long long count = 0;  // -1 when the field overflowed into asterisks
    int a = 0, b = 0;
    std::string flow;  // the printed flow
};

// The cycle listings of a report: nexus lines (/,4X,I<countWidth>,'-CYCLE NEXUS WITH WEAK ARC
// (',I2,',',I2,') =',<flow>) and cycle lines (1X,I<numberWidth>,'.',1X,20(I2,'-')) with their
// continuation lines, and the number of feeding-cycle extraction headings.
struct Listing {
    std::vector<ListedNexus> nexuses;
    std::vector<ListedCycle> cycles;
    int headings = 0;
};
Listing readListing(const std::string& report, int countWidth, int numberWidth);

// Whether the leading n x n part of T holds no cycle.
inline bool acyclic(ConstMatView T, int n) {
    return bruteForceCycles(T, n).empty();
}

}  // namespace flownet::testing
