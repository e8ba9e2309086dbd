// Bad input, row by row of docs/bad-input.md: each program given the same bad network file, file
// name or console answer. Every case carries the numbers of its rows in that table; rows that
// other tests cover are named there and not tested again here. flowanalysis2 shares the reading,
// the checks and the dialogs of flowanalysis, and runs every flowanalysis case too.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/expect.hpp"

using namespace flownet::testing;
namespace fs = std::filesystem;

namespace {

// The network the file cases start from, one record a line: plants (living) take in 10, respire
// 6 and pass 4 to detritus, which exports 4; stocks 5 and none; K blank. It is in steady state.
const std::vector<std::string> kBase = {
    title("BASE"),   "  2  1\n",       "PLANTS\n",        "DETRITUS\n",    entry(1, "5.0"),
    " -1\n",         entry(1, "10.0"), " -1\n",           entry(2, "4.0"), " -1\n",
    entry(1, "6.0"), " -1\n",          flow(1, 2, "4.0"), " -1 -1\n"};

// The same network as flowentry writes it, record by record: K = 0 in columns 79-80, the names
// in 25 columns, the values in E14.7, every list with its terminator.
const std::vector<std::string> kWritten = {
    title("BASE", " 0"),        "  2  1\n", padded("PLANTS"),         padded("DETRITUS"),
    entry(1, ".5000000E+01"),   kTerm,      entry(1, ".1000000E+02"), kTerm,
    entry(2, ".4000000E+01"),   kTerm,      entry(1, ".6000000E+01"), kTerm,
    flow(1, 2, ".4000000E+01"), kFlowTerm};

// The first `count` records, with record `line` (from 1) replaced by the text.
std::string join(const std::vector<std::string>& records, std::size_t line = 0,
                 const std::string& text = {}, std::size_t count = 14) {
    std::string file;
    for (std::size_t k = 0; k < count; ++k) file += k + 1 == line ? text : records[k];
    return file;
}
const std::string kBaseFile = join(kBase), kWrittenFile = "[file]" + join(kWritten) + "[end]";

// A network of n compartments (all living) with no values: title, counts, names, the stock
// terminator, then `rest`.
std::string emptyNetwork(int n, const std::string& rest) {
    std::string file = title("BIG") + flow(n, n, "").substr(0, 6) + "\n";
    for (int i = 1; i <= n; ++i) file.append("C").append(std::to_string(i)).append("\n");
    return file + " -1\n" + rest;
}

const std::string kStockError = "    \n ERROR ENTERING STANDING STOCKS...BEGIN AGAIN.\n";
const std::string kCountError = "    \n THE NUMBER OF COMPARTMENTS MUST BE FROM 1 TO 125.\n";
const std::string kAnother = ". ENTER ANOTHER NAME.\n";

}  // namespace

// Bad network files: flowanalysis and flowanalysis2 read net.dat and write rep.txt; flowentry
// loads net.dat without changes, declines the balancing if asked, and writes out.dat.
TEST(BadInput, NetworkFiles) {
    const std::string answers[kPrograms] = {"net.dat\ny\nrep.txt\ny\n",
                                            "2\nnet.dat\nn\nout.dat\nout.dat\n",
                                            "net.dat\ny\nrep.txt\ny\n"};
    // Each case: its rows, the file, and how flowanalysis, flowentry and flowanalysis2 end (""
    // for nothing expected; flowanalysis2 as flowanalysis when not given).
    const auto row = [&answers](const std::string& rows, const std::string& file,
                                const std::string& a, const std::string& e, std::string a2 = {}) {
        const std::string expect[kPrograms] = {a, e, a2.empty() ? a : a2};
        for (int p = 0; p < kPrograms; ++p) {
            SCOPED_TRACE(kProgramNames[p] + " rows " + rows);
            if (!expect[p].empty()) check(runOn(Program(p), file, answers[p]), expect[p]);
        }
    };
    // Rows 7-11, 13, 14, 22, 23: a network that is odd but valid, every line ended by CR LF: a
    // tab in the title; NL = -3, which the analysis programs read as all living; a first name
    // with a NUL and a tab on a line of 100,000 characters, cut to its first 25 columns (the next
    // line is the next record); binary bytes in the second name; input 3 given again as 10;
    // export -0.0 (zero, no warning, not written); respiration 1E-40, read as 9.999946E-41;
    // flow 1E-46, read as 0.
    const std::string name1 = std::string("PLA\0NTS\tTAB", 11) + std::string(14, 'x');
    const std::string name2 = "DETR\x80\xfe\xff\x01";
    row("7-11, 13, 14, 22, 23",
        crlf(title("BA\tSE") + "  2 -3\n" + name1 + std::string(100000, 'x') + "\n" + name2 + "\n" +
             entry(1, "5.0") + " -1\n" + entry(1, "3.0") + entry(1, "10.0") + " -1\n" +
             entry(2, "4.0") + entry(1, "-0.0") + " -1\n" + entry(1, "6.0") + entry(2, "1E-40") +
             " -1\n" + flow(1, 2, "4.0") + flow(2, 2, "1E-46") + " -1 -1\n"),
        "0|\n\n BA\tSE" + std::string(73, ' ') + "\n\n NUMBER OF COMPARTMENTS IS    2\n\n" +
            " LIVING COMPARTMENTS\n\n  1  " + padded(name1) + "  2  " + padded(name2) +
            "|       .100E+02 .000E+00\n|       .000E+00 .400E+01\n|       .600E+01 .100E-39\n"
            "|   2   .000E+00 .000E+00\n|#0#0 ERROR",
        "0|[file]" + title("BA\tSE", " 0") + "  2 -3\n" + padded(name1) + padded(name2) +
            entry(1, ".5000000E+01") + kTerm + entry(1, ".1000000E+02") + kTerm +
            entry(2, ".4000000E+01") + kTerm + entry(1, ".6000000E+01") + entry(2, ".9999946E-40") +
            kTerm + flow(1, 2, ".4000000E+01") + kFlowTerm + "[end]|#0#NON-NEGATIVE");
    // Rows 16, 17, 20, 26, and file editing without changes, K = 6: every part is listed and
    // nothing asked. Input -2.5 for 3 and flow -0.5 from 3 to 4 are set to 0 with a warning;
    // input records for 129, 999 and 7 and a flow to 0 are skipped (the analysis programs stop
    // at the first). Flows 5 from 1 to 2, 1 back, 4 from 2 to 3 are written by source, then by
    // receiver. 1 to 3 balance exactly; 4 takes in 2E-6 and exports 1E-6, which differ by
    // exactly the tolerance 1E-6.
    row("16, 17, 20, 26",
        title("FOUR BOXES", " 6") + "  4  3\nA\nB\nC\nD\n" + entry(1, "10.0") + entry(4, "4.0") +
            kTerm + entry(1, "5.0") + entry(3, "-2.5") + entry(129, "1.0") + entry(999, "1.0") +
            entry(7, "1.0") + entry(4, "2.0E-6") + kTerm + entry(1, "1.0") + entry(4, "1.0E-6") +
            kTerm + entry(3, "4.0") + kTerm + flow(1, 2, "5.0") + flow(2, 1, "1.0") +
            flow(2, 3, "4.0") + flow(3, 4, "-0.5") + flow(1, 0, "4.0") + kFlowTerm,
        "0|0 ERROR COMPARTMENT NUMBER 129 OUT OF RANGE 1 TO   4\n[end]",
        "0|\n CURRENT PRECISION =   .100E-05\n|CHANGE   3\n|    \n LINE    12: COMPARTMENT 129 OUT "
        "OF RANGE 1 TO   4. RECORD SKIPPED.\n| LINE    13: COMPARTMENT 999| LINE    14: "
        "COMPARTMENT   7|       .500E+01 .000E+00 .000E+00 .200E-05\n|CHANGE   3  4\n| LINE    "
        "26: COMPARTMENT   0|\n SYSTEM IS IN STEADY-STATE.\n|" +
            padded("D") + entry(1, ".1000000E+02") + entry(4, ".4000000E+01") + kTerm +
            entry(1, ".5000000E+01") + entry(4, ".2000000E-05") + kTerm + entry(1, ".1000000E+01") +
            entry(4, ".1000000E-05") + kTerm + entry(3, ".4000000E+01") + kTerm +
            flow(1, 2, ".5000000E+01") + flow(2, 1, ".1000000E+01") + flow(2, 3, ".4000000E+01") +
            kFlowTerm + "[end]|#0#CHANGES (Y/N) ?|#0#BALANCED?");
    // Rows 8b, 8c: line ends of a lone CR, and a byte-order mark before a title whose K is 3: the
    // network is read as it stands, K from columns 79-80.
    std::string oldMac = kBaseFile;
    std::replace(oldMac.begin(), oldMac.end(), '\n', '\r');
    const std::string echo = "0|[file]\n\n BASE" + std::string(74, ' ') + "\n|CONNECTANCE";
    row("8b", oldMac, echo, "0|" + kWrittenFile);
    row("8c", "\xEF\xBB\xBF" + join(kBase, 1, title("BASE", " 3")), echo,
        "0|[file]" + join(kWritten, 1, title("BASE", " 3")) + "[end]");
    // Row 9: a line longer than any record or answer can be, as a device without line ends
    // would give, ends the run at that line.
    const std::string tooLong =
        "2|net.dat, line 3: the line is longer than 1048576 characters: not a network file\n";
    row("9", join(kBase, 3, std::string((1 << 20) + 1, 'x') + "\n"), tooLong, tooLong);
    // Rows 2, 49: no network, so an empty report, or none at all when it is asked for after the
    // title; rows 22, 24b: NL = 0 takes every compartment as living (and is written back as it
    // stands), and blank lines after the last network end the file, asking for no report more.
    row("2, 49", "", "0|[file][end]", "2|net.dat, line 1: the file ends before the counts record\n",
        "0|Stop - Program terminated.\n[errors][end]");
    row("22, 24b", join(kBase, 2, "  2  0\n") + "\n  \n\t\n",
        "0|\n LIVING COMPARTMENTS\n\n  1  PLANTS                   \n  2  DETRITUS|CONNECTANCE|#0#"
        "NON-LIVING|#1#NUMBER OF COMPARTMENTS IS",
        "0|[file]" + join(kWritten, 2, "  2  0\n") + "[end]");
    row("3", join(kBase, 0, {}, 1), "0|[file]\n\n BASE" + std::string(74, ' ') + "\n\n[end]",
        "2|net.dat, line 2: the file ends before the counts record\n");
    row("4", join(kBase, 0, {}, 3),
        "2|[errors]|net.dat, line 4: the file ends before the name of compartment 2\n[file]|"
        "  1  PLANTS",
        "0|[errors]flowentry: net.dat, line 4: the file ends inside the names; the rest is taken "
        "as zero\n[file]" +
            join(kWritten, 0, {}, 3) + padded("") + times(4, kTerm) + kFlowTerm);
    row("6", join(kBase, 5, " 1a           5.0\n"),
        "2|net.dat, line 5: not an integer ' 1a' in columns 1-3\n",
        "2|" + kStockError + "[errors]|net.dat, line 5: not an integer ' 1a' in columns 1-3\n");
    row("6", join(kBase, 2, "  2  x\n"), "",
        "2|" + kIdError + "  0\n[errors]|line 2: not an integer '  x' in columns 4-6\n");
    // Row 46: flowanalysis2 has no report file open yet and tells the console.
    row("6, 46", join(kBase, 1, title("BASE", "ab")), "0|[file]|0 ERROR IN TITLE\n[end]",
        "2|line 1: not an integer 'ab' in columns 79-80\n",
        "0|0 ERROR IN TITLE\nStop - Program terminated.\n[errors][end]");
    // Each value fits single precision, the sums do not: inflow and outflow are Inf, their
    // difference NaN, which is no steady state.
    row("12",
        title("HUGE") + "  1  1\nA\n -1\n" + entry(1, "3.0E38") + " -1\n" + entry(1, "3.0E38") +
            " -1\n -1\n" + flow(1, 1, "3.0E38") + " -1 -1\n",
        "0| NON STEADY-STATE!\n|   1       Inf         Inf          NaN\n|#0#COMPARTMENTAL THROUGHPUTS",
        "0| NOT IN STEADY STATE. |  1       Inf         Inf          NaN\n|  1  1  .3000000E+39\n"
        "|#0#STEADY-STATE.");
    row("18", emptyNetwork(80, entry(81, "1.0") + " -1\n -1\n -1\n -1 -1\n"),
        "0|0 ERROR COMPARTMENT NUMBER  81 OUT OF RANGE 1 TO  80\n[end]",
        "0| LINE    84: COMPARTMENT  81 OUT OF RANGE 1 TO  80. RECORD SKIPPED.\n");
    // Row 126 of the extended matrix of 125 compartments holds the inputs.
    row("19, 43", emptyNetwork(125, " -1\n -1\n -1\n" + flow(126, 1, "7.0") + " -1 -1\n"),
        "0|  125\n0 ERROR NUMBER OF COMPARTMENTS MAX= 80\n[end]",
        "0| LINE   132: COMPARTMENT 126 OUT OF RANGE 1 TO 125. RECORD SKIPPED.\n|" +
            padded("C125") + times(4, kTerm) + kFlowTerm + "[end]",
        "0|0 ERROR COMPARTMENT NUMBER 126 OUT OF RANGE 1 TO 125\n[end]");
    row("21, 45", join(kBase, 2, "129  1\n"),
        "0|  129\n0 ERROR NUMBER OF COMPARTMENTS MAX= 80\n[end]",
        "2|" + kCountError + "[errors]|line 2: the number of compartments must be from 1 to 125\n",
        "0|  129\n0 ERROR NUMBER OF COMPARTMENTS MAX=128\n[end]");
    row("21", join(kBase, 2, "  0  0\n"),
        "0|0 ERROR NUMBER OF COMPARTMENTS MUST BE AT LEAST 1\n[end]",
        "2|" + kCountError + "[errors]");
    row("21", join(kBase, 2, " -5  1\n"),
        "0|  -5\n0 ERROR NUMBER OF COMPARTMENTS MUST BE AT LEAST 1\n[end]",
        "2|" + kCountError + "[errors]");
    // The junk is read by the analysis programs as the title of another network; for
    // flowanalysis2 one that asks for a report file of its own, which has no answer.
    row("24, 44, 48", kBaseFile + "JUNK\nMORE JUNK\n",
        "0|\n\n JUNK" + std::string(74, ' ') + "\n\n0 ERROR NUMBER OF COMPARTMENTS MAX= 80\n[end]",
        "0|" + kWrittenFile,
        "2| Output filename| Output filename|[errors]flowanalysis2: standard input, line 5: the "
        "console|[file]|CONNECTANCE");
    // More living compartments than compartments: flowentry takes all as living, reads on and
    // writes NL = N. A negative stock ends flowentry's reading.
    row("22", join(kBase, 2, "  2  3\n"),
        "0|0 ERROR NUMBER OF LIVING COMPARTMENTS   3 EXCEEDS   2\n[end]",
        "0| LIVING COMPARTMENTS   3 ARE MORE THAN N. ALL   2 TAKEN AS LIVING.\n|[file]" +
            title("BASE", " 0") + "  2  2\n");
    row("26", join(kBase, 5, entry(1, "-5.0")), "",
        "2|" + kStockError + "[errors]|line 5: a standing stock is negative\n");
    // Row 5: the file ends after the entry of a list. flowanalysis fails at the missing
    // terminator; flowentry keeps what it has read and writes the later lists empty.
    const std::string lists[] = {"standing stocks", "inputs", "exports", "respirations", "flows"};
    for (std::size_t k = 0; k < 5; ++k) {
        const std::string line = "line " + std::to_string(6 + 2 * k) + ": the file ends ";
        row("5", join(kBase, 0, {}, 5 + 2 * k),
            "2|" + line + "before the end of the list of " + lists[k] + "\n",
            "0|[errors]flowentry: net.dat, " + line + "inside the list of " + lists[k] +
                "; the rest is taken as zero\n[file]" + join(kWritten, 0, {}, 5 + 2 * k) +
                times(4 - k, kTerm) + kFlowTerm + "[end]");
    }
    // Rows 6, 7, 10, 11, 12, 15: a numeric field that holds no number; every program fails and
    // names the field as it stands in its columns (4-17 of an entry record, 7-20 of a flow).
    const std::pair<std::size_t, std::string> numbers[] = {
        {7, entry(1, "1O.0")},   {7, "  1\t10.0\n"},    {9, "  2\x80\xfe\xff\n"},
        {11, entry(1, "1E39")},  {11, entry(1, "NaN")}, {11, std::string("  16.0\0\n", 8)},
        {13, flow(1, 2, "-Inf")}};
    for (const auto& [line, record] : numbers) {
        const std::size_t from = line == 13 ? 6 : 3;
        // The record without its line end, short lines padded with blanks.
        const std::string field = record.substr(0, record.size() - 1) + std::string(20, ' ');
        const std::string e = "2|net.dat, line " + std::to_string(line) +
                              ": not a single-precision number '" + field.substr(from, 14) +
                              "' in columns " + (from == 6 ? "7-20" : "4-17") + "\n";
        row("6, 7, 10-12, 15", join(kBase, line, record), e, e);
    }
}

// File names and console answers, each case run for flowanalysis2 too when it is a case of
// flowanalysis. flowanalysis fails with status 2 on a file it cannot read or write; flowentry asks
// for another name rather than lose the network it holds.
TEST(BadInput, FileNamesAndConsoleAnswers) {
    // A folder in which nobody, not even root, can create a file: one of the system.
    const std::string noWrite = "/sys/flownet-rep.txt";
    const std::string nul("net.dat\0x", 9);  // the name as the system sees it ends at the NUL
    const auto row = [](const char* rows, Program p, const std::string& answers,
                        const std::string& expect) {
        for (Program q : {p, kAnalysis2}) {
            if (q == kAnalysis2 && p != kAnalysis) break;
            SCOPED_TRACE(kProgramNames[q] + " rows " + rows);
            check(runOn(q, kBaseFile, answers), expect);
        }
    };
    // A blank name, a folder and a name of 10,000 characters (cut to 64) to read; then a blank
    // name, a missing folder, a folder without write permission and the network file with a NUL
    // and blanks after it to write.
    row("28, 30-32, 35, 39", kEntry,
        "2\n   \nsub\n" + std::string(10000, 'z') + "\nnet.dat\nn\n \nno/such/out.dat\n" + noWrite +
            "\n" + nul + "\n" + std::string("out.dat  \0x\n", 12),
        "0| FILE  DOES NOT EXIST" + kAnother + "| FILE sub DOES NOT EXIST" + kAnother + "| FILE " +
            std::string(64, 'z') + " DOES NOT EXIST.| FILE  CANNOT BE CREATED (the file name is " +
            "blank)" + kAnother + "| FILE no/such/out.dat CANNOT BE CREATED (No such file or " +
            "directory)" + kAnother + "| FILE " + noWrite + " CANNOT BE CREATED (|" + kAnother +
            "| FILE net.dat ALREADY EXISTS" + kAnother + "|" + kWrittenFile);
    // A device, and a named pipe that nobody writes to, are no network files: reading one would
    // go on without end, opening the other would wait for ever. Both are refused.
    TempDir pipeDir;
    const std::string pipe = (pipeDir / "pipe").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string notRegular = " IS NOT A REGULAR FILE (A DEVICE OR A PIPE)" + kAnother;
    row("28b", kEntry, "2\n/dev/zero\n" + pipe + "\nnet.dat\nn\nout.dat\n",
        "0| FILE /dev/zero" + notRegular + "| FILE " + pipe + notRegular + "|" + kWrittenFile);
    const auto notRegularHere = [](const std::string& name) {
        return "\n " + name + std::string(41 - name.size(), ' ') +
               "\n is not a regular file (a device or a pipe)!\n (E)xit or try another (N)ame?";
    };
    row("28b", kAnalysis, "/dev/zero\nn\n" + pipe + "\nn\nnet.dat\ny\nrep.txt\ny\n",
        "0|" + notRegularHere("/dev/zero") + "|" + notRegularHere(pipe) + "|[file]\n\n BASE");
    row("28b", kAnalysis, "/dev/urandom\nx\n", "0|TERMINATED. Find out which file you want.\n");
    // An answer line longer than any answer can be ends the run, naming the line.
    row("35", kAnalysis, "\n" + std::string((1 << 20) + 1, 'n') + "\n",
        "2|[errors]|: standard input, line 2: the answer line is longer than 1048576 characters\n");
    // Keyboard entry of one compartment: a precision that is no number is refused and asked
    // again, so the typed network is kept; 0.01 then gives K = 3.
    row("36", kEntry,
        "1\nT\n1\n1\nA\n1\nn\nabc\n0.01x\ninf\nnan\n1e39\n0.01\n1\n5\n-1\nn\n1\n5\n-1\nn\n-1\n"
        "n\n-1\nn\nt.dat\nout.dat\n",
        "0|#5#PRECISION MUST BE A NUMBER. TRY AGAIN!|[file]" + title("T", " 3"));
    row("29", kEntry, "2\n/proc/self/mem\nn\nout.dat\n",
        "2|/proc/self/mem, line 1: the file cannot be read\n");
    row("35", kEntry, std::string(10000, '1') + "\n",
        "2|[errors]flowentry: standard input, line 1: the method of data entry must be given as "
        "a whole number\n");
    // Row 47: the report of the first network named again for the second, and confirmed twice,
    // is replaced by the second one's.
    check(runOn(kAnalysis2, kBaseFile + join(kBase, 1, title("SECOND")),
                "net.dat\ny\nrep.txt\ny\nrep.txt\ny\ny\n"),
          "0|OVERWRITTEN. OK? (y/n) Hold on, that file is already opened!|[file]\n\n SECOND|"
          "#0#\n\n BASE ");
    row("29", kAnalysis, "/proc/self/mem\ny\nrep.txt\ny\n",
        "2|/proc/self/mem, line 1: the file cannot be read\n");
    row("30", kAnalysis, "net.dat\ny\n   \ny\n",
        "2|a blank name: the report file cannot be opened for writing");
    row("31", kAnalysis, "net.dat\ny\nno/such/rep.txt\ny\n",
        "2|no/such/rep.txt: the report file cannot be opened for writing: No such file or "
        "directory\n");
    row("32", kAnalysis, "net.dat\ny\n" + noWrite + "\ny\n",
        "2|" + noWrite + ": the report file cannot be opened");
    row("33", kAnalysis, "net.dat\ny\n/dev/full\ny\n",
        "2|/dev/full: the report could not be written in full\n");
    // Every line ended by CR LF: a name of 10,000 characters (cut to 41), a yes of 10,000
    // characters, the network file with a NUL as the report.
    // Before it, a blank name and a folder as the network file: files that do not exist.
    row("28, 30, 35, 38, 39", kAnalysis,
        crlf("\nn\nsub\nn\n" + std::string(10000, 'x') + "\nn\nnet.dat\n" +
             std::string(10000, 'y') + "\n" + nul + "\ny\ny\nrep.txt\ny\n"),
        "0|\n " + std::string(41, ' ') + "\n does not exist!|\n sub" + std::string(38, ' ') +
            "\n does not exist!|\n " + std::string(41, 'x') +
            "\n does not exist!\n| is to be read. OK? (y/n)| That is the network file being "
            "read; it cannot be the output file.\n|[file]\n\n BASE");
}

// A full disk, made by a limit of 0 bytes on the files flowentry may write (its console goes
// through a pipe): the network file that cannot be written is removed, and another name is asked
// for; the answers then end. The script ends with status 0 and shows flowentry's status.
TEST(BadInput, FullDiskWhenFlowentryWritesTheNetwork) {
    TempDir dir;
    writeFile(dir / "net.dat", kBaseFile);
    writeFile(dir / "full.sh", std::string("#!/bin/sh\ntrap '' XFSZ\n(ulimit -f 0; ") +
                                   FLOWENTRY_EXE + "; echo \"[status $?]\") 2>&1 | cat\n");
    fs::permissions(dir / "full.sh", fs::perms::owner_all);
    const RunResult r =
        runProgram((dir / "full.sh").string(), "2\nnet.dat\nn\nout.dat\n", dir.path());
    check(
        {kEntry, r.status, r.errors, r.console},
        "0|    \n FILE out.dat CANNOT BE CREATED (File too large)" + kAnother +
            "           ENTER THE NAME OF A FILE IN WHICH YOU WISH|flowentry: standard input, line 5: "
            "the console input ended where an answer was expected\n[status 2]\n");
    EXPECT_FALSE(fs::exists(dir / "out.dat"));
}

// The answers end after each of the answers of runs that meet every kind of question: the run
// fails with status 2 and its message, writes nothing, and never waits for more.
TEST(BadInput, EndOfInputAtEveryQuestion) {
    const std::pair<Program, std::string> scripts[] = {
        // A missing name, a refusal, the network file refused as the output and then named and
        // confirmed twice as the output, a new report.
        {kAnalysis,
         "none.dat\nn\nnet.dat\nn\nn\nnet.dat\ny\nnet.dat\nn\nn\nnet.dat\ny\ny\nrep.txt\ny\n"},
        // flowanalysis2: the report question comes after the title has been read.
        {kAnalysis2, "none.dat\nn\nnet.dat\ny\nnet.dat\ny\ny\nrep.txt\ny\n"},
        // Keyboard entry of two compartments with a stock change, every list, a flow 1 -> 2 that
        // leaves the network out of steady state, the temporary copy and the final file.
        {kEntry,
         "1\nT\n2\n1\nA\nB\n1\n1\ny\n2\n3\n-1\n0\n1\n5\n-1\nn\n1\n1\n-1\nn\n2\n1\n-1\nn\n1\n2\n3\n"
         "-1\nn\nt.dat\nn\nout.dat\n"},
        // The base network edited: every change question answered, the precision changed.
        {kEntry, "2\nnet.dat\ny\nn\ny\n0\nn\nn\nn\nn\nout.dat\n"}};
    for (const auto& [p, answers] : scripts) {
        int line = 1;  // the answer line that is missing
        for (std::size_t end = 0; end < answers.size(); end = answers.find('\n', end) + 1) {
            SCOPED_TRACE(kProgramNames[p] + " after " + answers.substr(0, end));
            check(runOn(p, kBaseFile, answers.substr(0, end)),
                  "2|[errors]" + kProgramNames[p] + ": standard input, line " +
                      std::to_string(line++) +
                      ": the console input ended where an answer was expected\n[end]");
        }
        check(runOn(p, kBaseFile, answers), "0|[file]");
    }
}

// What flowentry holds and writes: a balancing that cannot be done leaves the network as it was,
// and a network of more flows than flowentry reads back is written whole, with a warning.
TEST(BadInput, NetworksFlowentryCannotBalanceOrReadBack) {
    // Row 42b: compartment 1 takes in 5 and passes its whole output, 10, to itself: the
    // input-based balance divides by the zero pivot 1 - 10/10. Nothing is changed, the network
    // is still out of steady state, and it is written as read.
    check(runOn(kEntry,
                title("LOOP") + "  1  1\nA\n -1\n" + entry(1, "5.0") + " -1\n -1\n -1\n" +
                    flow(1, 1, "10.0") + " -1 -1\n",
                "2\nnet.dat\nn\ny\nn\nout.dat\n"),
          "0| NOT IN STEADY STATE.| TROUBLE DURING MATRIX INVERSION AT ROW   1\n|\n THE NETWORK "
          "CANNOT BE BALANCED (A MATRIX IS SINGULAR). THE NETWORK IS LEFT AS IT WAS.\n| NOT IN "
          "STEADY STATE.|[file]|" +
              padded("A") + kTerm + entry(1, ".5000000E+01") + times(3, kTerm) +
              flow(1, 1, ".1000000E+02") + kFlowTerm + "[end]|#0#STEADY-STATE.");
    // Rows 25, 42c: 71 compartments and a flow record for each of the first 5001 pairs, row by
    // row: the 5001st, 71 -> 31, is not read, and the user is told; the flow 71 -> 71 added in
    // the dialog makes 5001 flows, more than flowentry reads back, which is told too.
    std::string file = title("DENSE") + " 71 71\n";
    for (int i = 1; i <= 71; ++i) file.append("C").append(std::to_string(i)).append("\n");
    file += times(4, " -1\n");
    for (int k = 0; k <= 5000; ++k) file += flow(k / 71 + 1, k % 71 + 1, "1.0");
    check(runOn(kEntry, file + " -1 -1\n", "2\nnet.dat\nn\n71\n71\n1\n-1\nn\nout.dat\n"),
          "0|[errors]flowentry: net.dat, line 5078: 1 flow records after the first 5000 were not "
          "read\nflowentry: out.dat: the network holds 5001 flows; flowentry reads back only the "
          "first 5000\n[file]|" +
              flow(71, 30, ".1000000E+01") + flow(71, 71, ".1000000E+01") + kFlowTerm);
}
