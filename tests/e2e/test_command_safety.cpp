// The command line as a careless or hostile user meets it, row by row of the section "Command
// line" of docs/bad-input.md: no file is destroyed, no output is left half written, no byte of a
// network file crashes a writer, and every problem is told where it belongs.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/expect.hpp"

using namespace flownet::testing;
namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

const char* const kExe[kPrograms] = {FLOWANALYSIS_EXE, FLOWENTRY_EXE, FLOWANALYSIS2_EXE};

// Plants take in 10, respire 6 and pass 4 to detritus, which exports 4: in steady state. The
// title and the names as given.
std::string network(const std::string& titleText = "TWO", const std::string& plants = "PLANTS",
                    const std::string& detritus = "DETRITUS") {
    return title(titleText) + "  2  1\n" + plants + "\n" + detritus + "\n" + kTerm +
           entry(1, "10.0") + kTerm + entry(2, "4.0") + kTerm + entry(1, "6.0") + kTerm +
           flow(1, 2, "4.0") + kFlowTerm;
}

// The names in the folder, but for those given.
std::vector<std::string> namesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The text with the first `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

RunResult runIn(const TempDir& dir, Program p, const std::vector<std::string>& args) {
    return runProgram(kExe[p], "", dir.path(), args);
}

// A shell command run in the folder, with the programs as $FA, $FA2 and $FE; its exit status.
int shell(const TempDir& dir, const std::string& command) {
    const std::string script = "cd '" + dir.path().string() + "' && FA='" FLOWANALYSIS_EXE
                               "' FA2='" FLOWANALYSIS2_EXE "' FE='" FLOWENTRY_EXE "' bash -c '" +
                               command + "'";
    const int status = std::system(script.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// Row 50: bytes that are not UTF-8 (a Latin-1 É in the title and a name, a NUL and a control byte
// in a name, a CR and a Latin-1 byte in the network file's name) are written safely by every
// writer: valid UTF-8 JSON that a strict parser reads, CSV quoted for the CR, a DOT file Graphviz
// draws.
TEST(CommandSafety, BytesThatAreNotUtf8) {
    TempDir dir;
    const std::string file = "r\xe9" "f\r.dat";
    writeFile(dir / file,
              network("CR\xc9" "EK \"A\\B\"", "PLANT\xc9", std::string("DET\0RI\x01TUS", 10)));
    const RunResult r = runIn(dir, kAnalysis2,
                              {file, "-q", "-o", "rep.txt", "--json", "out.json", "--summary",
                               "out.csv", "--dot", "out.dot"});
    ASSERT_EQ(r.status, 0) << r.errors;
    const Json j = Json::parse(readFile(dir / "out.json"));  // throws on invalid UTF-8
    const Json& net = j["networks"][0];
    EXPECT_EQ(net["file"], "r\xc3\xa9" "f\r.dat");
    EXPECT_EQ(net["title"], "CR\xc3\x89" "EK \"A\\B\"");
    EXPECT_EQ(net["compartments"][0]["name"], "PLANT\xc3\x89");
    EXPECT_EQ(net["compartments"][1]["name"], std::string("DET\0RI\x01TUS", 10));
    // The report keeps the bytes as they are.
    EXPECT_NE(readFile(dir / "rep.txt").find(" CR\xc9" "EK \"A\\B\" "), std::string::npos);

    const std::vector<std::string> rows = lines(readFile(dir / "out.csv"));
    ASSERT_GE(rows.size(), 2u);
    const std::string start =
        "\"r\xc3\xa9" "f\r.dat\",1,scor,\"CR\xc3\x89" "EK \"\"A\\B\"\"\",,2,1,";
    EXPECT_EQ(rows[1].substr(0, start.size()), start);

    const std::string dot = readFile(dir / "out.dot");
    EXPECT_NE(dot.find("DET\xef\xbf\xbdRI\xef\xbf\xbdTUS"), std::string::npos);
    EXPECT_EQ(dot.find('\0'), std::string::npos);
    EXPECT_NE(dot.find("label=\"CR\xc3\x89" "EK \\\"A\\\\B\\\"\""), std::string::npos);
    EXPECT_EQ(shell(dir, "dot -Tsvg out.dot -o out.svg 2>/dev/null"), 0);
}

// Row 51: names are used exactly as given. A network file named with a trailing blank is never an
// output under another spelling, and existing files whose names end in a blank, or are a blank,
// are kept without --force, in all three programs.
TEST(CommandSafety, NamesAreUsedExactlyAsGiven) {
    const std::string net = network();
    for (Program p : {kAnalysis, kAnalysis2, kEntry}) {
        SCOPED_TRACE(kProgramNames[p]);
        TempDir dir;
        writeFile(dir / "net.dat ", net);
        auto args = [&](const std::string& output) {
            return p == kEntry ? std::vector<std::string>{"--balance", "net.dat ", "-o", output}
                               : std::vector<std::string>{"net.dat ", "-o", output};
        };
        RunResult r = runIn(dir, p, args("./net.dat "));
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.errors.find("./net.dat : that is a network file being read"),
                  std::string::npos)
            << r.errors;
        EXPECT_EQ(readFile(dir / "net.dat "), net);
        for (const std::string name : {"x ", " "}) {
            writeFile(dir / name, "keep\n");
            r = runIn(dir, p, args(name));
            EXPECT_EQ(r.status, 2) << name;
            EXPECT_NE(r.errors.find(name + ": the file exists (use --force"), std::string::npos);
            EXPECT_EQ(readFile(dir / name), "keep\n");
        }
        EXPECT_EQ(namesIn(dir), (std::vector<std::string>{" ", "net.dat ", "x "}));
    }
}

// Row 52: one file named twice is refused before anything is written, however it is named: two
// spellings, a hard or a symbolic link, numbered names that meet, standard output under its
// other name, an output that a network file of the run names, a numbered name that meets another
// output during the run.
TEST(CommandSafety, OneFileIsNeverTwoOutputs) {
    const struct {
        Program program;
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {kAnalysis, {"net.dat", "-o", "x", "--json", "./x"}, "./x and x are the same file"},
        {kAnalysis, {"net.dat", "-o", "x", "--json", "../d/x"}, "../d/x and x are the same file"},
        {kAnalysis, {"net.dat", "-o", "old", "--force", "--summary", "hard"},
         "hard and old are the same file"},
        {kAnalysis2, {"net.dat", "-o", "old", "--force", "--dot", "soft"},
         "soft and old are the same file"},
        {kAnalysis2, {"net.dat", "-o", "r{n}.txt", "--dot", "r{n}.txt"},
         "r1.txt: named by both --report and --dot"},
        {kAnalysis2, {"net.dat", "-o", "r{n}.txt", "--json", "r1.txt"},
         "r1.txt: named by both --json and --report"},
        {kAnalysis, {"net.dat", "--json", "/dev/stdout"},
         "both --report and --json would write to standard output"},
        {kAnalysis2, {"net.dat", "-o", "-", "--summary", "/dev/fd/1"},
         "both --report and --summary would write to standard output"},
        {kAnalysis, {"net.dat", "later.dat", "--json", "later.dat"},
         "later.dat: that is a network file being read"},
        {kAnalysis, {"net.dat", "net2.dat", "-o", "r{n}.txt", "--json", "r2.txt"},
         "r2.txt: named by both --json and --report"},
        {kEntry, {"--balance", "net.dat", "-o", "soft2"}, "soft2: that is a network file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        TempDir dir;
        fs::create_directory(dir / "d");
        const fs::path d = dir / "d";
        writeFile(d / "net.dat", network());
        writeFile(d / "net2.dat", network());
        writeFile(d / "old", "keep\n");
        fs::create_hard_link(d / "old", d / "hard");
        fs::create_symlink("old", d / "soft");
        fs::create_symlink("net.dat", d / "soft2");
        const std::vector<std::string> before = {"hard", "net.dat", "net2.dat",
                                                 "old",  "soft",    "soft2"};
        const RunResult r = runProgram(kExe[c.program], "", d, c.args);
        EXPECT_EQ(r.status, 2) << r.errors;
        EXPECT_NE(r.errors.find(c.error), std::string::npos) << r.errors;
        std::vector<std::string> after;
        for (const auto& e : fs::directory_iterator(d)) after.push_back(e.path().filename());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before);
        EXPECT_EQ(readFile(d / "old"), "keep\n");
        EXPECT_EQ(readFile(d / "net.dat"), network());
    }
}

// Row 53: an output that cannot be opened, or written in full, leaves every target as it was and
// no temporary file: a valid JSON file is not cut to its head, no head-only JSON or header-only CSV
// stays behind, and a balanced network cut short on a full disk is removed.
TEST(CommandSafety, NoOutputChangesWhenOneFails) {
    const std::string good = "{\"good\":true}\n";
    const struct {
        Program program;
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {kAnalysis, {"net.dat", "--json", "good.json", "--force", "--summary", "nodir/s.csv"},
         "nodir/s.csv: cannot be created: No such file or directory"},
        {kAnalysis2, {"net.dat", "-o", "rep.txt", "--json", "good.json", "--force", "--dot", "/dev/full"},
         "/dev/full: could not be written in full: No space left on device"},
        {kAnalysis, {"net.dat", "--json", "new.json", "--summary", "/dev/full", "-o", "/dev/null"},
         "/dev/full: could not be written in full"},
        // The picture of the second network cannot be created, in the middle of the run.
        {kAnalysis2, {"net.dat", "net.dat", "--json", "good.json", "--force", "--dot", "d{n}/p.dot"},
         "d2/p.dot: cannot be created: No such file or directory"},
        {kEntry, {"--balance", "net.dat", "-o", "/dev/full"}, "/dev/full: could not be written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        TempDir dir;
        writeFile(dir / "net.dat", network());
        writeFile(dir / "good.json", good);
        fs::create_directory(dir / "d1");
        const RunResult r = runIn(dir, c.program, c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.errors.find(c.error), std::string::npos) << r.errors;
        EXPECT_EQ(readFile(dir / "good.json"), good);
        EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"d1", "good.json", "net.dat"}));
        EXPECT_TRUE(fs::is_empty(dir / "d1"));
    }
    // A file-size limit of 0 stands for a full disk: the balanced network is not left cut short.
    TempDir dir;
    writeFile(dir / "net.dat", replaced(network(), entry(2, "4.0"), entry(2, "3.0")));
    // The limit holds for every write of the program: its messages go through a pipe.
    EXPECT_EQ(shell(dir, "trap \"\" XFSZ; (ulimit -f 0; $FE --balance net.dat -o out.dat -q; "
                         "echo \"[status $?]\") 2>&1 | cat > err.txt"),
              0);
    EXPECT_EQ(readFile(dir / "err.txt"),
              "flowentry: out.dat: could not be written in full: File too large\n[status 2]\n");
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"err.txt", "net.dat"}));
}

// Row 54: a run ended by a signal (here a pipe closed by its reader) leaves no temporary file and
// no output.
TEST(CommandSafety, ARunEndedByASignalLeavesNothing) {
    TempDir dir;
    fs::copy_file(fs::path(REFERENCE_DIR) / "flowanalysis2-web60/net.dat", dir / "net.dat");
    // The report, a megabyte, goes on after head has stopped reading: SIGPIPE ends the run.
    EXPECT_EQ(shell(dir, "set -o pipefail; $FA2 net.dat -q --json out.json | head -c 10 > "
                         "/dev/null; echo $? > status.txt"),
              0);
    EXPECT_EQ(readFile(dir / "status.txt"), "141\n");
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"net.dat", "status.txt"}));
}

// Row 55: flowentry on the command line reads a network file whole or not at all: where the dialog
// skips a record or takes a value as zero so that the user can mend it, the command line fails,
// and writes nothing, instead of checking or balancing another network than the file's.
TEST(CommandSafety, FlowentryReadsWholeOrNotAtAll) {
    // n compartments, all living, each with input 1 and respiration 1, and `flows` flow records
    // of 0 from compartment 1 to 2, then `rest`.
    auto manyFlows = [](int flows, const std::string& rest = kFlowTerm) {
        std::string file = title("MANY", " 3") + " 80 80\n";
        for (int i = 1; i <= 80; ++i) file += "C" + std::to_string(i) + "\n";
        file += kTerm;
        for (const char* unused : {"in", "ex"}) {
            (void)unused;
            for (int i = 1; i <= 80; ++i) file += entry(i, "1.0");
            file += kTerm;
        }
        file += kTerm;  // no respirations: inputs go out as exports
        for (int k = 0; k < flows; ++k) file += flow(1, 2, "0.0");
        return file + rest;
    };
    const std::string outOfRange = replaced(network(), flow(1, 2, "4.0"), flow(1, 3, "4.0"));
    const std::string negative = replaced(network(), entry(1, "6.0"), entry(1, "-6.0"));
    const std::string living = replaced(network(), "  2  1\n", "  2  3\n");
    const std::string cut = network().substr(0, network().find(kFlowTerm));
    // An input of 3E38 and a flow of 2E38 into compartment 1: its total input is beyond single
    // precision.
    const std::string huge = replaced(replaced(network(), entry(1, "10.0"), entry(1, "3E38")),
                                      flow(1, 2, "4.0"), flow(2, 1, "2E38") + flow(1, 2, "4.0"));
    const struct {
        std::string network, mode, error;
        int status;
    } cases[] = {
        {manyFlows(5001), "--check", ", line 5247: more than 5000 flow records", 2},
        {manyFlows(5001), "--balance", ", line 5247: more than 5000 flow records", 2},
        {manyFlows(5000), "--check", "", 0},
        {outOfRange, "--balance", ", line 12: compartment 3 is out of range 1 to 2", 2},
        {negative, "--balance", ", line 10: a negative value in the list of respirations", 2},
        {living, "--check", ", line 2: the number of living compartments, 3, is more than", 2},
        {cut, "--balance", ", line 13: the file ends before the end of the list of flows", 2},
        {huge, "--balance", ": the total input of compartment 1 goes beyond single precision", 2},
        {huge, "--check", ": the total input of compartment 1 goes beyond single precision", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode + " " + c.error);
        TempDir dir;
        writeFile(dir / "net.dat", c.network);
        std::vector<std::string> args = {c.mode, "net.dat"};
        if (c.mode == "--balance") args.insert(args.end(), {"-o", "out.dat", "-q"});
        const RunResult r = runIn(dir, kEntry, args);
        EXPECT_EQ(r.status, c.status) << r.errors;
        if (!c.error.empty()) {
            EXPECT_NE(r.errors.find("flowentry: net.dat" + c.error), std::string::npos)
                << r.errors;
        }
        EXPECT_FALSE(fs::exists(dir / "out.dat"));
    }
}

// Rows 56 and 57: a standard output that cannot be written (a full disk, a closed stream) is a
// failure, for --check, --help and --version too; an empty name is refused for every output.
TEST(CommandSafety, StandardOutputAndEmptyNames) {
    TempDir dir;
    writeFile(dir / "net.dat", network());
    const std::string commands[] = {
        "$FE --check net.dat > /dev/full", "$FE --help > /dev/full", "$FA --version > /dev/full",
        "$FA2 --help >&-",                 "$FA net.dat >&-",        "$FA2 net.dat -q > /dev/full",
    };
    for (const std::string& command : commands) {
        EXPECT_EQ(shell(dir, command + " 2> err.txt"), 2) << command;
        EXPECT_NE(readFile(dir / "err.txt").find(": standard output: could not be written in full"),
                  std::string::npos)
            << command;
    }
    for (const std::string option : {"--json", "--summary", "--dot", "-o"}) {
        const RunResult r = runIn(dir, kAnalysis, {"net.dat", option, ""});
        EXPECT_EQ(r.status, 2) << option;
        EXPECT_NE(r.errors.find(": an empty file name"), std::string::npos) << r.errors;
        EXPECT_EQ(r.console, "");
    }
}

// Row 58: the results agree with themselves. The JSON lists every problem, a failed picture among
// them; an output refused during the run is a problem of the output, not of the network file; in
// flowanalysis2 the numbers of the reports and of the pictures stay the same after an error line.
TEST(CommandSafety, TheResultsListEveryProblemAndNumberAlike) {
    TempDir dir;
    writeFile(dir / "net.dat", network());
    RunResult r = runIn(dir, kAnalysis, {"net.dat", "--json", "-", "--dot", "/dev/full"});
    EXPECT_EQ(r.status, 2);
    Json j = Json::parse(r.console);
    ASSERT_EQ(j["problems"].size(), 1u);
    EXPECT_EQ(j["problems"][0]["file"], nullptr);
    EXPECT_EQ(j["problems"][0]["status"], 2);
    EXPECT_EQ(j["problems"][0]["message"],
              "/dev/full: could not be written in full: No space left on device");

    // The second report's file exists: the run stops there, the second network file is no
    // problem of its own, and nothing is left but what was there.
    writeFile(dir / "net2.dat", network());
    writeFile(dir / "r2.txt", "keep\n");
    r = runIn(dir, kAnalysis, {"net.dat", "net2.dat", "-o", "r{n}.txt", "--json", "-"});
    EXPECT_EQ(r.status, 2);
    j = Json::parse(r.console);
    ASSERT_EQ(j["problems"].size(), 1u) << r.console;
    EXPECT_EQ(j["problems"][0]["file"], nullptr);
    EXPECT_EQ(j["problems"][0]["message"], "r2.txt: the file exists (use --force to replace it)");
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"net.dat", "net2.dat", "r2.txt"}));

    // a.dat: a network, then one whose input is negative (its report ends at the error line);
    // b.dat: one more network. Reports 1, 2, 3; pictures 1 and 3, each of its own network.
    const std::string bad = replaced(network("BAD"), entry(1, "10.0"), entry(1, "-1.0"));
    writeFile(dir / "a.dat", network("FIRST") + bad);
    writeFile(dir / "b.dat", network("THIRD"));
    r = runIn(dir, kAnalysis2,
              {"a.dat", "b.dat", "-q", "-o", "rep{n}.txt", "--dot", "pic{n}.dot", "--json", "-"});
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_NE(readFile(dir / "rep2.txt").find("0 ERROR INPUT VECTOR"), std::string::npos);
    EXPECT_NE(readFile(dir / "rep3.txt").find(" THIRD "), std::string::npos);
    EXPECT_NE(readFile(dir / "pic1.dot").find("label=\"FIRST\""), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "pic2.dot"));
    EXPECT_NE(readFile(dir / "pic3.dot").find("label=\"THIRD\""), std::string::npos);
    j = Json::parse(r.console);
    ASSERT_EQ(j["problems"].size(), 1u);
    EXPECT_EQ(j["problems"][0]["file"], "a.dat");
    EXPECT_EQ(j["problems"][0]["network"], 2);
    // The error line names the file, the line (the terminator of the inputs of the second
    // network: 13 records of the first, then title, counts, two names, the stock terminator,
    // the input and its terminator) and the network.
    EXPECT_EQ(r.errors,
              "flowanalysis2: a.dat, line 20 (network 2): 0 ERROR INPUT VECTOR CANNOT BE LESS "
              "THAN 0\n");
}

// Row 59: option errors say what was expected; in flowanalysis, whose cycle search has no
// threads, --threads is the uncertainty sampling's.
TEST(CommandSafety, OptionErrorsSayWhatWasExpected) {
    TempDir dir;
    writeFile(dir / "net.dat", network());
    RunResult r = runIn(dir, kAnalysis2, {"net.dat", "--threads", "abc"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.errors.find("--threads: 'abc' is not a whole number; expected a whole number of "
                            "threads from 1 to 1024"),
              std::string::npos)
        << r.errors;
    r = runIn(dir, kAnalysis2, {"net.dat", "--threads", "1025"});
    EXPECT_NE(r.errors.find("'1025' is out of range"), std::string::npos) << r.errors;
    r = runIn(dir, kAnalysis, {"net.dat", "--threads", "0"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(runIn(dir, kAnalysis, {"--help"}).console.find("threads of the uncertainty sampling"),
              std::string::npos);
}
