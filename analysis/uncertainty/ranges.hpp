// The plausible range of every flow of a network: the unknowns of the uncertainty analysis.
//
// The unknowns are the flows that the network holds (a flow of value 0 is no flow and stays 0):
// the inputs, the flows between compartments, the exports and the respirations. Each has a low
// and a high value. A flow named in a table of ranges gets that table's range; every other flow
// gets the relative range of --plus-minus (value (1 - P/100) to value (1 + P/100)), or, without
// it, is held at its value. A low value below 0 is raised to 0: a flow is never negative.
//
// The table of ranges is CSV (csvtext.hpp) with a header naming its columns, in any order and
// case: from, to, and either low and high (an asymmetric range), or plus-minus (a half-width
// around the network's value, a symmetric range), or both, each row giving one or the other:
//
//   from,to,low,high,plus-minus
//   input,FILTER FEEDERS,40,45,
//   FILTER FEEDERS,DEPOSITED DETRITUS,,,2.5
//   MICROBIOTA,respiration,5,6.5,
//
// Compartments are named as the network names them (trailing blanks dropped); input is the
// source of an input, export and respiration the destinations of the boundary flows (in any case).
#pragma once

#include <string>
#include <vector>

#include "matview.hpp"

namespace flownet {

enum class FlowKind { input, flow, exported, respiration };

// One unknown: from and to are compartment numbers (1..n), 0 for the boundary end.
struct Unknown {
    FlowKind kind = FlowKind::flow;
    int from = 0, to = 0;
    double value = 0.0;  // in the network as given
    double low = 0.0, high = 0.0;
};

// The network an uncertainty analysis starts from: views into the run's arrays.
struct NetworkValues {
    int n = 0, nl = 0;  // compartments, and living ones (1..nl)
    const std::vector<std::string>* names = nullptr;  // names[i - 1] of compartment i
    ConstVecView stocks, IN, EX, RE;
    ConstMatView flows;  // flows(i, j) from i to j
    // How the program's trophic aggregation treats the network: with suspected migratory inputs
    // left out of the intakes, and whether the living compartments hold feeding cycles, which
    // the report removes by a cycle search before it aggregates.
    bool migratoryInputs = false, feedingCycles = false;
};

struct RangeRow {
    int line = 0;
    std::string from, to;
    bool halfWidth = false;  // plus-minus given rather than low and high
    double low = 0.0, high = 0.0, plusMinus = 0.0;
};

struct RangeTable {
    std::string file;
    std::vector<RangeRow> rows;
};

// A table of ranges, or its rows, that cannot be used: the message names the file and the line.
struct RangeError {
    std::string message;
};

// Reads a table of ranges from its bytes; `file` names it in the messages.
RangeTable parseRanges(const std::string& file, const std::string& bytes);

// The unknowns of the network, in the order inputs, flows (by source, then destination), exports,
// respirations, with their ranges. `table` may be null; `plusMinusPercent` < 0 when not given.
std::vector<Unknown> unknownsOf(const NetworkValues& net, const RangeTable* table,
                                double plusMinusPercent);

// A name of the unknown for the columns of the outputs: "input -> A", "A -> B", "A -> export".
std::string unknownName(const Unknown& u, const std::vector<std::string>& names);

}  // namespace flownet
