// One program's whole run on random input, in the scratch folder (support.hpp). Built once per
// program and kind of input:
//   FUZZ_RUN        the program: flowanalysis, flowanalysis2 or flowentry (the runs below)
//   FUZZ_ANSWERS    one of the answer scripts below: the input is a network file r.dat, read
//                   through these answers; without it, the input drives the dialog: console
//                   answers, optionally after a network file r.dat closed by a line "@@@".
//   FUZZ_READ_BACK  the program writes network files: each file the run wrote must read back,
//                   without failure, in flowentry and in flowanalysis.
// Whatever the input, the run comes back with status 0, or with status 2 and a message on
// standard error; a crash, a sanitizer report, a leak or a hang is a fault.
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "flowanalysis.hpp"
#include "flowanalysis2.hpp"
#include "flowentry.hpp"
#include "support.hpp"

namespace {

// The answers with which the programs read r.dat: flowanalysis writes its report to rep.txt;
// flowentry edits nothing, balances up to three times and writes o.dat.
[[maybe_unused]] constexpr const char* kAnalysisFileAnswers = "r.dat\ny\nrep.txt\ny\n";
// flowanalysis2 asks for a report file for each network of r.dat.
[[maybe_unused]] constexpr const char* kAnalysis2FileAnswers =
    "r.dat\ny\nr1.txt\ny\nr2.txt\ny\nr3.txt\ny\n";
[[maybe_unused]] constexpr const char* kEntryFileAnswers = "2\nr.dat\nn\ny\ny\ny\nn\no.dat\n";

// The programs' runs, with their default settings.
using Program = int (*)(std::istream&, std::ostream&, std::ostream&);
[[maybe_unused]] int flowanalysis(std::istream& in, std::ostream& console, std::ostream& errors) {
    return flownet::runFlowanalysis(in, console, errors);
}
[[maybe_unused]] int flowanalysis2(std::istream& in, std::ostream& console, std::ostream& errors) {
    return flownet::runFlowanalysis2(in, console, errors);
}
[[maybe_unused]] int flowentry(std::istream& in, std::ostream& console, std::ostream& errors) {
    return flownet::runFlowentry(in, console, errors);
}

// Runs a program on the answers; returns its status, which must be 0 or 2 with a message.
int runChecked(Program run, const std::string& answers) {
    std::istringstream in(answers);
    std::ostringstream console, errors;
    const int status = run(in, console, errors);
    FUZZ_CHECK(status == 0 || (status == 2 && !errors.str().empty()));
    return status;
}

// A network file written by flowentry is read by flowentry (declining the balancing if asked)
// and by both analysis programs without a failure. Its name is typed with a CR LF line end, of
// which the console drops the CR: a name that itself ends in a CR is typed again as it is.
[[maybe_unused]] void readBack(const std::string& name) {
    const char* copy = "read-back.dat";
    const char* report = "read-back.txt";
    const int entry = runChecked(flowentry, "2\n" + name + "\r\nn\nn\n" + copy + "\n");
    const int analysis = runChecked(flowanalysis, name + "\r\ny\n" + report + "\ny\n");
    const int analysis2 = runChecked(flowanalysis2, name + "\r\ny\n" + report + "\ny\n");
    std::remove(copy);
    std::remove(report);
    FUZZ_CHECK(entry == 0 && analysis == 0 && analysis2 == 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    flownet::fuzz::enterScratchFolder(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = flownet::fuzz::asText(data, size);
#ifdef FUZZ_ANSWERS
    flownet::fuzz::writeScratchFile("r.dat", bytes);
    const int status = runChecked(FUZZ_RUN, FUZZ_ANSWERS);
#else
    const int status = runChecked(FUZZ_RUN, flownet::fuzz::splitNetworkAndAnswers(bytes));
#endif
#ifdef FUZZ_READ_BACK
    if (status == 0) {
        for (const std::string& name : flownet::fuzz::filesOfTheRun()) readBack(name);
    }
#else
    (void)status;
#endif
    flownet::fuzz::resetScratchFolder();
    return 0;
}
