// How a run ends before its natural end, and the frame of a run that catches that end.
//
// The programs stop from deep inside their stages: a "0 ERROR" line in the report, a dialog that
// the user ends, the cycle store running out, an unreadable record. Each such stop throws a RunEnd
// that the frame of the run (runProgram) catches: it lets the program close its files, prints the
// line and returns the exit status.
#pragma once

#include <functional>
#include <initializer_list>
#include <istream>
#include <ostream>
#include <string>

#include "layout.hpp"
#include "textio.hpp"

namespace flownet {

struct RunEnd {
    int status;        // 0: an orderly end; 2: a failure of the input or the files
    std::string line;  // status 0: the console line; status 2: the message for standard error
    bool reportError = false;  // an orderly end after an error line in the report
    std::string reportLine;    // that line, without its line end
};

// An orderly end: the line goes to the console, the exit status is 0.
[[noreturn]] void stopOrderly(std::string consoleLine);

// A failure: the message goes to standard error, the exit status is 2.
[[noreturn]] void stopFailure(std::string message);

// The console line of an analysis program that stops without a text of its own.
inline constexpr const char* kStopLine = "Stop - Program terminated.";

// Writes an error line of an analysis report ("0 ERROR ...", or the cycle store's overflow:
// `layout` with its `items`) and ends the run in an orderly way, with kStopLine on the console.
[[noreturn]] void stopWithReportError(std::ostream& report, const char* layout,
                                      std::initializer_list<Item> items = {});

// Runs a program: `body` works on the console made of the three streams. However the body ends,
// `finish` (when given) runs next and may itself end the run: its failure outweighs an orderly or
// a natural end, not an earlier failure. The line of a RunEnd is then written, the console line of
// an orderly end on `console`, a failure on `errors` as "<program>: <message>" after what the
// console holds. Returns the exit status: 0 when the body returns or stops in order, 2 on a
// failure.
int runProgram(const char* program, std::istream& in, std::ostream& console, std::ostream& errors,
               const std::function<void(Console&)>& body, const std::function<void()>& finish = {});

}  // namespace flownet
