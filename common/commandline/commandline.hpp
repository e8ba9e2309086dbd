// Command-line mode: what the three programs share when they are started with arguments.
//
// Started with arguments a program holds no dialog: the network files, the outputs and the
// options all come from the command line, in the way of the common Unix tools.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

namespace flownet {

// Exit statuses in command-line mode.
inline constexpr int kStatusOk = 0;
inline constexpr int kStatusLook = 1;     // the run finished, but found what the user must look at
inline constexpr int kStatusFailure = 2;  // a usage error, or an input or file failure

// The suite's version, "<major>.<minor>.<patch>".
const char* suiteVersion();

// A parser for `program` with its description and the --version flag; --help comes with CLI11.
void describeProgram(CLI::App& app, const std::string& description);

// Parses the arguments. Returns -1 when the run goes on; otherwise the exit status of a run that
// ends here: 0 after --help or --version (written to `out`), 2 after a usage error, told on
// `errors` as "<program>: <what>" with a pointer to --help, or when `out` cannot be written.
int parseArguments(CLI::App& app, int argc, const char* const* argv, std::ostream& out,
                   std::ostream& errors);

// The check of --threads: a whole number from 1 to 1024.
CLI::Validator threadCount();

// The end of a command-line run: standard output is flushed; when it could not be written (a full
// disk, a closed stream) the run has failed, told on `errors`, and the status is 2. Otherwise the
// status is `status`.
int finishStandardOutput(std::ostream& out, std::ostream& errors, const std::string& program,
                         int status);

}  // namespace flownet
