// The matrix form of a network in CSV: a square table of the flows, from the compartment of the
// row to the compartment of the column, with the compartments' names as the row and column
// headers in the same order, boundary columns named export, respiration, stock and living, and a
// row named input:
//
//   # title: SALT MARSH CREEK
//   # units: g C m-2 y-1
//   ,PLANTS,HERBIVORES,DETRITUS,export,respiration,stock,living
//   PLANTS,0,30,20,0,50,500,yes
//   HERBIVORES,0,0,12,0,20,40,yes
//   DETRITUS,0,10,0,5,20,900,no
//   input,100,0,0,,,,
//
// The first cell of the header is free (R writes "" there); the boundary columns may stand in any
// order, before or after the compartments, and each may be missing (no such values; without a
// living column every compartment is living); the input row may be missing (no inputs).
#pragma once

#include <ostream>

#include "csvtext.hpp"
#include "netdraft.hpp"

namespace flownet {

NetworkDraft readCsvMatrix(const CsvText& csv);

// Writes the record in the matrix form, every boundary column and the input row included. The
// names must be unique and not names of the boundary (checkCsvNames).
void writeCsvMatrix(std::ostream& out, const NetworkView& net, const NetworkUnits& units);

// The names of the record as the CSV forms need them: not blank, unique, and none a name of the
// boundary. `file` is the file to be written, for the message.
void checkCsvNames(const std::string& file, const NetworkView& net);

}  // namespace flownet
