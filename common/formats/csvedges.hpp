// The edge-list form of a network in CSV: one row per flow, from a compartment to a compartment,
// with the boundary named input (as the source of a flow), export and respiration (as its
// destination):
//
//   # title: SALT MARSH CREEK
//   # compartments: marsh.compartments.csv
//   from,to,value
//   input,PLANTS,100
//   PLANTS,HERBIVORES,30
//   PLANTS,respiration,50
//
// The columns are found by their names (from, to, value, in any order and case); an unnamed first
// column (the row numbers R writes) is skipped. The compartments are numbered in the order they
// first appear, unless a companion table names them: a CSV file, named by the "compartments"
// setting (relative to the edge list's folder), with a column compartment (or name) and the
// optional columns living and stock, one row per compartment, in the order to number them.
// Without it every compartment is living and has no stock. A flow given twice is an error.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "csvtext.hpp"
#include "netdraft.hpp"

namespace flownet {

// True when the header names the columns of an edge list (from, to and value).
bool isEdgeList(const CsvText& csv);

// `companion(path)` gives the companion table named by the "compartments" setting, read.
NetworkDraft readCsvEdges(const CsvText& csv,
                          const std::function<CsvText(const std::string&, int)>& companion);

// Writes the flows as an edge list, with the "compartments" setting naming `companionName`.
void writeCsvEdges(std::ostream& out, const NetworkView& net, const NetworkUnits& units,
                   const std::string& companionName);
// Writes the companion table: compartment, living, stock.
void writeCsvCompartments(std::ostream& out, const NetworkView& net);

}  // namespace flownet
