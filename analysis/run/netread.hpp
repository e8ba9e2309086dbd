// Reading, echoing and validating a network in the analysis programs.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "matview.hpp"
#include "textio.hpp"

namespace flownet {

enum class TitleRead { Ok, End, Unreadable };

// The report line for an unreadable title record.
inline constexpr const char* kTitleError = "('0 ERROR IN TITLE')";

// Reads the title record: 78 characters of title and the precision exponent K.
TitleRead readTitle(RecordFile& in, std::string& title, int& k);

// The steady-state tolerance of the analysis programs: 10 to the power (1 - K), 1.0E-6 for K = 0.
float analysisTolerance(int k);

// The numbers of one network as the analysis programs hold them.
struct NetworkArrays {
    VecView stocks;                   // standing stocks
    VecView IN, EX, RE;               // inputs, exports, respirations
    MatView T;                        // flows, T(i, j) from i to j
    std::vector<std::string>* names;  // names[i - 1] of compartment i, as read (25 characters)
};

// Echoes the title and reads the rest of the network that follows it: counts, names (echoed as
// read), and the standing-stock (kept for the results, not listed), input, export, respiration and
// flow lists, each listed after it is read. Every "0 ERROR" check stands at its place in the report
// and stops the run. `limit` is the largest network the program takes. Returns false when the file
// ends at the counts record (the normal end of a run).
bool readNetwork(RecordFile& in, std::ostream& report, int limit, const std::string& title, int& n,
                 int& nl, const NetworkArrays& net);

}  // namespace flownet
