// The file dialogs of the analysis programs: the network file to read and the report to write.
//
// Every way out of a dialog that is not a successful open ends the program with one of its
// "TERMINATED." lines on the console.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "textio.hpp"

namespace flownet {

// The report stream: the file every line of an analysis report goes to.
struct ReportFile {
    // The stream's buffer, large enough that a long report goes to the file in few writes
    // (declared first: it outlives the stream, which flushes through it when it closes).
    std::vector<char> buffer;
    std::ofstream stream;
    std::string path;  // the name as opened, without trailing blanks
};

// Flushes and closes the report; a report that could not be written in full ends the run with a
// failure naming the file.
void closeReport(ReportFile& report);

// Asks for the network file to read, confirms it with the user and opens it as `input`.
void INFILE(Console& con, RecordFile& input);

// Asks for the report file, confirms it (warning when it exists) and opens it as `report`. A report
// still open from an earlier network is closed, complete, before the new one is opened; naming it
// again and confirming twice replaces it. The network file being read is never opened for
// writing: naming it leads back to the question for a name.
void OUTFIL(Console& con, ReportFile& report, const RecordFile& input);

}  // namespace flownet
