// One program's whole run on random input. Built once per program and kind of input:
//   FUZZ_RUN        the program: kAnalysis (flowanalysis), kAnalysis2 (flowanalysis2) or kEntry
//                   (flowentry), each run in process with its default settings
//   FUZZ_FILE       the input is a network file r.dat, read through the program's fixed answers
//                   below; without it, the input drives the dialog: console answers, optionally
//                   after a network file r.dat closed by a line "@@@".
//   FUZZ_READ_BACK  the program writes network files: each file the run wrote must read back,
//                   without failure, in flowentry and in both analysis programs.
// Whatever the input, the run comes back with status 0, or with status 2 and a message on
// standard error; a crash, a sanitizer report, a leak or a hang is a fault.
//
// The programs take every file name from their answers, so a run may read, create or (after
// confirmation) replace any file it can name. The targets therefore work in a scratch folder of
// their own holding the example networks marsh.dat and pond.dat, and keep every name inside it: a
// '/' in the answers becomes '_'. After each run the folder is emptied and the examples copied
// into it again: nothing accumulates.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "flowanalysis.hpp"
#include "flowanalysis2.hpp"
#include "flowentry.hpp"
#include "support.hpp"

namespace fs = std::filesystem;

namespace {

enum Program { kAnalysis, kAnalysis2, kEntry };

// The answers with which the programs read r.dat: flowanalysis writes its report to rep.txt,
// flowanalysis2 a report for each network; flowentry edits nothing, balances up to three times
// and writes o.dat.
[[maybe_unused]] const char* const kFileAnswers[] = {"r.dat\ny\nrep.txt\ny\n",
                                                     "r.dat\ny\nr1.txt\ny\nr2.txt\ny\nr3.txt\ny\n",
                                                     "2\nr.dat\nn\ny\ny\ny\nn\no.dat\n"};

fs::path scratch;  // the scratch folder, the working folder of the runs

// Runs the program on the answers; returns its status, which must be 0, or 2 with a message.
int run(Program p, const std::string& answers) {
    std::istringstream in(answers);
    std::ostringstream console, errors;
    const int status = p == kAnalysis    ? flownet::runFlowanalysis(in, console, errors)
                       : p == kAnalysis2 ? flownet::runFlowanalysis2(in, console, errors)
                                         : flownet::runFlowentry(in, console, errors);
    FUZZ_CHECK(status == 0 || (status == 2 && !errors.str().empty()));
    return status;
}

// Removes everything the last run left in the scratch folder and copies the examples again.
void resetScratchFolder() {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(scratch, ec)) {
        fs::remove_all(e.path(), ec);
    }
    for (const char* name : {"marsh.dat", "pond.dat"}) {
        fs::copy_file(fs::path(EXAMPLES_DIR) / name, scratch / name, ec);
    }
}

// A network file written by flowentry is read by flowentry (declining the balancing if asked)
// and by both analysis programs without a failure. Its name is typed with a CR LF line end, which
// the console takes as one line end (an answer line never holds a CR, so neither does a name).
[[maybe_unused]] void readBack(const std::string& name) {
    FUZZ_CHECK(run(kEntry, "2\n" + name + "\r\nn\nn\nread-back.dat\n") == 0);
    FUZZ_CHECK(run(kAnalysis, name + "\r\ny\nread-back.txt\ny\n") == 0);
    FUZZ_CHECK(run(kAnalysis2, name + "\r\ny\nread-back.txt\ny\n") == 0);
    fs::remove("read-back.dat");
    fs::remove("read-back.txt");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The fuzzer's arguments that name files or folders (corpus folders, inputs to replay,
    // -artifact_prefix=) are made absolute first, so that they still name what they named.
    static std::vector<std::string> absolute(static_cast<std::size_t>(*argc));
    const std::string prefix = "-artifact_prefix=";
    for (int k = 1; k < *argc; ++k) {
        std::string& arg = absolute[static_cast<std::size_t>(k)] = (*argv)[k];
        const std::size_t at = arg.rfind(prefix, 0) == 0 ? prefix.size() : 0;
        if (arg.size() == at || arg[at] == '/' || (at == 0 && arg[0] == '-')) continue;
        arg.replace(at, std::string::npos, (fs::current_path() / arg.substr(at)).string());
        (*argv)[k] = arg.data();
    }
    std::string folder = (fs::temp_directory_path() / "flownet-fuzz-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) std::abort();
    scratch = folder;
    fs::current_path(scratch);
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(scratch, ec);
    });
    resetScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
#ifdef FUZZ_FILE
    const std::size_t mark = bytes.size();  // all of it is the network file
    const std::string answers = kFileAnswers[FUZZ_RUN];
#else
    // The part before a line "@@@" is the network file, the rest the console answers.
    const std::size_t mark = bytes.find("@@@\n");
    std::string answers = mark == std::string::npos ? bytes : bytes.substr(mark + 4);
    std::replace(answers.begin(), answers.end(), '/', '_');
#endif
    if (mark != std::string::npos)
        std::ofstream("r.dat", std::ios::binary) << bytes.substr(0, mark);
    [[maybe_unused]] const int status = run(FUZZ_RUN, answers);
#ifdef FUZZ_READ_BACK
    std::vector<std::string> written;  // the files the run wrote: all but the examples and r.dat
    for (const fs::directory_entry& e : fs::directory_iterator(scratch)) {
        const std::string name = e.path().filename().string();
        if (status == 0 && e.is_regular_file() && name != "marsh.dat" && name != "pond.dat" &&
            name != "r.dat") {
            written.push_back(name);
        }
    }
    for (const std::string& name : written) readBack(name);
#endif
    resetScratchFolder();
    return 0;
}
