// Whole runs of the three programs replayed against the reference runs in tests/reference (see its
// README.md for the networks): the same console and the same files left behind, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "support/run.hpp"

using namespace flownet::testing;
namespace fs = std::filesystem;

namespace {

// A piece of a line with control characters and backslashes written as escapes.
std::string visible(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        char buf[8];
        std::snprintf(buf, sizeof buf, c == '\n' ? "\\n" : "\\x%02x", c);
        out += (c >= 0x20 && c < 0x7f && c != '\\') ? std::string(1, char(c)) : std::string(buf);
    }
    return out;
}

// The first line at which two texts differ, with both versions of it, or "" when they agree.
std::string firstDifference(const std::string& expected, const std::string& actual) {
    if (expected == actual) return "";
    const std::size_t at =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first -
        expected.begin();
    const std::size_t start = at == 0 ? 0 : expected.rfind('\n', at - 1) + 1;  // npos + 1 == 0
    auto lineOf = [start](const std::string& text) {
        return start >= text.size()
                   ? std::string("(end of file)")
                   : visible(text.substr(start, text.find('\n', start) - start + 1));
    };
    return "line " +
           std::to_string(std::count(expected.begin(), expected.begin() + start, '\n') + 1) +
           "\n  expected: " + lineOf(expected) + "\n  actual:   " + lineOf(actual);
}

// The names in a folder: everything in it, or only its subfolders.
std::set<std::string> namesIn(const fs::path& folder, bool onlyFolders = false) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (!onlyFolders || e.is_directory()) names.insert(e.path().filename().string());
    return names;
}

const std::map<std::string, std::string> kPrograms = {{"flowanalysis", FLOWANALYSIS_EXE},
                                                      {"flowanalysis2", FLOWANALYSIS2_EXE},
                                                      {"flowentry", FLOWENTRY_EXE}};

class Reference : public ::testing::TestWithParam<std::string> {};

TEST_P(Reference, ConsoleAndFilesMatchByteForByte) {
    const fs::path ref = fs::path(REFERENCE_DIR) / GetParam();
    const auto program = kPrograms.find(lines(readFile(ref / "program")).at(0));
    ASSERT_NE(program, kPrograms.end()) << GetParam() << ": unknown program";
    TempDir dir;
    const bool copied = fs::exists(ref / "net.dat");
    if (copied) fs::copy_file(ref / "net.dat", dir / "net.dat");
    const RunResult run = runProgram(program->second, readFile(ref / "answers"), dir.path());
    EXPECT_EQ(run.status, 0) << GetParam() << "\n" << run.errors;

    auto compare = [&](const std::string& name, const fs::path& expected,
                       const std::string& actual) {
        const std::string diff = firstDifference(readFile(expected), actual);
        if (!diff.empty()) ADD_FAILURE() << GetParam() << ", " << name << ": " << diff;
    };
    compare("console", ref / "expected" / "console.txt", run.console);
    // Each file the run must leave, and what it must hold: the network copied in stays as it
    // was unless the reference lists it among the outputs.
    std::map<std::string, fs::path> expected;
    for (const std::string& name : namesIn(ref / "expected"))
        if (name != "console.txt") expected[name] = ref / "expected" / name;
    if (copied) expected.try_emplace("net.dat", ref / "net.dat");
    const std::set<std::string> written = namesIn(dir.path());
    for (const auto& [name, path] : expected) {
        if (!written.count(name))
            ADD_FAILURE() << GetParam() << ", " << name << ": expected but not written";
        else
            compare(name, path, readFile(dir / name));
    }
    for (const std::string& name : written)
        if (!expected.count(name))
            ADD_FAILURE() << GetParam() << ", " << name << ": written but not expected";
}

// One case per reference folder, named after it ("flowanalysis-web60" -> flowanalysis_web60).
INSTANTIATE_TEST_SUITE_P(Runs, Reference, ::testing::ValuesIn(namesIn(REFERENCE_DIR, true)),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
