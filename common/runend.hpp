// How a run ends before its natural end.
//
// The programs stop from deep inside their stages: a "0 ERROR" line in the report, a dialog that
// the user ends, the cycle store running out, an unreadable record. Each such stop throws a RunEnd
// that the program's driver catches: it flushes and closes the report, prints the line and exits
// with the status.
#pragma once

#include <string>

namespace flownet {

struct RunEnd {
    int status;        // 0: an orderly end; 2: a failure of the input or the files
    std::string line;  // status 0: the console line; status 2: the message for standard error
};

// An orderly end: the line goes to the console, the exit status is 0.
[[noreturn]] void stopOrderly(std::string consoleLine);

// A failure: the message goes to standard error, the exit status is 2.
[[noreturn]] void stopFailure(std::string message);

// The console line of an analysis program that stops without a text of its own.
inline constexpr const char* kStopLine = "Stop - Program terminated.";

}  // namespace flownet
