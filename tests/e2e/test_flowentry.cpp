// The flowentry program end to end: keyboard entry, file editing, the steady-state passes and the
// balancing, with scripted answers; the console and the network files it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/expect.hpp"

using namespace flownet::testing;

const std::string kSteady = "|\n SYSTEM IS IN STEADY-STATE.\n\n|";

TEST(KeyIn, CountsAreAskedAgainUntilTheyFitAndTheEndOfTheAnswersEndsTheEntry) {
    // Method -5 means keyboard entry. A count of 10,000 digits, 126, -5, 0 and 999 are refused,
    // then "2<tab>7" gives 2; living counts N + 1 and -1 are refused, then N, and no note on
    // non-living compartments follows. The answers end at the first stock: the entry ends with
    // its completion line and a blank name, the run goes on with what it has (no flows: no
    // inputs, no imbalance) and fails at the next question without writing the network.
    const std::string count = "|    \n THE NUMBER OF COMPARTMENTS MUST BE FROM 1 TO 125.\n";
    check(runOn(kEntry, "",
                "-5\nT\n" + std::string(10000, '9') + "\n126\n-5\n0\n999\n2\t7\n3\n-1\n2\nA\nB\n"),
          "2| KEYBOARD ENTRY ROUTINE|" + kIdError + "  0\n" + count + count + count + count +
              "| VALUE TOO BIG. MUST BE < OR = N. TRY AGAIN.\n\n"
              "| VALUE MAY NOT BE NEGATIVE. TRY AGAIN.\n\n|" +
              std::string(32, ' ') + "2.  " + padded("B") + "|" + completion("") +
              "|\n DIAGNOSTIC WARNING - NO INPUTS TO   2\n\n" + kSteady +
              "[errors]flowentry: standard input, line 14: the console input ended where an answer "
              "was expected\n[end]"
              "|#0#LIST THE NON-LIVING|#6#HOW MANY COMPARTMENTS ARE IN THE SYSTEM ? "
              "|#3#HOW MANY OF THEM REPRESENT LIVING COMPONENTS ? ");
}

TEST(KeyIn, RefusedAnswersAreAskedAgainChangesAreListedAndThePassesWarn) {
    // Every line ended by CR LF. Three compartments, two living. Stocks: -5 at compartment 3,
    // then NaN at 1, restart the entry from 1; -0 is 0; then compartment 2 becomes 20 after a
    // word and -4 are refused. Precisions -1 and 1E12 (K = -11 does not fit two columns) are
    // refused, 0 keeps K = 6. Inputs: 5 into 2, a word, then 0 into 2 after -3, Inf and 1E39 are
    // refused, which leaves no input; changes: 126, 999 and 4 (N + 1) refused, then 10 into 1. No
    // exports or respirations. Flow from 1: receivers 0 and 4 refused, then 2 with 8. The temporary
    // copy holds the network as entered. Balanced on request: 2 has no outputs and 3 neither inputs
    // nor outputs. The forward balance keeps the input 10 and the flow of 1 to 2 becomes 10; the
    // backward one has no losses to keep, so every throughput is 0; the mean has input 5 and flow
    // 5, and 2 keeps half its inflow with no output. The warnings come again on the second pass.
    const Outcome o = runOn(
        kEntry, "",
        crlf("1\nT\n3\n2\nA\nB\nC\n1\n2\n-5\nNaN\n-0\n2\n3\ny\nword\n2\n-4\n20\n-1\n-1\n1E12\n0\n"
             "2\n5\nword\n2\n-3\nInf\n1E39\n0\n-1\ny\n126\n999\n4\n1\n10\n-1\nn\n-1\nn\n-1\nn\n"
             "1\n0\n4\n2\n8\n-1\nn\nout.dat\ny\nn\nf.dat\n"));
    const std::string id = "|" + kIdError + "  3\n", value = "|" + kValueError;
    const std::string warnings =
        "|\n DIAGNOSTIC WARNING - NO OUTPUTS FROM   2\n\n\n DIAGNOSTIC WARNING - NO INPUTS TO   "
        "3\n\n\n DIAGNOSTIC WARNING - NO OUTPUTS FROM   3\n\n";
    const std::string third = "              3  .000E+00    .000E+00     .000E+00\n";
    check(o,
          "0| LIST THE NON-LIVING COMPARTMENTS LAST.\n|    \n ERROR ENTERING STANDING "
          "STOCKS...BEGIN AGAIN.\n| CHANGES (Y/N) ? " +
              id + value +
              "|STANDING STOCK VECTOR \n\n\n           1        2        3   \n"
              "       .000E+00 .200E+02 .300E+01\n"
              "| ENTER PRECISION HERE. PRECISION MAY NOT BE NEGATIVE. TRY AGAIN!\n"
              "| ENTER PRECISION HERE. PRECISION TOO LARGE. TRY AGAIN!\n" +
              id + value + value + value + "|       .000E+00 .000E+00 .000E+00\n" + id + id + id +
              "|       .100E+02 .000E+00 .000E+00\n" + id + id +
              "|   1   .000E+00 .800E+01 .000E+00\n" + warnings +
              "|              1  .100E+02    .800E+01     .200E+01\n"
              "              2  .800E+01    .000E+00     .800E+01\n" +
              third + warnings +
              "|              1  .500E+01    .500E+01     .000E+00\n"
              "              2  .500E+01    .000E+00     .500E+01\n" +
              third + "|" + completion("f.dat") + "|[file]" + title("T", " 6") + "  3  2\n" +
              padded("A") + padded("B") + padded("C") + entry(2, ".2000000E+02") +
              entry(3, ".3000000E+01") + kTerm + entry(1, ".1000000E+02") + kTerm + kTerm + kTerm +
              flow(1, 2, ".8000000E+01") + kFlowTerm +
              // Only the receiver is asked again. The input heading comes at the opening, again
              // after each of the 3 entries, the 4 refused numbers and the yes to the changes.
              "[end]|#0#NO INPUTS TO   2|#3#ENTER STANDING STOCK VALUES|#2#    FROM ? |#3#    TO ? "
              "|#9#ENTER INPUT INFORMATION AT PROMPTS. ");
}

// Network files edited, the final file named out.dat.
TEST(ReadIn, FilesEditedWithChangesAndListsCutOffAtTheirBound) {
    // Changes to every part, columns 79-80 blank: stock 5 becomes 6 (listing and question again);
    // precision 0 keeps the file's K = 0 (shown as 1.0); input 7 after compartment 2 is refused,
    // with no heading before "INPUT TO ?" again; export 6 kept after a refused 2, with the heading
    // again; flow 4 from 1 to 1. Input 7 + 4 against output 4 + 6 differs by the tolerance 1.0 of
    // K = 0.
    check(
        runOn(kEntry,
              "ONE BOX\n  1  1\nONLY\n" + entry(1, "5.0") + kTerm + entry(1, "1.0") + kTerm +
                  entry(1, "6.0") + kTerm + kTerm + kFlowTerm,
              "2\nnet.dat\ny\ny\n1\n6\nn\ny\n0\ny\n2\n1\n7\n-1\nn\ny\n2\n-1\nn\nn\ny\n1\n1\n4\n-1\n"
              "n\nout.dat\n"),
        "0| DO YOU WANT TO MAKE CHANGES TO THE DATA IN THIS FILE? (Y/N)|NEW STANDING STOCK ? "
        "|STANDING STOCK VECTOR |       .600E+01\n| CHANGES (Y/N) ?     \n|\n CURRENT PRECISION "
        "=   .100E+01\n\n| DO YOU WANT TO CHANGE IT ? (Y/N)|ENTER NON-ZERO INPUT VALUES BY "
        "SUPPLYING THE     ID |" +
            kIdError + "  1\n" + std::string(13, ' ') +
            "INPUT TO ? |LOSSES TO THE ENVIRONMENT INCLUDE 2 ELEMENTS:|ENTER EXPORT VALUES AS "
            "PROMPTED...|ENTER EXPORT VALUES AS PROMPTED...|RESPIRATION VECTOR|ENTER NON-ZERO "
            "FLOW VALUES BY GIVING THE ID # OF THE|   1   .400E+01\n" +
            kSteady + "[file]" + title("ONE BOX", " 0") + "  1  1\n" + padded("ONLY") +
            entry(1, ".6000000E+01") + kTerm + entry(1, ".7000000E+01") + kTerm +
            entry(1, ".6000000E+01") + kTerm + kTerm + flow(1, 1, ".4000000E+01") + kFlowTerm +
            "[end]|#0#BALANCED?");
    // One compartment: 10 input records without a terminator; the 11th record starts the exports.
    // After the 5000th flow record the flow dialog opens; the 5001st is never read, and the user
    // is told. Both dialogs open without the change flag and close at once.
    check(
        runOn(kEntry,
              title("BOUNDS", " 3") + "  1  1\nONLY\n" + kTerm + times(10, entry(1, "1.0")) +
                  entry(1, "2.0") + kTerm + kTerm + times(5000, flow(1, 1, "3.0")) +
                  flow(1, 1, "9.0") + kFlowTerm,
              "2\nnet.dat\nn\n-1\n-1\nn\nout.dat\n"),
        "0|ENTER NON-ZERO INPUT VALUES BY SUPPLYING THE     ID |INPUT TO ? |INPUT VECTOR|EXPORT "
        "VECTOR|       .200E+01\n|ENTER NON-ZERO FLOW VALUES|FROM ? |FLOW MATRIX|[errors]flowentry: "
        "net.dat, line 5018: 1 flow records after the first 5000 were not read\n[file]|" +
            padded("ONLY") + kTerm + entry(1, ".1000000E+01") + kTerm + entry(1, ".2000000E+01") +
            kTerm + kTerm + flow(1, 1, ".3000000E+01") + kFlowTerm + "[end]|#0#CHANGES (Y/N) ?");
}

// Started with arguments. The reference run of the dialog that read web9unbal and balanced it on
// one yes shows the first steady-state pass between the flow listing and the question (whose first
// line is blank), then nothing of the balancing, then the second pass, in steady state.
TEST(Command, CheckAndBalanceGiveWhatTheDialogGave) {
    const auto ref = std::filesystem::path(REFERENCE_DIR) / "flowentry-balance-web9unbal";
    const std::vector<std::string> console = lines(readFile(ref / "expected" / "console.txt"));
    const auto at = [&](const char* piece) {
        return std::find_if(console.begin(), console.end(), [&](const std::string& line) {
            return line.find(piece) != std::string::npos;
        });
    };
    std::string pass;  // from its heading to its last row, without the blank lines before it
    for (auto line = at("NOT IN STEADY STATE"); line != at("DO YOU WISH") - 1; ++line) {
        pass += *line + "\n";
    }
    TempDir dir;
    writeFile(dir / "net.dat", readFile(ref / "net.dat"));
    const auto run = [&](const std::vector<std::string>& args) {
        return runProgram(FLOWENTRY_EXE, "", dir.path(), args);
    };
    const RunResult check = run({"--check", "net.dat"}),
                    out = run({"--balance", "net.dat", "-o", "-"}),
                    quiet = run({"--balance", "net.dat", "-o", "balanced.dat", "-q"}),
                    again = run({"--check", "balanced.dat"});
    EXPECT_EQ((std::vector{check.status, out.status, quiet.status, again.status}),
              (std::vector{1, 0, 0, 0}));
    EXPECT_EQ(check.console.substr(check.console.find_first_not_of('\n')), pass);
    // Balancing tells both passes on standard error, unless quiet.
    const std::string balanced = readFile(ref / "expected" / "balanced.dat");
    EXPECT_EQ(out.console, balanced);
    EXPECT_EQ(out.errors, check.console + "\n SYSTEM IS IN STEADY-STATE.\n\n");
    EXPECT_EQ(readFile(dir / "balanced.dat"), balanced);
    EXPECT_EQ(check.errors + quiet.console + quiet.errors, "");
    EXPECT_EQ(again.console, "\n SYSTEM IS IN STEADY-STATE.\n\n");
}

// --method: the default is the defined balancing to the byte; input and output each give a network
// in steady state that holds the inputs (the exports and respirations) of web9unbal, with the
// table of changes.
TEST(Command, EachBalancingMethodGivesASteadyNetwork) {
    const auto ref = std::filesystem::path(REFERENCE_DIR) / "flowentry-balance-web9unbal";
    TempDir dir;
    writeFile(dir / "net.dat", readFile(ref / "net.dat"));
    const auto run = [&](const std::vector<std::string>& args) {
        return runProgram(FLOWENTRY_EXE, "", dir.path(), args);
    };
    const RunResult average = run({"--balance", "net.dat", "--method", "average", "-o", "-", "-q"});
    EXPECT_EQ(average.status, 0);
    EXPECT_EQ(average.console, readFile(ref / "expected" / "balanced.dat"));
    for (const std::string method : {"input", "output"}) {
        const RunResult r = run({"--balance", "net.dat", "--method", method, "-o", method + ".dat",
                                 "--changes", method + ".csv", "-q"});
        ASSERT_EQ(r.status, 0) << r.errors;
        EXPECT_EQ(run({"--check", method + ".dat"}).status, 0) << method;
        // The table of changes: the rows of what is held change by 0.
        const std::string held = method == "input" ? "input," : "respiration,";
        int rows = 0;
        for (const std::string& line : lines(readFile(dir / (method + ".csv")))) {
            if (line.rfind(held, 0) != 0) continue;
            ++rows;
            EXPECT_EQ(line.substr(line.rfind(',')), ",0") << line;
        }
        EXPECT_GT(rows, 0) << method;
    }
    const RunResult bad = run({"--balance", "net.dat", "--method", "both", "-o", "x.dat"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.errors.find("--method"), std::string::npos) << bad.errors;
    EXPECT_EQ(run({"--check", "net.dat", "--method", "input"}).status, 2);
}

TEST(Command, UsageErrorsOutputsAndNetworksThatCannotBeBalanced) {
    // One compartment in steady state, input 5 against export 5, written back as it is read; and
    // input 5 into a compartment whose only output is a flow of 10 to itself, which no balance can
    // handle (its output fraction to itself is 1).
    const std::string steady = title("ONE", " 3") + "  1  1\n" + padded("A") + kTerm +
                               entry(1, ".5000000E+01") + kTerm + entry(1, ".5000000E+01") + kTerm +
                               kTerm + kFlowTerm;
    const std::string loop = title("LOOP", " 3") + "  1  1\n" + padded("A") + kTerm +
                             entry(1, ".5000000E+01") + kTerm + kTerm + kTerm +
                             flow(1, 1, ".1000000E+02") + kFlowTerm;
    // The network, the arguments, out.dat before the run ("": none) and after it, the status, a
    // piece of standard error after "flowentry: " ("": nothing there) and of standard output.
    const std::string bal = "--balance net.dat -o out.dat", cannot = "net.dat: the network cannot";
    const struct {
        const std::string& network;
        std::string args, before, after;
        int status;
        std::string errors, console;
    } cases[] = {
        {steady, "--bogus", "", "", 2, "The following argument was not expected: --bogus", ""},
        {steady, "--check", "", "", 2, "--check: 1 required NETWORK missing", ""},
        {steady, bal + " --check net.dat", "", "", 2, "--check excludes --balance", ""},
        {steady, "--balance net.dat", "", "", 2, "--balance requires --output", ""},
        {steady, "--check net.dat -o out.dat", "", "", 2, "--output requires --balance", ""},
        {steady, bal, "old", "old", 2, "out.dat: the file exists (use --force", ""},
        {steady, "--balance net.dat -o ./net.dat --force", "", "", 2,
         "./net.dat: that is a network file", ""},
        {steady, "--check none.dat", "", "", 2, "none.dat: no such network file", ""},
        {steady, bal + " --force -q", "old", steady, 0, "", ""},
        {loop, bal + " -q", "", "", 1, cannot, ""},
        {loop, bal, "", "", 1, cannot, ""},
        {steady, "--help", "", "", 0, "", "--balance NETWORK"},
        {steady, "--version", "", "", 0, "", "flowentry " FLOWNET_VERSION "\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeFile(dir / "net.dat", c.network);
        if (!c.before.empty()) writeFile(dir / "out.dat", c.before);
        std::vector<std::string> args;
        std::istringstream words(c.args);
        for (std::string word; words >> word;) args.push_back(word);
        const RunResult r = runProgram(FLOWENTRY_EXE, "", dir.path(), args);
        EXPECT_EQ(r.status, c.status) << c.args << r.errors;
        EXPECT_TRUE(c.errors.empty() ? r.errors.empty()
                                     : r.errors.find("flowentry: " + c.errors) != std::string::npos)
            << c.args << r.errors;
        EXPECT_NE(r.console.find(c.console), std::string::npos) << c.args << r.console;
        EXPECT_EQ(readFile(dir / "net.dat"), c.network) << c.args;
        EXPECT_EQ(std::filesystem::exists(dir / "out.dat"), !c.after.empty()) << c.args;
        EXPECT_EQ(readFile(dir / "out.dat"), c.after) << c.args;
    }
}
