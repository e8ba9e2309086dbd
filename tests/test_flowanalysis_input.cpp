// flowanalysis end to end: the echo of a network, the steady-state section, and every way a network
// file can stop the run.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/run.hpp"

using namespace flownet::testing;

namespace {

std::string title(const std::string& text, const std::string& k = "  ") {
    return text + std::string(78 - text.size(), ' ') + k + "\n";
}
std::string entry(int i, const char* value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%3d%14s\n", i, value);
    return buf;
}
std::string flow(int i, int j, const char* value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%3d%3d%14s\n", i, j, value);
    return buf;
}
const std::string kEnd = " -1\n";
const std::string kFlowEnd = " -1 -1\n";

// Plants (living) feeding a detrital pool: input 10 to the plants, 4 to detritus, 6 respired;
// detritus exports 4.
std::string plantsAndDetritus(const std::string& k = "  ", const char* respiration = "6.0",
                              const char* detritusExport = "4.0") {
    return title("PLANTS AND DETRITUS", k) + "  2  1\n" + "PLANTS\n" + "DETRITUS\n" + kEnd +
           entry(1, "10.0") + kEnd + entry(2, detritusExport) + kEnd + entry(1, respiration) +
           kEnd + flow(1, 2, "4.0") + kFlowEnd;
}

std::string listing(const std::string& values) {
    return "\n\n           1        2   \n       " + values + "\n\n\n";
}

struct Run : ::testing::Test {
    TempDir dir;
    RunResult result;
    std::string report;
    void analyse(const std::string& file) {
        writeFile(dir / "net.dat", file);
        result = runProgram(FLOWANALYSIS_EXE, "net.dat\ny\nrep.txt\ny\n", dir.path());
        report = readFile(dir / "rep.txt");
    }
    bool stoppedInOrder() const {
        return result.status == 0 && result.errors.empty() && result.console.size() >= 27 &&
               result.console.substr(result.console.size() - 27) == "Stop - Program terminated.\n";
    }
    bool reportEndsWith(const std::string& tail) const {
        return report.size() >= tail.size() && report.substr(report.size() - tail.size()) == tail;
    }
    bool reportHas(const std::string& text) const { return report.find(text) != std::string::npos; }
};

std::string echo(const std::string& respiration) {
    return "\n\n " + title("PLANTS AND DETRITUS").substr(0, 78) + "\n\n" +
           " NUMBER OF COMPARTMENTS IS    2\n"
           " NUMBER OF LIVING COMPARTMENTS IS   1\n"
           "\n LIVING COMPARTMENTS\n\n"
           "  1  PLANTS                   \n"
           "\n NON-LIVING COMPARTMENTS\n\n"
           "  2  DETRITUS                 \n"
           "\n INPUT VECTOR\n" +
           listing(".100E+02 .000E+00") + " EXPORT VECTOR\n" + listing(".000E+00 .400E+01") +
           " RESPIRATION VECTOR\n" + listing(respiration + " .000E+00") + " EXCHANGE MATRIX\n" +
           "\n\n           1        2   \n"
           "   1   .000E+00 .400E+01\n"
           "   2   .000E+00 .000E+00\n\n\n";
}
const std::string kEcho = echo(".600E+01");

}  // namespace

TEST_F(Run, EchoAndThroughputsOfABalancedNetwork) {
    analyse(plantsAndDetritus());
    EXPECT_TRUE(stoppedInOrder()) << result.console << result.errors;
    const std::string expected =
        kEcho + " COMPARTMENTAL THROUGHPUTS\n" + listing(".100E+02 .400E+01");
    EXPECT_EQ(report.substr(0, expected.size()), expected);
}

TEST_F(Run, ComparisonOfThroughputsOutOfSteadyState) {
    analyse(plantsAndDetritus("  ", "5.0"));  // plants take in 10 and give out 9
    const std::string expected = echo(".500E+01") +
                                 "\n WARNING! - NETWORK IS NON STEADY-STATE!\n\n"
                                 " COMPARISON OF THROUGHPUTS\n"
                                 "\n      INPUTS      OUTPUTS    IMBALANCE\n\n"
                                 "   1  .100E+02    .900E+01     .100E+01\n"
                                 "   2  .400E+01    .400E+01     .000E+00\n";
    EXPECT_EQ(report.substr(0, expected.size()), expected);
    EXPECT_FALSE(reportHas("COMPARTMENTAL THROUGHPUTS"));
}

TEST_F(Run, ToleranceComesFromThePrecisionExponent) {
    // The plants give out 4 + 5.95: their imbalance is 0.05.
    analyse(plantsAndDetritus(" 2", "5.95"));  // tolerance 0.1
    EXPECT_TRUE(reportHas("COMPARTMENTAL THROUGHPUTS"));
    analyse(plantsAndDetritus(" 4", "5.95"));  // tolerance 0.001
    EXPECT_TRUE(reportHas("   1  .100E+02    .995E+01     .500E-01\n"));
    analyse(plantsAndDetritus("  ", "5.95"));  // tolerance 1.0E-6
    EXPECT_TRUE(reportHas("WARNING! - NETWORK IS NON STEADY-STATE!"));
    // 10 - 9.9995 is below 0.001.
    analyse(plantsAndDetritus(" 4", "5.9995"));
    EXPECT_TRUE(reportHas("COMPARTMENTAL THROUGHPUTS"));
    // The detritus takes in 4: 4 - 3.9999995 is below 1.0E-6, 4 - 3.999998 is not.
    analyse(plantsAndDetritus("  ", "6.0", "3.9999995"));
    EXPECT_TRUE(reportHas("COMPARTMENTAL THROUGHPUTS"));
    analyse(plantsAndDetritus("  ", "6.0", "3.999998"));
    EXPECT_TRUE(reportHas("WARNING! - NETWORK IS NON STEADY-STATE!"));
    // 3.999998 is held as 4 - 8 * 2^-22, so the difference is 1.907E-6.
    EXPECT_TRUE(reportHas("   2  .400E+01    .400E+01     .191E-05\n"));
}

TEST_F(Run, EachErrorStandsAtItsPlace) {
    struct Case {
        std::string file, before, error;
    } cases[] = {
        {title("T", "ab") + "  1  1\n", "", "0 ERROR IN TITLE\n"},
        {title("T") + "  x  1\n", " T" + std::string(77, ' ') + "\n\n",
         "0 ERROR NUMBER OF COMPARTMENTS MAX= 80\n"},
        {title("T") + " 81  1\n", " NUMBER OF COMPARTMENTS IS   81\n",
         "0 ERROR NUMBER OF COMPARTMENTS MAX= 80\n"},
        {title("T") + "  0  0\n", " NUMBER OF COMPARTMENTS IS    0\n",
         "0 ERROR NUMBER OF COMPARTMENTS MUST BE AT LEAST 1\n"},
        {title("T") + "  2  3\n", " NUMBER OF COMPARTMENTS IS    2\n",
         "0 ERROR NUMBER OF LIVING COMPARTMENTS   3 EXCEEDS   2\n"},
        {title("T") + "  1  1\nA\n" + kEnd + entry(1, "-1.0") + kEnd, " INPUT VECTOR\n",
         "0 ERROR INPUT VECTOR CANNOT BE LESS THAN 0\n"},
        {title("T") + "  1  1\nA\n" + kEnd + kEnd + entry(1, "-2") + kEnd, " EXPORT VECTOR\n",
         "0 ERROR EXPORT VECTOR CAN NOT HAVE VALUES LESS THAN 0\n"},
        {title("T") + "  1  1\nA\n" + kEnd + kEnd + kEnd + entry(1, "-2") + kEnd,
         " EXPORT VECTOR\n", "0 ERROR RESPIRATIONS CANNOT BE LESS THAN 0.\n"},
        {title("T") + "  1  1\nA\n" + kEnd + kEnd + kEnd + kEnd + flow(1, 1, "-3") + kFlowEnd,
         " EXCHANGE MATRIX\n", "0 ERROR EXCHANGE MATRIX CAN NOT HAVE VALUES LESS THAN 0\n"},
        {title("T") + "  2  2\nA\nB\n" + kEnd + entry(1, "5") + kEnd + kEnd + entry(1, "5") + kEnd +
             kFlowEnd,
         " COMPARTMENTAL THROUGHPUTS\n",
         "0 ERROR COMPARTMENTAL THROUGHPUTS MUST BE GREATER THAN 0\n"},
        {title("T") + "  2  2\nA\nB\n" + kEnd + entry(3, "5") + kEnd,
         "  2  B                        \n",
         "0 ERROR COMPARTMENT NUMBER   3 OUT OF RANGE 1 TO   2\n"},
        {title("T") + "  2  2\nA\nB\n" + entry(99, "5") + kEnd, "  2  B                        \n",
         "0 ERROR COMPARTMENT NUMBER  99 OUT OF RANGE 1 TO   2\n"},
        {title("T") + "  2  2\nA\nB\n" + kEnd + kEnd + kEnd + kEnd + flow(1, 0, "5") + kFlowEnd,
         " RESPIRATION VECTOR\n", "0 ERROR COMPARTMENT NUMBER   0 OUT OF RANGE 1 TO   2\n"},
        {title("T") + "  2  2\nA\nB\n" + kEnd + kEnd + kEnd + kEnd + flow(1, 3, "5") + kFlowEnd,
         " RESPIRATION VECTOR\n", "0 ERROR COMPARTMENT NUMBER   3 OUT OF RANGE 1 TO   2\n"},
    };
    for (const Case& c : cases) {
        analyse(c.file);
        EXPECT_TRUE(stoppedInOrder()) << c.error << result.console << result.errors;
        EXPECT_TRUE(reportEndsWith(c.error)) << c.error << "\n" << report;
        if (!c.before.empty()) {
            std::size_t at = report.rfind(c.before);
            ASSERT_NE(at, std::string::npos) << c.error << report;
            EXPECT_LT(at, report.size() - c.error.size()) << c.error;
        }
        // Nothing of a later section is written.
        EXPECT_FALSE(reportHas("STRUCTURE")) << c.error;
    }
}

TEST_F(Run, NegativeRespirationStopsBeforeItsListingNegativeInputAfterIts) {
    analyse(title("T") + "  1  1\nA\n" + kEnd + kEnd + kEnd + entry(1, "-2") + kEnd);
    EXPECT_FALSE(reportHas("RESPIRATION VECTOR"));
    analyse(title("T") + "  1  1\nA\n" + kEnd + entry(1, "-1.0") + kEnd);
    EXPECT_TRUE(
        reportEndsWith(" INPUT VECTOR\n\n\n           1   \n      -.100E+01\n\n\n"
                       "0 ERROR INPUT VECTOR CANNOT BE LESS THAN 0\n"));
    EXPECT_FALSE(reportHas("EXPORT VECTOR"));
}

TEST_F(Run, TwoNetworksGiveTwoReportsAndEmptyFileGivesNone) {
    // The second network has a blank title; blank lines after it end the file.
    std::string second = plantsAndDetritus();
    second.replace(0, 19, std::string(19, ' '));
    analyse(plantsAndDetritus() + second + "\n  \n\t\n");
    EXPECT_TRUE(stoppedInOrder());
    std::string blankEcho = kEcho;
    blankEcho.replace(3, 19, std::string(19, ' '));
    const std::size_t at = report.find(blankEcho, kEcho.size());
    ASSERT_NE(at, std::string::npos) << report;
    EXPECT_EQ(report.substr(0, kEcho.size()), kEcho);
    EXPECT_EQ(report.find("\n\n " + std::string(78, ' '), at + blankEcho.size()),
              std::string::npos);

    analyse("");
    EXPECT_TRUE(stoppedInOrder());
    EXPECT_EQ(report, "");
}

TEST_F(Run, AllLivingWhenTheLivingCountIsZero) {
    analyse(title("T") + "  2  0\nA\nB\n" + kEnd + entry(1, "5") + kEnd + kEnd + entry(2, "5") +
            kEnd + flow(1, 2, "5") + kFlowEnd);
    EXPECT_TRUE(stoppedInOrder());
    EXPECT_FALSE(reportHas("NUMBER OF LIVING COMPARTMENTS"));
    EXPECT_FALSE(reportHas("NON-LIVING"));
    EXPECT_TRUE(
        reportHas("\n LIVING COMPARTMENTS\n\n  1  A                        \n"
                  "  2  B                        \n"));
}

TEST_F(Run, ListBoundsTerminatorsAndRepeatedIndices) {
    // The input list has N = 2 entries and no terminator: it swallows the first export record as
    // its third record, so compartment 2's input becomes 3 and the exports are empty. Compartment
    // 1's respiration is given twice: the last value stays. The flow list ends at source 0 although
    // its destination is valid; the record after it is read as the next network's title.
    analyse(title("T") + "  2  2\nA\nB\n" + kEnd + entry(1, "10") + entry(2, "4") + entry(2, "3") +
            kEnd + entry(1, "7") + entry(1, "10") + kEnd + flow(0, 2, "5") + "NEXT\n");
    EXPECT_TRUE(stoppedInOrder());
    EXPECT_TRUE(reportHas(" INPUT VECTOR\n" + listing(".100E+02 .300E+01")));
    EXPECT_TRUE(reportHas(" EXPORT VECTOR\n" + listing(".000E+00 .000E+00")));
    EXPECT_TRUE(reportHas(" RESPIRATION VECTOR\n" + listing(".100E+02 .000E+00")));
    EXPECT_TRUE(reportHas("   1   .000E+00 .000E+00\n   2   .000E+00 .000E+00\n"));
    EXPECT_TRUE(reportEndsWith("\n\n NEXT" + std::string(74, ' ') + "\n\n"));
}

TEST_F(Run, CarriageReturnLineEndsReadTheSame) {
    std::string crlf;
    for (char c : plantsAndDetritus()) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    analyse(crlf);
    EXPECT_TRUE(stoppedInOrder());
    EXPECT_EQ(report.substr(0, kEcho.size()), kEcho);
}

TEST_F(Run, UnreadableOrTruncatedFilesAreFailures) {
    struct Case {
        std::string file, message;
    } cases[] = {
        {title("T") + "  1  1\nA\n" + kEnd + entry(1, "1.0x"), "net.dat, line 5: "},
        {title("T") + "  1  1\nA\n" + kEnd + entry(1, "1E39") + kEnd, "net.dat, line 5: "},
        {title("T") + "  1  1\nA\n" + kEnd + entry(1, "5") + kEnd + kEnd + kEnd + "  1  x  5\n",
         "net.dat, line 9: "},
        {title("T") + "  2  2\nA\n",
         "net.dat, line 4: the file ends before the name of compartment 2"},
        {title("T") + "  1  1\nA\n" + kEnd + entry(1, "5") + kEnd,
         "net.dat, line 7: the file ends"},
    };
    for (const Case& c : cases) {
        analyse(c.file);
        EXPECT_EQ(result.status, 2) << c.file;
        EXPECT_NE(result.errors.find("flowanalysis: " + c.message), std::string::npos)
            << result.errors;
        EXPECT_EQ(result.console.find("Stop - Program terminated."), std::string::npos);
        EXPECT_TRUE(reportHas("NUMBER OF COMPARTMENTS IS")) << "the report so far is kept";
    }
}
