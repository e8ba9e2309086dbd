// What a cycle search hands its visitor (the cycle it has found, with its weak arc and product)
// and the scratch space it works in.
#pragma once

#include <array>
#include <limits>

#include "arcgraph.hpp"
#include "matview.hpp"
#include "nodeset.hpp"

namespace flownet {

// A cycle as a search finds it.
struct FoundCycle {
    int L = 0;                      // number of arcs
    const int* nodes;               // nodes[0..L]: the compartments u1, u2, ..., uL, u1
    int weakArc = 0;                // k of the weak arc nodes[k] -> nodes[k+1]: the last smallest
    float weakFlow = 0.0f;          // its flow
    float P = 0.0f;                 // the product of the fractions F over the arcs, in path order
    float* const* flows = nullptr;  // flows[k]: where the search keeps the flow of arc k

    // The weak arc, by compartment (not for a search that only counts: it keeps no nodes).
    Arc weak() const { return {nodes[weakArc], nodes[weakArc + 1]}; }
};

// What the visitor of a search with live flows answers once it has lowered the flows of a cycle:
// whether the search goes on, and the least flow it left on an arc of the cycle. Only when that
// flow has left the search's floor need the search look for the arcs to take out.
struct LoweredCycle {
    bool go = true;
    float least = std::numeric_limits<float>::infinity();
};

// Weak arc of the listing: the arc of smallest flow, the last of them in path order on ties.
// (The removal of CYCLES takes the first: see there.)
void lastWeakArc(ConstMatView T, FoundCycle& c);

// The probability that a unit of medium travels the whole cycle: the product of F(i, j) over
// its arcs, in path order, in single precision.
template <class Node>
float cycleProduct(ConstMatView F, const Node* nodes, int L) {
    float P = 1.0f;
    for (int k = 0; k < L; ++k) P = P * F(nodes[k], nodes[k + 1]);
    return P;
}

// Scratch space of the searches, allocated once by the caller: nothing is allocated while a
// search runs.
struct SearchWork {
    struct Frame {
        NodeSet rem;           // candidates of this level not yet tried
        int pos = 0;           // the position at this level
        bool found = false;    // a cycle was closed through this level
        float minFlow = 0.0f;  // smallest arc flow of the path up to this level
        int minArc = 0;        // its arc, the last on ties
        float P = 1.0f;        // product of the fractions of the path up to this level
    };
    std::array<Frame, kMaxCycleNodes + 2> frame{};
    std::array<int, kMaxCycleNodes + 2> comp{};     // compartments of the path, from index 1
    std::array<float*, kMaxCycleNodes + 2> cell{};  // flows of the arcs of the path, from index 1
    std::array<int, kMaxCycleNodes + 2> next{};     // reference search: next candidate per level
    std::array<int, kMaxCycleNodes + 2> path{};     // reference search: positions of the path
    std::array<int, kMaxCycleNodes + 2> mark{};     // positions of a cycle to go on after
    ArcGraph graph;  // the graph of enumerateCycles, countCycles and enumerateArcCycles

    // A path of the pruned searches begins at position S (compartment `node`), with the
    // candidates rem for its second position.
    void startPath(int S, int node, NodeSet rem) {
        frame[1] = Frame{rem, S, false, std::numeric_limits<float>::infinity(), 0, 1.0f};
        comp[1] = node;
    }
};

}  // namespace flownet
