// The README's examples, of the command line and of answers from a file, run as a newcomer pastes
// them: in the top folder of the checkout after the build, in the order of the page, every one to
// a status of 0, and the output the README promises.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run.hpp"

using namespace flownet::testing;
namespace fs = std::filesystem;

namespace {

const fs::path kSource = fs::path(EXAMPLES_DIR).parent_path();

// The indented lines of the block after each paragraph of the README that begins "Examples (in
// the top folder".
std::vector<std::string> readmeExamples() {
    std::vector<std::string> examples;
    enum { Outside, Heading, Block } state = Outside;
    for (const std::string& line : lines(readFile(kSource / "README.md"))) {
        const bool indented = line.rfind("    ", 0) == 0;
        if (line.rfind("Examples (in the top folder of the checkout", 0) == 0) {
            state = Heading;
        } else if (state != Outside && indented) {
            examples.push_back(line.substr(4));
            state = Block;
        } else if (state == Block && !line.empty()) {
            state = Outside;
        }
    }
    return examples;
}

TEST(Readme, TheExamplesOfTheCommandLineRunAsPasted) {
    const std::vector<std::string> examples = readmeExamples();
    ASSERT_GE(examples.size(), 11u);
    // A checkout of its own: the build, the examples and the tests where the README has them.
    TempDir top;
    fs::create_directory_symlink(fs::path(FLOWANALYSIS_EXE).parent_path().parent_path(),
                                 top / "build");
    fs::copy(kSource / "examples", top / "examples");
    fs::create_directory_symlink(kSource / "tests", top / "tests");
    for (const std::string& example : examples) {
        SCOPED_TRACE(example);
        EXPECT_TRUE(example.rfind("build/", 0) == 0 || example.rfind("printf ", 0) == 0)
            << "an example calls a program by name alone";
        const RunResult r = runProgram("/bin/sh", "", top.path(), {"-c", example});
        EXPECT_EQ(r.status, 0) << r.errors;
        if (example.find("--json - |") != std::string::npos) {
            EXPECT_EQ(r.console,
                      "SALT MARSH CREEK, CARBON FLOWS (G C/M2/Y), WITH A DETRITAL POOL 325.0404\n");
        }
    }
    EXPECT_TRUE(fs::exists(top / "marsh-report.txt"));
    EXPECT_TRUE(fs::exists(top / "report2.txt"));
    EXPECT_TRUE(fs::exists(top / "marsh.svg"));
    EXPECT_TRUE(fs::exists(top / "changes.csv"));
    EXPECT_NE(readFile(top / "marsh-dialog.txt").find("CONNECTANCE INDICES"), std::string::npos);
    EXPECT_EQ(readFile(top / "pond2.dat"), readFile(kSource / "examples" / "pond.dat"));
}

}  // namespace
