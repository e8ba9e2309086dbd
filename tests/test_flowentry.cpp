// The flowentry program end to end: scripted answers, the console, and the files it writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/expect.hpp"
#include "support/run.hpp"

using namespace flownet::testing;

namespace {

// Two compartments typed in: input 10 into ALGAE, flow 8 from ALGAE to DETRITUS, export 1 and
// respiration 2 from ALGAE, respiration 5 from DETRITUS, stocks 100 and 50, precision 0.01
// (K = 3). The answers end with the name of the temporary copy still to come.
const std::string kTyped =
    "TWO BOXES\n2\n1\nALGAE\nDETRITUS\n100\n50\nn\n0.01\n"
    "1\n10\n-1\nn\n"
    "1\n1\n-1\nn\n"
    "1\n2\n2\n5\n-1\nn\n"
    "1\n2\n8\n-1\nn\n";

// That network as a file: the title padded to 78 columns and K in 79-80, the counts, the names
// in 25 columns, and the lists in E14.7, each with its terminator.
const std::string kTypedFile = "TWO BOXES" + std::string(69, ' ') + " 3\n" +
                               "  2  1\n"
                               "ALGAE                    \n"
                               "DETRITUS                 \n"
                               "  1  .1000000E+03\n  2  .5000000E+02\n -1  .0000000E+00\n"
                               "  1  .1000000E+02\n -1  .0000000E+00\n"
                               "  1  .1000000E+01\n -1  .0000000E+00\n"
                               "  1  .2000000E+01\n  2  .5000000E+01\n -1  .0000000E+00\n"
                               "  1  2  .8000000E+01\n -1 -1  .0000000E+00\n";

// The comparison rows of that network: inputs 10 and 8, outputs 11 and 5.
const std::string kTypedRows =
    "              1  .100E+02    .110E+02    -.100E+01\n"
    "              2  .800E+01    .500E+01     .300E+01\n";

std::string completion(const std::string& name) {
    return "                            DATA ENTRY IS COMPLETE.\n"
           "            NETWORK INFORMATION HAS BEEN WRITTEN TO FILE " +
           name + std::string(64 - name.size(), ' ') + "\n";
}

RunResult flowentry(const std::string& answers, const TempDir& dir) {
    return runProgram(FLOWENTRY_EXE, answers, dir.path());
}

}  // namespace

TEST(Flowentry, ATypedNetworkIsWrittenAsEnteredAndReadBackByBothPrograms) {
    TempDir dir;
    RunResult r = flowentry("0\n" + kTyped + "temp.dat\nn\nfinal.dat\n", dir);
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(readFile(dir / "temp.dat"), kTypedFile);
    EXPECT_EQ(readFile(dir / "final.dat"), kTypedFile);
    expectInOrder(r.console, {" KEYBOARD ENTRY ROUTINE", completion("temp.dat"),
                              "\n\n                SYSTEM IS NOT IN STEADY STATE. \n\n\n\n",
                              "                   COMPARISON OF THROUGHPUTS \n"
                              "                 INPUTS      OUTPUTS     IMBALANCE \n" +
                                  kTypedRows,
                              " DO YOU WISH THE NETWORK TO BE AUTOMATICALLY BALANCED? (Y/N)",
                              "           TO STORE THIS INFORMATION : ", completion("final.dat")});
    EXPECT_EQ(occurrences(r.console, "STEADY-STATE."), 0);

    // Read back by flowentry (after a name that does not exist) without changes and written
    // again: the same bytes.
    r = flowentry("7\nmissing.dat\nfinal.dat\nn\nn\ncopy.dat\n", dir);
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(readFile(dir / "copy.dat"), kTypedFile);
    expectInOrder(r.console, {"    \n FILE missing.dat DOES NOT EXIST. ENTER ANOTHER NAME.\n",
                              "TO READ THIS INFORMATION : ", "\n CURRENT PRECISION =   .100E-02\n",
                              kTypedRows});

    // Read by the analysis program: the same network, with its tolerance 10^(1-K) = 0.01.
    r = runProgram(FLOWANALYSIS_EXE, "final.dat\ny\nreport.txt\ny\n", dir.path());
    ASSERT_EQ(r.status, 0) << r.errors;
    expectInOrder(readFile(dir / "report.txt"),
                  {" NUMBER OF LIVING COMPARTMENTS IS   1\n", "  2  DETRITUS                 \n",
                   "       .100E+02 .000E+00\n", "       .100E+01 .000E+00\n",
                   "       .200E+01 .500E+01\n", "   1   .000E+00 .800E+01\n",
                   "   1  .100E+02    .110E+02    -.100E+01\n"
                   "   2  .800E+01    .500E+01     .300E+01\n"});
}

TEST(Flowentry, BalancingOnRequestWithoutOverwritingAnExistingFile) {
    TempDir dir;
    writeFile(dir / "final.dat", "keep\n");
    RunResult r = flowentry("1\n" + kTyped + "final.dat\ntemp.dat\ny\nfinal.dat\nout.dat\n", dir);
    ASSERT_EQ(r.status, 0) << r.errors;
    const std::string refusal = "    \n FILE final.dat ALREADY EXISTS. ENTER ANOTHER NAME.\n";
    expectInOrder(r.console, {"(TEMPORARILY): ", refusal, "(TEMPORARILY): ", completion("temp.dat"),
                              "SYSTEM IS NOT IN STEADY STATE.", "AUTOMATICALLY BALANCED? (Y/N)",
                              "\n SYSTEM IS IN STEADY-STATE.\n\n", "INFORMATION : ", refusal,
                              "INFORMATION : ", completion("out.dat")});
    EXPECT_EQ(occurrences(r.console, "AUTOMATICALLY BALANCED?"), 1);
    EXPECT_EQ(readFile(dir / "final.dat"), "keep\n");
    EXPECT_EQ(readFile(dir / "temp.dat"), kTypedFile);  // the network as entered

    // The worked example of the mean of both balances, within the 7 digits of the file.
    const std::vector<std::string> rec = lines(readFile(dir / "out.dat"));
    ASSERT_EQ(rec.size(), 16u);
    const struct {
        std::size_t record, column;
        double exact;
    } values[] = {{4, 3, 940.0 / 11}, {5, 3, 4575.0 / 88}, {7, 3, 9.0},        {9, 3, 21.0 / 22},
                  {11, 3, 21.0 / 11}, {12, 3, 135.0 / 22}, {14, 6, 135.0 / 22}};
    for (const auto& v : values) {
        EXPECT_NEAR(std::stod(rec[v.record].substr(v.column)), v.exact, 2e-6 * v.exact)
            << rec[v.record];
    }
}

TEST(Flowentry, ANetworkWithinItsToleranceGoesStraightToTheFileName) {
    // K = 6: input 2E-6 against export 1E-6 differs by exactly 1E-6. Blank K: tolerance 1.0, and
    // input 3 against export 2 differs by 1.0.
    for (const std::string& record :
         {std::string(78, ' ') + " 6\n  1  1\nA\n -1  .0\n  1  .2000000E-05\n -1  .0\n"
                                 "  1  .1000000E-05\n -1  .0\n -1  .0\n -1 -1  .0\n",
          std::string("BLANK K\n  1  1\nA\n -1  .0\n  1  3.\n -1  .0\n  1  2.\n -1  .0\n"
                      " -1  .0\n -1 -1  .0\n")}) {
        TempDir dir;
        writeFile(dir / "net.dat", record);
        RunResult r = flowentry("2\nnet.dat\nn\nout.dat\n", dir);
        ASSERT_EQ(r.status, 0) << r.errors;
        expectInOrder(r.console, {"\n SYSTEM IS IN STEADY-STATE.\n\n", completion("out.dat")});
        EXPECT_EQ(occurrences(r.console, "AUTOMATICALLY BALANCED?"), 0);
    }
}

TEST(Flowentry, ACountAbove125InAFileStopsTheRunWithAMessage) {
    TempDir dir;
    writeFile(dir / "net.dat", "BIG\n126  1\n");
    RunResult r = flowentry("2\nnet.dat\nn\n", dir);
    EXPECT_EQ(r.status, 2);
    expectInOrder(r.console, {"    \n THE NUMBER OF COMPARTMENTS MUST BE FROM 1 TO 125.\n"});
    EXPECT_EQ(r.errors,
              "flowentry: net.dat, line 2: the number of compartments must be from 1 to 125\n");
}

TEST(Flowentry, ACompartmentWithoutInputsIsWarnedOnEveryPass) {
    // Flow 4 from 1 (no inputs) to 2, input 5 into 2, respiration 3 from 2. The mean balance
    // keeps no input for 1 and half of its output-based outflow: 2/3 (by hand: forward
    // throughputs 0 and 5, backward 4/3 and 3).
    TempDir dir;
    writeFile(dir / "net.dat", "NO INPUTS" + std::string(69, ' ') +
                                   " 3\n  2  2\nA\nB\n -1  .0\n  2  5.\n -1  .0\n -1  .0\n"
                                   "  2  3.\n -1  .0\n  1  2  4.\n -1 -1  .0\n");
    RunResult r = flowentry("2\nnet.dat\nn\ny\nn\nout.dat\n", dir);
    ASSERT_EQ(r.status, 0) << r.errors;
    const std::string warning = "\n DIAGNOSTIC WARNING - NO INPUTS TO   1\n\n";
    expectInOrder(r.console, {warning,
                              "              1  .000E+00    .400E+01    -.400E+01\n"
                              "              2  .900E+01    .300E+01     .600E+01\n",
                              "AUTOMATICALLY BALANCED?", warning,
                              "              1  .000E+00    .667E+00    -.667E+00\n",
                              "AUTOMATICALLY BALANCED?", completion("out.dat")});
    EXPECT_EQ(occurrences(r.console, "NO INPUTS TO"), 2);
    EXPECT_EQ(occurrences(r.console, "NO OUTPUTS FROM"), 0);
}

TEST(Flowentry, TheEndOfTheAnswersEndsTheEntryAndTheRunFailsAtTheNextQuestion) {
    // A method below 1 still means keyboard entry. The answers end at the first "TO ?".
    TempDir dir;
    RunResult r = flowentry("-5\n" + kTyped.substr(0, kTyped.rfind("2\n8\n")), dir);
    EXPECT_EQ(r.status, 2);
    expectInOrder(r.console, {" KEYBOARD ENTRY ROUTINE", "TO ? ", completion(""),
                              "\n DIAGNOSTIC WARNING - NO INPUTS TO   2\n\n",
                              "AUTOMATICALLY BALANCED? (Y/N)"});
    EXPECT_EQ(r.errors.rfind("flowentry: ", 0), 0u) << r.errors;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}
