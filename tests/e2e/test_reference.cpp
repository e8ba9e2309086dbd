// Whole runs of the three programs replayed against the reference runs in tests/reference (see its
// README.md for the networks): the same console and the same files left behind, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "support/run.hpp"

using namespace flownet::testing;
namespace fs = std::filesystem;

namespace {

// The nearest heading above the line that starts at `start`: the closest earlier line that holds a
// word of three or more letters (a section heading, a listing's title, a prompt); listings, column
// numbers and cycle lines hold none.
std::string headingAbove(const std::string& text, std::size_t start) {
    while (start > 0) {
        const std::size_t end = start - 1;
        start = end == 0 ? 0 : text.rfind('\n', end - 1) + 1;  // npos + 1 == 0
        const std::string line = text.substr(start, end - start);
        int letters = 0;
        for (char ch : line) {
            letters = std::isalpha(static_cast<unsigned char>(ch)) ? letters + 1 : 0;
            if (letters == 3) {
                const std::size_t first = line.find_first_not_of(' ');
                return line.substr(first, line.find_last_not_of(' ') - first + 1);
            }
        }
    }
    return "(none: the top of the file)";
}

// The first line at which two texts differ, with the heading it falls under and both versions of
// it, or "" when they agree.
std::string firstDifference(const std::string& expected, const std::string& actual) {
    if (expected == actual) return "";
    const std::size_t at =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first -
        expected.begin();
    const std::size_t start = at == 0 ? 0 : expected.rfind('\n', at - 1) + 1;  // npos + 1 == 0
    const auto lineOf = [start](const std::string& text) {
        return start >= text.size() ? std::string("(end of file)")
                                    : text.substr(start, text.find('\n', start) - start);
    };
    return "line " +
           std::to_string(std::count(expected.begin(), expected.begin() + start, '\n') + 1) +
           ", under \"" + headingAbove(expected, start) + "\"\n  expected: " + lineOf(expected) +
           "\n  actual:   " + lineOf(actual);
}

std::set<std::string> namesIn(const fs::path& folder, bool onlyFolders = false) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (!onlyFolders || e.is_directory()) names.insert(e.path().filename().string());
    }
    return names;
}

class Reference : public ::testing::TestWithParam<std::string> {};

TEST_P(Reference, ConsoleAndFilesMatchByteForByte) {
    const std::map<std::string, std::string> programs = {{"flowanalysis", FLOWANALYSIS_EXE},
                                                         {"flowanalysis2", FLOWANALYSIS2_EXE},
                                                         {"flowentry", FLOWENTRY_EXE}};
    const fs::path ref = fs::path(REFERENCE_DIR) / GetParam();
    TempDir dir;
    // The run leaves what expected/ holds, and the network copied in as it was.
    std::map<std::string, std::string> expected;
    for (const std::string& name : namesIn(ref / "expected")) {
        expected[name == "console.txt" ? "" : name] = readFile(ref / "expected" / name);
    }
    if (fs::exists(ref / "net.dat")) {
        fs::copy_file(ref / "net.dat", dir / "net.dat");
        expected.try_emplace("net.dat", readFile(ref / "net.dat"));
    }
    const RunResult run = runProgram(programs.at(lines(readFile(ref / "program")).at(0)),
                                     readFile(ref / "answers"), dir.path());
    EXPECT_EQ(run.status, 0) << run.errors;
    std::map<std::string, std::string> left{{"", run.console}};
    for (const std::string& name : namesIn(dir.path())) left[name] = readFile(dir / name);
    for (const auto& [name, text] : expected) {
        const std::string what = GetParam() + ", " + (name.empty() ? "console" : name);
        if (!left.count(name)) ADD_FAILURE() << what << ": expected but not written";
        const std::string diff = left.count(name) ? firstDifference(text, left[name]) : "";
        if (!diff.empty()) ADD_FAILURE() << what << ": " << diff;
    }
    for (const auto& [name, text] : left) {
        if (!expected.count(name)) ADD_FAILURE() << GetParam() << ", " << name << ": not expected";
    }
}

// The analysis programs started with arguments write the same reports as the dialog: report.txt
// for flowanalysis, report1.txt, report2.txt, ... (one per network) for flowanalysis2. A report
// that ends at an error line makes status 1.
TEST_P(Reference, CommandLineWritesTheDialogsReports) {
    const std::string program =
        lines(readFile(fs::path(REFERENCE_DIR) / GetParam() / "program")).at(0);
    if (program == "flowentry") GTEST_SKIP() << "flowentry's command line is tested with it";
    const fs::path ref = fs::path(REFERENCE_DIR) / GetParam();
    TempDir dir;
    fs::copy_file(ref / "net.dat", dir / "net.dat");
    const bool perNetwork = program == "flowanalysis2";
    const RunResult run =
        runProgram(perNetwork ? FLOWANALYSIS2_EXE : FLOWANALYSIS_EXE, "", dir.path(),
                   {"net.dat", "-q", "-o", perNetwork ? "report{n}.txt" : "report.txt"});
    int status = 0;
    std::set<std::string> reports;
    for (const std::string& name : namesIn(ref / "expected")) {
        if (name == "console.txt") continue;
        reports.insert(name);
        const std::string expected = readFile(ref / "expected" / name);
        if (expected.find("0 ERROR") != std::string::npos ||
            expected.find("NEXUS STORAGE EXCEEDED") != std::string::npos) {
            status = 1;
        }
        const std::string diff = fs::exists(dir / name)
                                     ? firstDifference(expected, readFile(dir / name))
                                     : "not written";
        if (!diff.empty()) ADD_FAILURE() << GetParam() << ", " << name << ": " << diff;
    }
    reports.insert("net.dat");
    EXPECT_EQ(namesIn(dir.path()), reports);
    EXPECT_EQ(run.status, status) << run.errors;
    EXPECT_EQ(run.console, "");
}

// One case per reference folder, named after it ("flowanalysis-web60" -> flowanalysis_web60).
INSTANTIATE_TEST_SUITE_P(Runs, Reference, ::testing::ValuesIn(namesIn(REFERENCE_DIR, true)),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](unsigned char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

}  // namespace
