// Bad input, row by row of docs/bad-input.md: each program given the same bad network file, file
// name or console answer. Every case carries the number of its row in that table; rows that other
// tests cover are named there and not tested again here.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "flowentry.hpp"
#include "support/run.hpp"

using namespace flownet::testing;
namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------------------------
// Network files written by hand.

std::string title(const std::string& text, const std::string& k = "  ") {
    return text + std::string(78 - text.size(), ' ') + k + "\n";
}
std::string entry(int i, const std::string& value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3d%14s\n", i, value.c_str());
    return buf;
}
std::string flow(int i, int j, const std::string& value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3d%3d%14s\n", i, j, value.c_str());
    return buf;
}
const std::string kEnd = " -1\n", kFlowEnd = " -1 -1\n";

// The network the file cases start from, one record a line: plants (living) take in 10, respire
// 6 and pass 4 to detritus, which exports 4; stocks 5 and none; K blank. It is in steady state.
std::vector<std::string> baseRecords() {
    return {title("BASE"),     "  2  1\n", "PLANTS\n",      "DETRITUS\n", entry(1, "5.0"), kEnd,
            entry(1, "10.0"),  kEnd,       entry(2, "4.0"), kEnd,         entry(1, "6.0"), kEnd,
            flow(1, 2, "4.0"), kFlowEnd};
}

// The base network with record `line` (from 1) replaced by the text, which may hold several
// records; or its first `count` records only.
std::string baseWith(std::size_t line, const std::string& text) {
    std::vector<std::string> r = baseRecords();
    r[line - 1] = text;
    std::string file;
    for (const std::string& s : r) file += s;
    return file;
}
std::string baseUpTo(std::size_t count) {
    std::vector<std::string> r = baseRecords();
    std::string file;
    for (std::size_t k = 0; k < count; ++k) file += r[k];
    return file;
}
const std::string kBase = baseUpTo(14);

std::string withCarriageReturns(const std::string& text) {
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

// A network of n compartments with no values: title, counts, names, the stock terminator, then
// `rest`.
std::string emptyNetwork(int n, const std::string& rest) {
    std::string file = title("BIG");
    char counts[16];
    std::snprintf(counts, sizeof counts, "%3d%3d\n", n, n);
    file += counts;
    for (int i = 1; i <= n; ++i) file += "C" + std::to_string(i) + "\n";
    return file + kEnd + rest;
}

// The base network as flowentry writes it: the title padded with K = 0 in columns 79-80, the names
// in 25 columns, the values in E14.7, every list with its terminator.
const std::string kTitleWritten = "BASE" + std::string(74, ' ') + " 0\n";
const std::string kNamesWritten =
    "PLANTS" + std::string(19, ' ') + "\nDETRITUS" + std::string(17, ' ') + "\n";
const std::string kTerm = " -1  .0000000E+00\n", kFlowTerm = " -1 -1  .0000000E+00\n";
const std::string kBaseWritten = kTitleWritten + "  2  1\n" + kNamesWritten +
                                 "  1  .5000000E+01\n" + kTerm + "  1  .1000000E+02\n" + kTerm +
                                 "  2  .4000000E+01\n" + kTerm + "  1  .6000000E+01\n" + kTerm +
                                 "  1  2  .4000000E+01\n" + kFlowTerm;

// The end of flowentry's refusal of a file name.
const std::string kAnotherName = ". ENTER ANOTHER NAME.\n";

// The listing of two values under its heading, as the analysis report prints it.
std::string pair(const std::string& heading, const std::string& values) {
    return " " + heading + "\n\n\n           1        2   \n       " + values + "\n";
}

// ---------------------------------------------------------------------------------------------
// Running the programs. One column of the table per program.

enum Program { kAnalysis, kEntry, kAnalysis2, kPrograms };
const char* const kNames[kPrograms] = {"flowanalysis", "flowentry", "flowanalysis2"};
const char* const kExe[kPrograms] = {FLOWANALYSIS_EXE, FLOWENTRY_EXE, FLOWANALYSIS2_EXE};

// Everything a run produced, marked: "[console]...[errors]...[file]...[end]", where the file is
// the one the program was told to write (absent when it was not written).
struct Outcome {
    int status = -1;
    std::string errors, all;
};

// Runs the program with the answers in a fresh folder holding `network` as net.dat and an empty
// folder sub. The network file is never changed.
Outcome run(Program p, const std::string& answers, const std::string& network,
            const std::string& written) {
    TempDir dir;
    writeFile(dir / "net.dat", network);
    fs::create_directory(dir / "sub");
    RunResult r = runProgram(kExe[p], answers, dir.path());
    EXPECT_EQ(readFile(dir / "net.dat"), network) << "the network file was changed";
    Outcome o{r.status, r.errors, "[console]" + r.console + "[errors]" + r.errors};
    if (fs::exists(dir / written)) o.all += "[file]" + readFile(dir / written);
    o.all += "[end]";
    return o;
}

// How a program ends on a case: its exit status and pieces of text found in this order in the
// outcome. Status -1: the row is covered by another test.
struct Expect {
    int status = -1;
    std::vector<std::string> pieces;
    std::string absent = {};  // a text the outcome must not hold
};

void check(const Outcome& o, const Expect& e, const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(o.status, e.status) << o.all;
    std::size_t from = 0;
    for (const std::string& piece : e.pieces) {
        const std::size_t at = o.all.find(piece, from);
        if (at == std::string::npos) {
            ADD_FAILURE() << "not found in order: [" << piece << "]\nin: " << o.all;
            break;
        }
        from = at + piece.size();
    }
    if (!e.absent.empty()) {
        EXPECT_EQ(o.all.find(e.absent), std::string::npos) << o.all;
    }
    // A failure is told on standard error after the program's name, an orderly end never is.
    if (o.status == 2) {
        EXPECT_EQ(o.errors.rfind(what.substr(0, what.find(' ')) + ": ", 0), 0u) << o.errors;
    } else {
        EXPECT_EQ(o.errors, "");
    }
}

// flowanalysis2 shares the reading, the checks and the dialogs of flowanalysis: on a network file
// of one network it ends as flowanalysis does, with its own name and its limit of 128.
Expect asAnalysis2(Expect e) {
    auto rename = [](std::string& text) {
        for (auto [from, to] :
             {std::pair<std::string, std::string>{"flowanalysis:", "flowanalysis2:"},
              {"MAX= 80", "MAX=128"}}) {
            for (std::size_t at = text.find(from); at != std::string::npos;
                 at = text.find(from, at + to.size())) {
                text.replace(at, from.size(), to);
            }
        }
    };
    for (std::string& piece : e.pieces) rename(piece);
    rename(e.absent);
    return e;
}

// Runs the cases of flowanalysis against flowanalysis2 too, unless the case says otherwise.
void checkBoth(Program p, const std::string& answers, const std::string& network,
               const std::string& written, const Expect& e, const std::string& row) {
    check(run(p, answers, network, written), e, std::string(kNames[p]) + " row " + row);
    if (p == kAnalysis) {
        check(run(kAnalysis2, answers, network, written), asAnalysis2(e),
              std::string(kNames[kAnalysis2]) + " row " + row);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Bad network files: flowanalysis and flowanalysis2 read net.dat and write rep.txt; flowentry loads
// net.dat without changes, declines the balancing if asked, and writes out.dat.

TEST(BadInput, NetworkFiles) {
    const std::string answers[kPrograms] = {"net.dat\ny\nrep.txt\ny\n",
                                            "2\nnet.dat\nn\nout.dat\nout.dat\n",
                                            "net.dat\ny\nrep.txt\ny\n"};
    const std::string written[kPrograms] = {"rep.txt", "out.dat", "rep.txt"};
    const std::string echo = "\n\n BASE" + std::string(74, ' ') + "\n\n";
    const std::string ends = "the file ends before the end of the list of ";
    const std::string nan = "not a single-precision number '";
    struct Case {
        const char* row;
        std::string file;
        Expect expect[kPrograms];
    } cases[] = {
        {"2",
         "",
         {{},
          {2, {"[errors]flowentry: net.dat, line 1: the file ends before the counts record\n"}}}},
        {"3",
         baseUpTo(1),
         {{0, {"[file]" + echo + "[end]"}},
          {2, {"[errors]flowentry: net.dat, line 2: the file ends before the counts record\n"}}}},
        {"4",
         baseUpTo(3),
         {{},
          {0,
           {"[file]" + kTitleWritten + "  2  1\nPLANTS" + std::string(19, ' ') + "\n" +
            std::string(25, ' ') + "\n" + kTerm + kTerm + kTerm + kTerm + kFlowTerm + "[end]"}}}},
        {"5 stocks",
         baseUpTo(5),
         {{2, {"[errors]flowanalysis: net.dat, line 6: " + ends + "standing stocks\n"}},
          {0, {"  1  .5000000E+01\n" + kTerm + kTerm + kTerm + kTerm + kFlowTerm + "[end]"}}}},
        {"5 inputs",
         baseUpTo(7),
         {{2, {"[errors]flowanalysis: net.dat, line 8: " + ends + "inputs\n"}},
          {0, {"  1  .1000000E+02\n" + kTerm + kTerm + kTerm + kFlowTerm + "[end]"}}}},
        {"5 exports",
         baseUpTo(9),
         {{2, {"[errors]flowanalysis: net.dat, line 10: " + ends + "exports\n"}},
          {0, {"  2  .4000000E+01\n" + kTerm + kTerm + kFlowTerm + "[end]"}}}},
        {"5 respirations",
         baseUpTo(11),
         {{2, {"[errors]flowanalysis: net.dat, line 12: " + ends + "respirations\n"}},
          {0, {"  1  .6000000E+01\n" + kTerm + kFlowTerm + "[end]"}}}},
        {"5 flows",
         baseUpTo(13),
         {{2, {"[errors]flowanalysis: net.dat, line 14: " + ends + "flows\n"}},
          {0, {"[file]" + kBaseWritten + "[end]"}}}},
        {"6 value",
         baseWith(7, entry(1, "1O.0")),
         {{},
          {2,
           {"[errors]flowentry: net.dat, line 7: " + nan + "          1O.0' in columns 4-17\n"}}}},
        {"6 number",
         baseWith(5, " 1a           5.0\n"),
         {{2, {"[errors]flowanalysis: net.dat, line 5: not an integer ' 1a' in columns 1-3\n"}},
          {2,
           {"    \n ERROR ENTERING STANDING STOCKS...BEGIN AGAIN.\n[errors]flowentry: net.dat, "
            "line 5: not an integer ' 1a' in columns 1-3\n"}}}},
        {"6 counts",
         baseWith(2, "  2  x\n"),
         {{},
          {2,
           {"    \n ERROR - COMPARTMENT ID MUST BE AN INTEGER < OR =  0\n[errors]flowentry: "
            "net.dat, line 2: not an integer '  x' in columns 4-6\n"}}}},
        {"6 K",
         baseWith(1, title("BASE", "ab")),
         {{}, {2, {"[errors]flowentry: net.dat, line 1: not an integer 'ab' in columns 79-80\n"}}}},
        {"7 number",
         baseWith(7, "  1\t10.0\n"),
         {{2, {"flowanalysis: net.dat, line 7: " + nan + "\t10.0         ' in columns 4-17\n"}},
          {2, {"flowentry: net.dat, line 7: " + nan + "\t10.0         ' in columns 4-17\n"}}}},
        {"7 name",
         baseWith(3, "PLANTS\tTAB\n"),
         {{0, {"  1  PLANTS\tTAB" + std::string(15, ' ') + "\n"}},
          {0, {"  2  1\nPLANTS\tTAB" + std::string(15, ' ') + "\nDETRITUS"}}}},
        {"8", withCarriageReturns(kBase), {{}, {0, {"[file]" + kBaseWritten + "[end]"}}}},
        {"9",
         baseWith(3, "PLANTS" + std::string(1 << 20, 'x') + "\n"),
         {{0,
           {"  1  PLANTS" + std::string(19, 'x') +
            "\n\n NON-LIVING COMPARTMENTS\n\n  2  DETRITUS"}},
          {0,
           {"[file]" + kTitleWritten + "  2  1\nPLANTS" + std::string(19, 'x') + "\nDETRITUS"}}}},
        {"10 name",
         baseWith(4, "DETR\x80\xfe\xff\x01\n"),
         {{0, {"  2  DETR\x80\xfe\xff\x01" + std::string(17, ' ') + "\n"}},
          {0, {"\nDETR\x80\xfe\xff\x01" + std::string(17, ' ') + "\n  1  .5"}}}},
        {"10 number",
         baseWith(9, "  2\x80\xfe\xff\n"),
         {{2, {"flowanalysis: net.dat, line 9: " + nan + "\x80\xfe\xff           '"}},
          {2, {"flowentry: net.dat, line 9: " + nan + "\x80\xfe\xff           '"}}}},
        {"11 name",
         baseWith(3, std::string("PLA\0NTS\n", 8)),
         {{0, {std::string("  1  PLA\0NTS", 12) + std::string(18, ' ') + "\n"}},
          {0, {std::string("  2  1\nPLA\0NTS", 14) + std::string(18, ' ') + "\n"}}}},
        {"11 number",
         baseWith(11, std::string("  16.0\0\n", 8)),
         {{2, {"flowanalysis: net.dat, line 11: " + nan + std::string("6.0\0", 4)}},
          {2, {"flowentry: net.dat, line 11: " + nan + std::string("6.0\0", 4)}}}},
        {"12",
         baseWith(11, entry(1, "1E39")),
         {{}, {2, {"flowentry: net.dat, line 11: " + nan + "          1E39' in columns 4-17\n"}}}},
        // Each value fits single precision, the sums do not: inflow and outflow are Inf, their
        // difference NaN, which is no steady state.
        {"12 sums",
         title("HUGE") + "  1  1\nA\n" + kEnd + entry(1, "3.0E38") + kEnd + entry(1, "3.0E38") +
             kEnd + kEnd + flow(1, 1, "3.0E38") + kFlowEnd,
         {{0,
           {" WARNING! - NETWORK IS NON STEADY-STATE!\n",
            "   1       Inf         Inf          NaN\n"},
           "COMPARTMENTAL THROUGHPUTS"},
          {0,
           {" SYSTEM IS NOT IN STEADY STATE. ",
            "              1       Inf         Inf          NaN\n", "  1  1  .3000000E+39\n"},
           "STEADY-STATE."}}},
        {"13 zero",
         baseWith(7, entry(1, "1E-46")),
         {{0, {pair("INPUT VECTOR", ".000E+00 .000E+00")}},
          {0, {"  1  .5000000E+01\n" + kTerm + kTerm + "  2  .4000000E+01\n"}}}},
        {"13 subnormal",
         baseWith(7, entry(1, "1E-40")),
         {{0, {pair("INPUT VECTOR", ".100E-39 .000E+00")}},
          {0, {kTerm + "  1  .9999946E-40\n" + kTerm}}}},
        {"14",
         baseWith(9, entry(2, "-0.0")),
         {{0, {pair("EXPORT VECTOR", ".000E+00 .000E+00"), " RESPIRATION VECTOR"}, "0 ERROR"},
          {0, {"  1  .1000000E+02\n" + kTerm + kTerm + "  1  .6000000E+01\n"}, "NON-NEGATIVE"}}},
        {"15 NaN",
         baseWith(11, entry(1, "NaN")),
         {{2, {"flowanalysis: net.dat, line 11: " + nan + "           NaN' in columns 4-17\n"}},
          {2, {"flowentry: net.dat, line 11: " + nan + "           NaN' in columns 4-17\n"}}}},
        {"15 Inf",
         baseWith(13, flow(1, 2, "-Inf")),
         {{2, {"flowanalysis: net.dat, line 13: " + nan + "          -Inf' in columns 7-20\n"}},
          {2, {"flowentry: net.dat, line 13: " + nan + "          -Inf' in columns 7-20\n"}}}},
        {"16",
         baseWith(13, flow(1, 0, "4.0")),
         {{},
          {0, {"    \n LINE    13: COMPARTMENT   0 OUT OF RANGE 1 TO   2. RECORD SKIPPED.\n"}}}},
        {"18",
         emptyNetwork(80, entry(81, "1.0") + kEnd + kEnd + kEnd + kFlowEnd),
         {{0, {"0 ERROR COMPARTMENT NUMBER  81 OUT OF RANGE 1 TO  80\n[end]"}},
          {0, {"    \n LINE    84: COMPARTMENT  81 OUT OF RANGE 1 TO  80. RECORD SKIPPED.\n"}}}},
        // Row 126 of the extended matrix of 125 compartments holds the inputs.
        {"19",
         emptyNetwork(125, kEnd + kEnd + kEnd + flow(126, 1, "7.0") + kFlowEnd),
         {{0, {" NUMBER OF COMPARTMENTS IS  125\n0 ERROR NUMBER OF COMPARTMENTS MAX= 80\n[end]"}},
          {0,
           {"    \n LINE   132: COMPARTMENT 126 OUT OF RANGE 1 TO 125. RECORD SKIPPED.\n",
            "C125" + std::string(21, ' ') + "\n" + kTerm + kTerm + kTerm + kTerm + kFlowTerm +
                "[end]"}},
          {0,
           {" NUMBER OF COMPARTMENTS IS  125\n",
            "0 ERROR COMPARTMENT NUMBER 126 OUT OF RANGE 1 TO 125\n[end]"}}}},
        {"20",
         baseWith(7, entry(129, "1.0") + entry(999, "1.0") + entry(1, "10.0")),
         {{0, {"0 ERROR COMPARTMENT NUMBER 129 OUT OF RANGE 1 TO   2\n[end]"}},
          {0,
           {" LINE     7: COMPARTMENT 129 OUT OF RANGE 1 TO   2. RECORD SKIPPED.\n",
            " LINE     8: COMPARTMENT 999 OUT OF RANGE 1 TO   2. RECORD SKIPPED.\n",
            "[file]" + kBaseWritten + "[end]"}}}},
        {"21 999",
         baseWith(2, "999  1\n"),
         {{0, {" NUMBER OF COMPARTMENTS IS  999\n0 ERROR NUMBER OF COMPARTMENTS MAX= 80\n[end]"}},
          {2,
           {"    \n THE NUMBER OF COMPARTMENTS MUST BE FROM 1 TO 125.\n[errors]flowentry: net.dat, "
            "line 2: the number of compartments must be from 1 to 125\n"}}}},
        {"21 -5",
         baseWith(2, " -5  1\n"),
         {{0,
           {" NUMBER OF COMPARTMENTS IS   -5\n0 ERROR NUMBER OF COMPARTMENTS MUST BE AT LEAST "
            "1\n[end]"}},
          {2, {" THE NUMBER OF COMPARTMENTS MUST BE FROM 1 TO 125.\n[errors]"}}}},
        {"21 0",
         baseWith(2, "  0  0\n"),
         {{}, {2, {" THE NUMBER OF COMPARTMENTS MUST BE FROM 1 TO 125.\n[errors]"}}}},
        {"22 above",
         baseWith(2, "  2  3\n"),
         {{},
          {0,
           {"    \n LIVING COMPARTMENTS   3 ARE MORE THAN N. ALL   2 TAKEN AS LIVING.\n",
            "[file]" + kTitleWritten + "  2  2\n"}}}},
        {"22 negative",
         baseWith(2, "  2 -3\n"),
         {{0,
           {" NUMBER OF COMPARTMENTS IS    2\n\n LIVING COMPARTMENTS\n\n  1  PLANTS" +
            std::string(19, ' ') + "\n  2  DETRITUS"}},
          {0, {"[file]" + kTitleWritten + "  2 -3\n"}}}},
        {"23",
         baseWith(7, entry(1, "3.0") + entry(1, "10.0")),
         {{}, {0, {"[file]" + kBaseWritten + "[end]"}}}},
        {"24",
         kBase + "JUNK\nMORE JUNK\n",
         {{0,
           {"\n\n JUNK" + std::string(74, ' ') +
            "\n\n0 ERROR NUMBER OF COMPARTMENTS MAX= 80\n[end]"}},
          {0, {"[file]" + kBaseWritten + "[end]"}},
          // The junk is the title of another network, which asks for a report file of its own.
          {2,
           {" Output filename", " Output filename",
            "[errors]flowanalysis2: the console input ended where an answer was expected\n"}}}},
        {"26",
         baseWith(5, entry(1, "-5.0")),
         {{},
          {2,
           {"    \n ERROR ENTERING STANDING STOCKS...BEGIN AGAIN.\n[errors]flowentry: net.dat, "
            "line 5: a standing stock is negative\n"}}}},
    };
    for (const Case& c : cases) {
        for (int p = 0; p < kPrograms; ++p) {
            const Expect e = p == kAnalysis2 && c.expect[p].status < 0
                                 ? asAnalysis2(c.expect[kAnalysis])
                                 : c.expect[p];
            if (e.status < 0) continue;
            check(run(Program(p), answers[p], c.file, written[p]), e,
                  std::string(kNames[p]) + " row " + c.row);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Names of files that cannot be read or written. flowanalysis fails with status 2; flowentry asks
// for another name rather than lose the network it holds.

TEST(BadInput, FileNames) {
    // A folder in which nobody can create a file: for root, a folder of the system.
    TempDir locked;
    std::string noWrite = (locked / "rep.txt").string();
    if (::geteuid() == 0) {
        noWrite = "/sys/flownet-rep.txt";
    } else {
        fs::permissions(locked.path(), fs::perms::owner_read | fs::perms::owner_exec);
    }
    const std::string entry = "2\nnet.dat\nn\n";  // flowentry: the name of the file to write next
    struct Case {
        const char* row;
        Program p;
        std::string answers;
        Expect expect;
    } cases[] = {
        {"28",
         kEntry,
         "2\nsub\nnet.dat\nn\nout.dat\n",
         {0, {"    \n FILE sub DOES NOT EXIST" + kAnotherName, "[file]" + kBaseWritten}}},
        {"29",
         kAnalysis,
         "/proc/self/mem\ny\nout.dat\ny\n",
         {2, {"[errors]flowanalysis: /proc/self/mem, line 1: the file cannot be read\n"}}},
        {"29",
         kEntry,
         "2\n/proc/self/mem\nn\nout.dat\n",
         {2, {"[errors]flowentry: /proc/self/mem, line 1: the file cannot be read\n"}}},
        {"30",
         kAnalysis,
         "net.dat\ny\n   \ny\n",
         {2, {"[errors]flowanalysis: a blank name: the report file cannot be opened for writing"}}},
        {"30",
         kEntry,
         "2\n   \nnet.dat\nn\n \nout.dat\n",
         {0,
          {"    \n FILE  DOES NOT EXIST" + kAnotherName,
           "    \n FILE  CANNOT BE CREATED (the file name is blank)" + kAnotherName,
           "[file]" + kBaseWritten}}},
        {"31",
         kEntry,
         entry + "no/such/out.dat\nout.dat\n",
         {0,
          {"    \n FILE no/such/out.dat CANNOT BE CREATED (No such file or directory)" +
               kAnotherName,
           "[file]" + kBaseWritten}}},
        {"32",
         kAnalysis,
         "net.dat\ny\n" + noWrite + "\ny\n",
         {2, {"[errors]flowanalysis: " + noWrite + ": the report file cannot be opened"}}},
        {"32",
         kEntry,
         entry + noWrite + "\nout.dat\n",
         {0,
          {"    \n FILE " + noWrite + " CANNOT BE CREATED (", kAnotherName,
           "[file]" + kBaseWritten}}},
        {"33",
         kAnalysis,
         "net.dat\ny\n/dev/full\ny\n",
         {2, {"[errors]flowanalysis: /dev/full: the report could not be written in full\n"}}},
    };
    for (const Case& c : cases) checkBoth(c.p, c.answers, kBase, "out.dat", c.expect, c.row);
}

// A full disk, made by a limit on the size of the files the run may write: the network file that
// cannot be written in full is removed, and flowentry asks for another name (the answers then
// end).
namespace {

// Runs flowentry in the folder with the files it writes limited to 200 bytes (the network takes
// more than 300), then writes its console and its errors to standard error and exits with its
// status.
[[noreturn]] void enterOnAFullDisk(const fs::path& folder) {
    if (::chdir(folder.c_str()) != 0) std::exit(3);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit full{200, limit.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &full);
    std::istringstream in("2\nnet.dat\nn\nout.dat\n");
    std::ostringstream console, errors;
    const int status = flownet::runFlowentry(in, console, errors);
    ::setrlimit(RLIMIT_FSIZE, &limit);  // standard error, where the test reads them, is a file
    std::cerr << console.str() << errors.str();
    std::exit(status);
}

}  // namespace

TEST(BadInput, FullDiskWhenFlowentryWritesTheNetwork) {
    TempDir dir;
    writeFile(dir / "net.dat", kBase);
    EXPECT_EXIT(enterOnAFullDisk(dir.path()), ::testing::ExitedWithCode(2),
                "FILE out.dat CANNOT BE CREATED \\(File too large\\)\\. ENTER ANOTHER NAME\\.\n"
                "           ENTER THE NAME OF A FILE IN WHICH YOU WISH");
    EXPECT_FALSE(fs::exists(dir / "out.dat"));
}

// ---------------------------------------------------------------------------------------------
// Console answers.

TEST(BadInput, ConsoleAnswers) {
    // Keyboard entry of one compartment, every line ended by CR LF: counts 999 and -5, a count of
    // 10,000 digits and "1<tab>7" (1 compartment); stock NaN refused and -0 taken; compartments
    // 126, 999 and 0 refused at "INPUT TO ?", values Inf and 1E39 refused; input and export 5.
    std::string typed;
    for (const std::string& a :
         {std::string("1"),        std::string("T"),     std::string("999"),  std::string("-5"),
          std::string(10000, '9'), std::string("1\t7"),  std::string("1"),    std::string("A"),
          std::string("NaN"),      std::string("-0"),    std::string("n"),    std::string("0"),
          std::string("126"),      std::string("999"),   std::string("0"),    std::string("1"),
          std::string("Inf"),      std::string("1E39"),  std::string("5"),    std::string("-1"),
          std::string("n"),        std::string("1"),     std::string("5"),    std::string("-1"),
          std::string("n"),        std::string("-1"),    std::string("n"),    std::string("-1"),
          std::string("n"),        std::string("t.dat"), std::string("f.dat")}) {
        typed += a + "\r\n";
    }
    const std::string countError = "    \n THE NUMBER OF COMPARTMENTS MUST BE FROM 1 TO 125.\n";
    const std::string idError = "    \n ERROR - COMPARTMENT ID MUST BE AN INTEGER < OR =";
    const std::string valueError = "    \n ERROR - INCORRECT ENTRY ... PLEASE RE-ENTER...\n";
    const std::string stored = "[file]T" + std::string(77, ' ') + " 6\n  1  1\nA" +
                               std::string(24, ' ') + "\n" + kTerm + "  1  .5000000E+01\n" + kTerm +
                               "  1  .5000000E+01\n" + kTerm + kTerm + kFlowTerm + "[end]";
    struct Case {
        const char* row;
        Program p;
        std::string answers, written;
        Expect expect;
    } cases[] = {
        {"35",
         kAnalysis,
         std::string(10000, 'x') + "\nn\nnet.dat\n" + std::string(10000, 'y') + "\nrep.txt\ny\n",
         "rep.txt",
         {0,
          {"\n " + std::string(41, 'x') + "\n does not exist!\n", " is to be read. OK? (y/n)",
           "[file]\n\n BASE"}}},
        {"35",
         kEntry,
         "2\n" + std::string(10000, 'z') + "\nnet.dat\nn\nout.dat\n",
         "out.dat",
         {0, {" FILE " + std::string(64, 'z') + " DOES NOT EXIST.", "[file]" + kBaseWritten}}},
        {"35",
         kEntry,
         std::string(10000, '1') + "\n",
         "out.dat",
         {2, {"[errors]flowentry: the method of data entry must be given as a whole number\n"}}},
        {"36-38",
         kEntry,
         typed,
         "f.dat",
         {0,
          {countError, countError, idError + "  0\n",
           "    \n ERROR ENTERING STANDING STOCKS...BEGIN AGAIN.\n", idError + "  1\n",
           idError + "  1\n", idError + "  1\n", valueError, valueError, "t.dat", stored}}},
        {"38", kAnalysis, "net.dat\r\ny\r\nrep.txt\r\ny\r\n", "rep.txt", {0, {"[file]\n\n BASE"}}},
        {"39",
         kAnalysis,
         "net.dat\ny\n" + std::string("net.dat\0x", 9) + "\ny\ny\nrep.txt\ny\n",
         "rep.txt",
         {0,
          {" That is the network file being read; it cannot be the output file.\n",
           "[file]\n\n BASE"}}},
        // The name as the system sees it ends at the NUL, without the blanks before it.
        {"39",
         kEntry,
         "2\nnet.dat\nn\n" + std::string("net.dat\0x\nout.dat  \0x\n", 22),
         "out.dat",
         {0, {" FILE net.dat ALREADY EXISTS" + kAnotherName, "[file]" + kBaseWritten}}},
    };
    for (const Case& c : cases) checkBoth(c.p, c.answers, kBase, c.written, c.expect, c.row);
}

// The answers end after each of the answers of a run that meets every kind of question: the run
// fails with status 2 and its message, writes nothing, and never waits for more.
TEST(BadInput, EndOfInputAtEveryQuestion) {
    struct Script {
        Program p;
        std::vector<std::string> answers;
        const char* written;
    } scripts[] = {
        // A missing name, a refusal, the network file refused as the output and then named and
        // confirmed twice as the output, a new report.
        {kAnalysis,
         {"none.dat", "n", "net.dat", "n", "n", "net.dat", "y", "net.dat", "n", "n", "net.dat", "y",
          "y", "rep.txt", "y"},
         "rep.txt"},
        // Keyboard entry of two compartments with a stock change, every list, a flow 1 -> 2 that
        // leaves the network out of steady state, the temporary copy and the final file.
        {kEntry,
         {"1",  "T",  "2", "1", "A",  "B", "1",  "1", "y",     "2", "3",
          "-1", "0",  "1", "5", "-1", "n", "1",  "1", "-1",    "n", "2",
          "1",  "-1", "n", "1", "2",  "3", "-1", "n", "t.dat", "n", "f.dat"},
         "f.dat"},
        // flowanalysis2: the report question comes after the title has been read.
        {kAnalysis2,
         {"none.dat", "n", "net.dat", "y", "net.dat", "y", "y", "rep.txt", "y"},
         "rep.txt"},
        // The base network edited: every change question answered, the precision changed.
        {kEntry, {"2", "net.dat", "y", "n", "y", "0", "n", "n", "n", "n", "f.dat"}, "f.dat"},
    };
    for (const Script& s : scripts) {
        std::string answers;
        for (std::size_t k = 0; k <= s.answers.size(); ++k) {
            SCOPED_TRACE(std::string(kNames[s.p]) + " after " + std::to_string(k) + " answers");
            const Outcome o = run(s.p, answers, kBase, s.written);
            if (k == s.answers.size()) {
                EXPECT_EQ(o.status, 0) << o.all;
                EXPECT_NE(o.all.find("[file]"), std::string::npos);
                break;
            }
            EXPECT_EQ(o.status, 2) << o.all;
            EXPECT_EQ(o.errors, std::string(kNames[s.p]) +
                                    ": the console input ended where an answer was expected\n");
            EXPECT_EQ(o.all.find("[file]"), std::string::npos);
            answers += s.answers[k] + "\n";
        }
    }
}
