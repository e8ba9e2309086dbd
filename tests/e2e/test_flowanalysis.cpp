// flowanalysis end to end with scripted answers: the file dialogs, the echo of a network, every
// way a network file stops the run, and the cycle sections.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "support/expect.hpp"
#include "support/run.hpp"

using namespace flownet::testing;

namespace {

bool holds(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

// An entry record (I3,E14.7), or a flow record (I3,I3,E14.7) when j is given.
std::string rec(int i, const char* value, int j = 0) {
    char buf[64];
    if (j == 0) std::snprintf(buf, sizeof buf, "%3d%14s\n", i, value);
    if (j != 0) std::snprintf(buf, sizeof buf, "%3d%3d%14s\n", i, j, value);
    return buf;
}
const std::string kEnd = " -1\n", kFlowEnd = " -1 -1\n";
const std::string kOne = title("T") + "  1  1\nA\n", kTwo = title("T") + "  2  2\nA\nB\n";

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
        return result.status == 0 && result.errors.empty() &&
               result.console.ends_with("Stop - Program terminated.\n");
    }
};

}  // namespace

// Each error line ends the report after the listing it follows; nothing later is written. (Counts
// that cannot be read, N below 1 and compartments out of range in the lists are run by the
// bad-input tests.)
TEST_F(Run, EachErrorStandsAtItsPlace) {
    const std::string four = kEnd + kEnd + kEnd + kEnd, t = title("T");
    struct Case {
        std::string file, before, error;  // the error line without "0 ERROR "
    } cases[] = {
        {title("T", "ab") + "  1  1\n", "", "IN TITLE"},
        {t + " 81  1\n", " NUMBER OF COMPARTMENTS IS   81\n", "NUMBER OF COMPARTMENTS MAX= 80"},
        {t + "  2  3\n", " NUMBER OF COMPARTMENTS IS    2\n",
         "NUMBER OF LIVING COMPARTMENTS   3 EXCEEDS   2"},
        {kOne + kEnd + rec(1, "-1.0") + kEnd, " INPUT VECTOR",
         "INPUT VECTOR CANNOT BE LESS THAN 0"},
        {kOne + kEnd + kEnd + rec(1, "-2") + kEnd, " EXPORT VECTOR",
         "EXPORT VECTOR CAN NOT HAVE VALUES LESS THAN 0"},
        {kOne + kEnd + kEnd + kEnd + rec(1, "-2") + kEnd, " EXPORT VECTOR",
         "RESPIRATIONS CANNOT BE LESS THAN 0."},
        {kOne + four + rec(1, "-3", 1) + kFlowEnd, " EXCHANGE MATRIX",
         "EXCHANGE MATRIX CAN NOT HAVE VALUES LESS THAN 0"},
        {kTwo + kEnd + rec(1, "5") + kEnd + kEnd + rec(1, "5") + kEnd + kFlowEnd,
         " COMPARTMENTAL THROUGHPUTS", "COMPARTMENTAL THROUGHPUTS MUST BE GREATER THAN 0"},
        {kTwo + kEnd + rec(3, "5") + kEnd, "  2  B",
         "COMPARTMENT NUMBER   3 OUT OF RANGE 1 TO   2"},
        {kTwo + four + rec(1, "5", 0) + kFlowEnd, " RESPIRATION VECTOR",
         "COMPARTMENT NUMBER   0 OUT OF RANGE 1 TO   2"},
        {kTwo + four + rec(1, "5", 3) + kFlowEnd, " RESPIRATION VECTOR",
         "COMPARTMENT NUMBER   3 OUT OF RANGE 1 TO   2"},
    };
    for (const Case& c : cases) {
        analyse(c.file);
        EXPECT_TRUE(stoppedInOrder()) << c.error << result.console << result.errors;
        EXPECT_TRUE(report.ends_with("0 ERROR " + c.error + "\n")) << c.error << "\n" << report;
        const std::size_t at = report.rfind("\n" + c.before);  // the line before the error
        EXPECT_TRUE(c.before.empty() || at < report.size() - c.error.size() - 9) << c.error;
        EXPECT_FALSE(holds(report, "STRUCTURE")) << c.error;
    }
}

// The input list has N = 2 entries and no terminator: it swallows the first export record as its
// third, so compartment 2's input becomes 3 and the exports are empty: their list ends at once, at
// a record of compartment 0 whose value is ignored. Compartment 1's respiration is given twice:
// the last value stays. The flow list ends at source 0 although its destination is valid; the
// record after it is read as the next network's title.
TEST_F(Run, ListBoundsTerminatorsAndRepeatedIndices) {
    analyse(kTwo + kEnd + rec(1, "10") + rec(2, "4") + rec(2, "3") + rec(0, "9") + rec(1, "7") +
            rec(1, "10") + kEnd + rec(0, "5", 2) + "NEXT\n");
    EXPECT_TRUE(stoppedInOrder());
    const auto listed = [](const std::string& title, const std::string& rows) {
        return " " + title + "\n\n\n           1        2   \n" + rows + "\n\n";
    };
    const std::string zeros = " .000E+00 .000E+00\n";
    EXPECT_TRUE(holds(report, listed("INPUT VECTOR", "       .100E+02 .300E+01\n") +
                                  listed("EXPORT VECTOR", "      " + zeros) +
                                  listed("RESPIRATION VECTOR", "       .100E+02 .000E+00\n") +
                                  listed("EXCHANGE MATRIX", "   1  " + zeros + "   2  " + zeros)))
        << report;
    EXPECT_TRUE(report.ends_with("\n\n NEXT" + std::string(74, ' ') + "\n\n"));
}

// ---------------------------------------------------------------------------------------------
// The file dialogs

namespace {

const std::string kNet = kOne + kEnd + rec(1, "10") + kEnd + rec(1, "10") + kEnd + kEnd + kFlowEnd;

std::string field41(const std::string& name) {
    return name + std::string(41 - name.size(), ' ');
}
std::string inputAccepted(const std::string& name) {
    return " Input filename (and optional folder)?\n The file\n " + field41(name) +
           "\n is to be read. OK? (y/n)";
}
std::string newOutputAccepted(const std::string& name) {
    return "\n Output filename (and optional folder)? \n The file\n " + field41(name) +
           "\n will be the output file. OK? (y,n)";
}
const std::string kStop = "Stop - Program terminated.\n";

struct Dialog : ::testing::Test {
    TempDir dir;
    void SetUp() override { writeFile(dir / "net.dat", kNet); }
    RunResult run(const std::string& answers) {
        return runProgram(FLOWANALYSIS_EXE, answers, dir.path());
    }
};

}  // namespace

TEST_F(Dialog, MissingInputFileThenAnotherName) {
    RunResult r = run("net.dat\ny\nrep.txt\n\n");  // an empty answer accepts the output file
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console, inputAccepted("net.dat") + newOutputAccepted("rep.txt") + kStop);
    EXPECT_EQ(r.errors, "");
    EXPECT_TRUE(holds(readFile(dir / "rep.txt"), "NUMBER OF COMPARTMENTS IS    1"));
    r = run("nothere.dat\nn\nnet.dat\nY\nrep2.txt\nx\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console, " Input filename (and optional folder)? \n The file\n " +
                             field41("nothere.dat") +
                             "\n does not exist!\n (E)xit or try another (N)ame? (e/n)" +
                             inputAccepted("net.dat") + newOutputAccepted("rep2.txt") + kStop);
}

TEST_F(Dialog, EveryRefusalEndsWithItsOwnLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"nothere.dat\ne\n", "TERMINATED. Find out which file you want."},
        {"nothere.dat\nx\n", "TERMINATED. Find out which file you want."},
        {"net.dat\nn\ne\n", "TERMINATED. Figure out which file."},
        {"net.dat\n\nE\n", "TERMINATED. Figure out which file."},  // an empty answer refuses
        {"net.dat\ny\nrep.txt\nn\ne\n", "TERMINATED. Find out which file you want."},
        {"net.dat\ny\nold.txt\n\ne\n", "TERMINATED. Figure out which file"},
        {"net.dat\ny\nnet.dat\ny\nn\n", "TERMINATED. Check your program."},
    };
    for (const auto& [answers, line] : cases) {
        writeFile(dir / "old.txt", "old report\n");
        RunResult r = run(answers);
        EXPECT_EQ(r.status, 0) << answers;
        EXPECT_TRUE(r.console.ends_with(line + "\n") && !holds(r.console, kStop)) << r.console;
        EXPECT_FALSE(std::filesystem::exists(dir / "rep.txt")) << answers;
        EXPECT_EQ(readFile(dir / "old.txt") + readFile(dir / "net.dat"), "old report\n" + kNet);
    }
}

TEST_F(Dialog, ExistingReportIsReplacedOnlyWhenConfirmed) {
    writeFile(dir / "old.txt", "old report\n");
    RunResult r = run("net.dat\ny\nold.txt\nn\nN\nold.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    const std::string question =
        "\n Output filename (and optional folder)?\n The EXISTING file\n " + field41("old.txt") +
        "\n is to be OVERWRITTEN. OK? (y/n)";
    EXPECT_EQ(r.console, inputAccepted("net.dat") + question +
                             " (E)xit or try another (N)ame? (e/n)" + question + kStop);
    const std::string report = readFile(dir / "old.txt");
    EXPECT_TRUE(!holds(report, "old report") && report.starts_with("\n\n T "));
}

// Named again as the output, however spelled, and confirmed twice: another name is asked for.
TEST_F(Dialog, TheNetworkFileIsNeverOpenedForWriting) {
    RunResult r = run("net.dat\ny\n./net.dat\ny\ny\nrep.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(holds(r.console,
                      "OVERWRITTEN. OK? (y/n) Hold on, that file is already opened!\n"
                      " Keep going? (y/n) (Else you will exit the program)."));
    EXPECT_TRUE(holds(r.console, "it cannot be the output file.\n\n Output filename"));
    EXPECT_EQ(readFile(dir / "net.dat"), kNet);
    EXPECT_TRUE(readFile(dir / "rep.txt").starts_with("\n\n T "));
}

// The network file and the report in a folder.
TEST_F(Dialog, NamesWithAFolder) {
    std::filesystem::create_directory(dir / "sub");
    writeFile(dir / "sub" / "n.dat", kNet);
    EXPECT_EQ(run("sub/n.dat\ny\nsub/r.txt\ny\n").status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "sub" / "r.txt"));
}
