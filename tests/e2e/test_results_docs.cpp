// The examples of docs/results.md in R (jsonlite) and Python (pandas), run on the files the page
// says they were made from, must print what the page shows. They are skipped, with a message,
// only where R with jsonlite, or pandas, is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/run.hpp"

using namespace flownet::testing;
namespace fs = std::filesystem;

namespace {

const fs::path kDocs = fs::path(EXAMPLES_DIR).parent_path() / "docs" / "results.md";

// The code of the first block fenced as `language`, and the block after it (its output).
bool example(const std::string& language, std::string& code, std::string& output) {
    const std::string page = readFile(kDocs);
    const std::size_t start = page.find("```" + language + "\n");
    if (start == std::string::npos) return false;
    const std::size_t body = start + 4 + language.size();
    const std::size_t end = page.find("```\n", body);
    const std::size_t out = page.find("```\n", end + 4);
    const std::size_t outEnd = out == std::string::npos ? out : page.find("```\n", out + 4);
    if (end == std::string::npos || outEnd == std::string::npos) return false;
    code = page.substr(body, end - body);
    output = page.substr(out + 4, outEnd - out - 4);
    return true;
}

// The folder of the page's examples: marsh.dat and pond.dat analysed into results.json and
// summary.csv.
void prepare(const TempDir& dir) {
    for (const char* name : {"marsh.dat", "pond.dat"}) {
        fs::copy_file(fs::path(EXAMPLES_DIR) / name, dir / name);
    }
    const RunResult r = runProgram(FLOWANALYSIS_EXE, "", dir.path(),
                                   {"marsh.dat", "pond.dat", "--no-report", "--json",
                                    "results.json", "--summary", "summary.csv"});
    ASSERT_EQ(r.status, 0) << r.errors;
}

bool succeeds(const std::string& command) {
    return std::system((command + " > /dev/null 2>&1").c_str()) == 0;
}

TEST(Results, TheRExampleOfThePageRunsAsShown) {
    if (!succeeds("Rscript -e 'library(jsonlite)'")) {
        GTEST_SKIP() << "R with jsonlite is not installed (Debian: r-base-core r-cran-jsonlite; "
                        "scripts/install-packages.sh installs them)";
    }
    std::string code, output;
    ASSERT_TRUE(example("r", code, output));
    TempDir dir;
    prepare(dir);
    writeFile(dir / "example.R", code);
    const RunResult r = runProgram("/bin/sh", "", dir.path(), {"-c", "Rscript example.R"});
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.console, output);
}

TEST(Results, ThePandasExampleOfThePageRunsAsShown) {
    // Debian's Python, where Debian's pandas is.
    const std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    if (!succeeds(python + " -c 'import pandas'")) {
        GTEST_SKIP() << "pandas is not installed (Debian: python3-pandas; "
                        "scripts/install-packages.sh installs it)";
    }
    std::string code, output;
    ASSERT_TRUE(example("python", code, output));
    TempDir dir;
    prepare(dir);
    writeFile(dir / "example.py", code);
    const RunResult r = runProgram(python, "", dir.path(), {"example.py"});
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.console, output);
}

}  // namespace
