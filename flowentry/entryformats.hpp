// flowentry's command line and the formats of networks: a network file of any format read whole,
// a network written in the format asked for, and the table of what a balancing changed.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "entryrun.hpp"
#include "networkformat.hpp"
#include "outputs.hpp"

namespace flownet {

// Reads the network file `name`, of any format (told by its name), whole into the run's network;
// what a reader of another format assumed or changed is told on standard error unless `quiet`.
// Returns where it came from. A file that cannot be read ends the run with a failure.
NetworkOrigin readAnyNetwork(Console& con, EntryRun& r, const std::string& name,
                             const FormatOptions& o, bool quiet);

// The format of OUT: `to` when given, else the one OUT's name gives (standard output: SCOR). A
// `to` that contradicts the name's extension (.dat or .scor, .csv, .nea) is refused, as is an edge
// list to standard output, which has no folder for its companion table. Throws OutputFailure.
NetworkFormat outputFormat(const std::string& out, const std::optional<std::string>& to);

// Opens OUT (and, for an edge list, its companion table beside it, OUT's stem with
// ".compartments.csv"), checked with the run's other outputs before anything is read.
struct NetworkOutput {
    NetworkFormat format = NetworkFormat::Scor;
    OutputFile* file = nullptr;
    OutputFile* companion = nullptr;
    std::string companionName;  // as the edge list names it: without a folder
};
NetworkOutput openNetworkOutput(RunOutputs& outputs, const std::string& out, NetworkFormat format);

// Writes the network in the output's format; a network whose names a CSV form cannot hold is
// refused (a failure of the run).
void writeNetworkOutput(const NetworkOutput& o, const Network& net, const NetworkUnits& units);

// The table of what the balancing changed: one row per flow, input, export, respiration and stock
// that is not 0 before or after, with its value before and after.
void writeChanges(std::ostream& out, const Network& before, const Network& after);

}  // namespace flownet
