// What the two CSV forms of a network share: the settings of their "# key: value" lines, the
// names of the boundary, and the checks of the compartments' names.
//
// Settings (keys in any case): "title", "units" (of the flows), "stock units", "precision
// exponent" (K of the network file, -9 to 99: the most precisely known flow is accurate to
// 10^(1-K)) and "living count" (0 or negative: the living count a network file gives for "every
// compartment living", kept so that such a file comes back as it was). Other keys are comments.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "csvtext.hpp"
#include "netdraft.hpp"

namespace flownet {

// The boundary of a network as the CSV forms name it, in any case.
enum class Boundary { None, Input, Export, Respiration, Stock, Living };
Boundary boundaryName(std::string_view name);

// Reads the settings of the table into the draft (after its compartments are known).
void applyCsvSettings(const CsvText& csv, NetworkDraft& draft);

// Writes the settings of the record: title, units when known, precision exponent, and the living
// count when it is 0 or negative.
void writeCsvSettings(std::ostream& out, const NetworkView& net, const NetworkUnits& units);

// A compartment's name: not empty, not a name of the boundary, not given before.
void checkCompartmentName(const CsvText& csv, const CsvRow& row, std::size_t column,
                          const NetworkDraft& draft);

// The number of the compartment of that name in the draft (from 0), or -1.
int compartmentIndex(const NetworkDraft& draft, std::string_view name);

// A value of the record as a CSV cell: the shortest text that reads back to the same single-
// precision value ("0" for 0, so that R and pandas read a number).
std::string csvValue(float x);

// The name of compartment k of the record without its trailing blanks, in CSV quoting.
std::string csvName(const NetworkView& net, int k);

}  // namespace flownet
