// The file dialogs of flowanalysis, run end to end with scripted answers.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run.hpp"

using namespace flownet::testing;

namespace {

const std::string kNet =
    "ONE COMPARTMENT\n"
    "  1  1\n"
    "POOL\n"
    " -1\n"
    "  1  .1000000E+02\n"
    " -1\n"
    "  1  .1000000E+02\n"
    " -1\n"
    " -1\n"
    " -1 -1\n";

std::string field41(const std::string& name) {
    return name + std::string(41 - name.size(), ' ');
}

// The console text of the dialogs up to an accepted new report file.
std::string inputAccepted(const std::string& name) {
    return " Input filename (and optional folder)?\n The file\n " + field41(name) +
           "\n is to be read. OK? (y/n)";
}
std::string newOutputAccepted(const std::string& name) {
    return "\n Output filename (and optional folder)? \n The file\n " + field41(name) +
           "\n will be the output file. OK? (y,n)";
}

struct Dialog : ::testing::Test {
    TempDir dir;
    void SetUp() override { writeFile(dir / "net.dat", kNet); }
    RunResult run(const std::string& answers) {
        return runProgram(FLOWANALYSIS_EXE, answers, dir.path());
    }
};

}  // namespace

TEST_F(Dialog, AcceptedFilesGiveAReportAndTheStopLine) {
    RunResult r = run("net.dat\ny\nrep.txt\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console, inputAccepted("net.dat") + newOutputAccepted("rep.txt") +
                             "Stop - Program terminated.\n");
    EXPECT_EQ(r.errors, "");
    EXPECT_NE(readFile(dir / "rep.txt").find("NUMBER OF COMPARTMENTS IS    1"), std::string::npos);
}

TEST_F(Dialog, MissingInputFileThenAnotherName) {
    RunResult r = run("nothere.dat\nn\nnet.dat\nY\nrep.txt\nx\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console, " Input filename (and optional folder)? \n The file\n " +
                             field41("nothere.dat") +
                             "\n does not exist!\n (E)xit or try another (N)ame? (e/n)" +
                             inputAccepted("net.dat") + newOutputAccepted("rep.txt") +
                             "Stop - Program terminated.\n");
}

TEST_F(Dialog, EveryRefusalEndsWithItsOwnLine) {
    struct Case {
        std::string answers, line;
    } cases[] = {
        {"nothere.dat\ne\n", "TERMINATED. Find out which file you want."},
        {"nothere.dat\nx\n", "TERMINATED. Find out which file you want."},
        {"net.dat\nn\ne\n", "TERMINATED. Figure out which file."},
        {"net.dat\n\nE\n", "TERMINATED. Figure out which file."},  // an empty answer refuses
        {"net.dat\ny\nrep.txt\nn\ne\n", "TERMINATED. Find out which file you want."},
        {"net.dat\ny\nold.txt\n\ne\n", "TERMINATED. Figure out which file"},
        {"net.dat\ny\nnet.dat\ny\nn\n", "TERMINATED. Check your program."},
    };
    for (const Case& c : cases) {
        writeFile(dir / "old.txt", "old report\n");
        RunResult r = run(c.answers);
        EXPECT_EQ(r.status, 0) << c.answers;
        EXPECT_EQ(r.console.substr(r.console.size() - c.line.size() - 1), c.line + "\n")
            << c.answers;
        EXPECT_EQ(r.console.find("Stop - Program terminated."), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(dir / "rep.txt")) << c.answers;
        EXPECT_EQ(readFile(dir / "old.txt"), "old report\n");
        EXPECT_EQ(readFile(dir / "net.dat"), kNet);
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
                             " (E)xit or try another (N)ame? (e/n)" + question +
                             "Stop - Program terminated.\n");
    std::string report = readFile(dir / "old.txt");
    EXPECT_EQ(report.find("old report"), std::string::npos);
    EXPECT_NE(report.find("ONE COMPARTMENT"), std::string::npos);
}

TEST_F(Dialog, TheNetworkFileIsNeverOpenedForWriting) {
    // Named again as the output, however spelled, and confirmed twice: another name is asked for.
    RunResult r = run("net.dat\ny\n./net.dat\ny\ny\nrep.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.console.find("OVERWRITTEN. OK? (y/n) Hold on, that file is already opened!\n"
                             " Keep going? (y/n) (Else you will exit the program)."),
              std::string::npos);
    EXPECT_NE(r.console.find("it cannot be the output file.\n\n Output filename"),
              std::string::npos);
    EXPECT_EQ(readFile(dir / "net.dat"), kNet);
    EXPECT_NE(readFile(dir / "rep.txt").find("ONE COMPARTMENT"), std::string::npos);
}

TEST_F(Dialog, LongNamesAreCutToFortyOneCharacters) {
    const std::string name41 = std::string(37, 'n') + ".dat";
    writeFile(dir / name41, kNet);
    RunResult r = run(name41 + "IGNORED\ny\nrep.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.console.find("\n " + name41 + "\n is to be read."), std::string::npos);
}

TEST_F(Dialog, FoldersAndBlankNames) {
    std::filesystem::create_directory(dir / "sub");
    writeFile(dir / "sub" / "n.dat", kNet);
    RunResult r = run("sub/n.dat\ny\nsub/r.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "sub" / "r.txt"));

    // A blank name and a folder name are files that do not exist.
    r = run("\nn\nsub\ne\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.console.find("\n " + field41("") + "\n does not exist!"), std::string::npos);
    EXPECT_NE(r.console.find("\n " + field41("sub") + "\n does not exist!"), std::string::npos);
}

TEST_F(Dialog, EndOfInputAtAQuestionIsAFailure) {
    for (const char* answers : {"", "net.dat\n", "net.dat\ny\n", "net.dat\ny\nrep.txt\n"}) {
        RunResult r = run(answers);
        EXPECT_EQ(r.status, 2) << answers;
        EXPECT_NE(r.errors.find("flowanalysis: "), std::string::npos);
        EXPECT_EQ(r.console.find("Stop - Program terminated."), std::string::npos);
    }
}

TEST_F(Dialog, AReportThatCannotBeCreatedIsAFailure) {
    RunResult r = run("net.dat\ny\nno/such/folder/rep.txt\ny\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.errors.find("no/such/folder/rep.txt"), std::string::npos);
}
