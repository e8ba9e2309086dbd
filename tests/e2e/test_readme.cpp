// The README's examples of the command line, run as a newcomer pastes them: in the top folder of
// the checkout after the build, every one to a status of 0, and the output the README promises.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run.hpp"

using namespace flownet::testing;
namespace fs = std::filesystem;

namespace {

const fs::path kSource = fs::path(EXAMPLES_DIR).parent_path();

// The indented lines after each line of the README that begins "Examples (in the top folder".
std::vector<std::string> readmeExamples() {
    std::vector<std::string> examples;
    bool inBlock = false;
    for (const std::string& line : lines(readFile(kSource / "README.md"))) {
        if (line.rfind("Examples (in the top folder of the checkout", 0) == 0) {
            inBlock = true;
        } else if (inBlock && line.rfind("    ", 0) == 0) {
            examples.push_back(line.substr(4));
        } else if (inBlock && !line.empty()) {
            inBlock = false;
        }
    }
    return examples;
}

TEST(Readme, TheExamplesOfTheCommandLineRunAsPasted) {
    const std::vector<std::string> examples = readmeExamples();
    ASSERT_GE(examples.size(), 8u);
    // A checkout of its own: the build, the examples and the tests where the README has them.
    TempDir top;
    fs::create_directory_symlink(fs::path(FLOWANALYSIS_EXE).parent_path().parent_path(),
                                 top / "build");
    fs::copy(kSource / "examples", top / "examples");
    fs::create_directory_symlink(kSource / "tests", top / "tests");
    for (const std::string& example : examples) {
        SCOPED_TRACE(example);
        EXPECT_EQ(example.rfind("build/", 0), 0u) << "an example calls a program by name alone";
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
}

}  // namespace
