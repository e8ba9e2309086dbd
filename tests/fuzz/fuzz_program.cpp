// One program's whole run on random input, in the scratch folder (scratch.hpp). Built once per
// program and kind of input:
//   FUZZ_RUN      the program's run: flownet::runFlowanalysis, flownet::runFlowentry, ...
//   FUZZ_ANSWERS  one of the answer scripts below: the input is a network file r.dat, read through
//                 these answers; without it, the input drives the dialog: console answers,
//                 optionally after a network file r.dat closed by a line "@@@".
// Whatever the input, the run comes back with status 0, or with status 2 and a message on
// standard error; a crash, a sanitizer report, a leak or a hang is a fault.
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "flowanalysis.hpp"
#include "flowentry.hpp"
#include "scratch.hpp"

// The answers with which the programs read r.dat: flowanalysis writes its report to rep.txt;
// flowentry edits nothing, balances up to three times and writes o.dat.
[[maybe_unused]] constexpr const char* kAnalysisFileAnswers = "r.dat\ny\nrep.txt\ny\n";
[[maybe_unused]] constexpr const char* kEntryFileAnswers = "2\nr.dat\nn\ny\ny\ny\nn\no.dat\n";

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    flownet::fuzz::enterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = flownet::fuzz::asText(data, size);
#ifdef FUZZ_ANSWERS
    flownet::fuzz::writeScratchFile("r.dat", bytes);
    std::istringstream answers(FUZZ_ANSWERS);
#else
    std::istringstream answers(flownet::fuzz::splitNetworkAndAnswers(bytes));
#endif
    std::ostringstream console, errors;
    const int status = FUZZ_RUN(answers, console, errors);
    if (!(status == 0 || (status == 2 && !errors.str().empty()))) std::abort();
    flownet::fuzz::resetScratchFolder();
    return 0;
}
