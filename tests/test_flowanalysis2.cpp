// flowanalysis2 end to end: a report file per network, inputs at their actual size, migratory
// inputs left out of primary production, the full cycle analysis, the 128-compartment limit.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "support/run.hpp"

using namespace flownet::testing;

namespace {

std::string entry(int i, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%3d%14.4f\n", i, v);
    return buf;
}
std::string flow(int i, int j, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%3d%3d%14.4f\n", i, j, v);
    return buf;
}

// A network file: title, counts, names, then inputs, exports, respirations and flows.
struct NetFile {
    int n, nl;
    std::string inputs, exports, respirations, flows;
    NetFile(int n_, int nl_) : n(n_), nl(nl_) {}
    NetFile& in(int i, double v) { return inputs += entry(i, v), *this; }
    NetFile& ex(int i, double v) { return exports += entry(i, v), *this; }
    NetFile& re(int i, double v) { return respirations += entry(i, v), *this; }
    NetFile& t(int i, int j, double v) { return flows += flow(i, j, v), *this; }
    std::string text(const std::string& title) const {
        std::string s = title + std::string(78 - title.size(), ' ') + "\n";
        s += flow(n, nl, 0).substr(0, 6) + "\n";
        for (int i = 1; i <= n; ++i) s += "C" + std::to_string(i) + "\n";
        return s + " -1\n" + inputs + " -1\n" + exports + " -1\n" + respirations + " -1\n" + flows +
               " -1 -1\n";
    }
};

struct Run : ::testing::Test {
    TempDir dir;
    RunResult result;
    RunResult run(const std::string& program, const std::string& file, const std::string& answers) {
        writeFile(dir / "net.dat", file);
        return result = runProgram(program, answers, dir.path());
    }
    std::string report(const std::string& name) { return readFile(dir / name); }
};

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

int count(const std::string& text, const std::string& part) {
    int k = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++k;
    return k;
}

}  // namespace

TEST_F(Run, MigratoryInputIsLeftOutOfPrimaryProduction) {
    // 1 takes up 100 and feeds 30 to 2, which also receives 20 from outside: a suspected
    // migratory input. Its intake is then 30, all of it from level 1, so it sits wholly at level 2
    // and the chain starts with the primary production 100. flowanalysis puts 20/50 of it at
    // level 1 and starts the chain at 100 + 0.4 * 20 + 0.6 * 20 = 120.
    std::string file =
        NetFile(2, 2).in(1, 100).in(2, 20).re(1, 70).re(2, 50).t(1, 2, 30).text("MIGRANTS");
    run(FLOWANALYSIS2_EXE, file, "net.dat\ny\nr2.txt\ny\n");
    ASSERT_EQ(result.status, 0) << result.errors;
    std::string r = report("r2.txt");
    EXPECT_TRUE(has(r,
                    "                    *** LINDEMAN TROPHIC AGGREGATIONS ***\n\n"
                    " THE FOLLOWING INPUTS ARE SUSPECTED TO BE MIGRATORY INPUTS.\n"
                    " THEY WILL BE TREATED AS NON-PRIMARY INFLOWS.\n\n"
                    "   MIGRATORY INPUT TO   2 =  .20000E+02\n\n\n"
                    " LINDEMAN TRANSFORMATION MATRIX\n\n\n           1        2   \n"
                    "   1   .100E+01 .000E+00\n   2   .000E+00 .100E+01\n"));
    EXPECT_TRUE(has(r,
                    " CANONICAL DISTRIBUTION OF INPUTS\n\n\n           1        2   \n"
                    "       .100E+03 .200E+02\n"));
    EXPECT_TRUE(
        has(r, " THE GRAZING CHAIN\n\n\n           1        2   \n       .100E+03 .300E+02\n"));

    run(FLOWANALYSIS_EXE, file, "net.dat\ny\nr1.txt\ny\n");
    r = report("r1.txt");
    EXPECT_TRUE(
        has(r, " THE GRAZING CHAIN\n\n\n           1        2   \n       .120E+03 .300E+02\n"));
    EXPECT_FALSE(has(r, "MIGRATORY"));
}

TEST_F(Run, InputBlocksCarryTheActualInput) {
    // Input 5 to 1, which passes 3 to 2 and respires 2; 2 exports 3. Per unit of input the block
    // holds exports (0, .6), respirations (.4, 0) and the flow .6; with the actual input, five
    // times as much.
    std::string file = NetFile(2, 2).in(1, 5).re(1, 2).ex(2, 3).t(1, 2, 3).text("INPUT OF FIVE");
    run(FLOWANALYSIS2_EXE, file, "net.dat\ny\nr2.txt\ny\n");
    const std::string actual =
        " ANALYSIS OF INPUT  1\n\n\n INPUT VECTOR\n\n\n           1        2   \n"
        "       .500E+01 .000E+00\n\n\n EXPORT VECTOR\n\n\n           1        2   \n"
        "       .000E+00 .300E+01\n\n\n RESPIRATIONS\n\n\n           1        2   \n"
        "       .200E+01 .000E+00\n\n\n EXCHANGE MATRIX\n\n\n           1        2   \n"
        "   1   .000E+00 .300E+01\n   2   .000E+00 .000E+00\n";
    EXPECT_TRUE(has(report("r2.txt"), actual)) << report("r2.txt");
    run(FLOWANALYSIS_EXE, file, "net.dat\ny\nr1.txt\ny\n");
    EXPECT_TRUE(has(report("r1.txt"),
                    " INPUT VECTOR\n\n\n           1        2   \n"
                    "       .100E+01 .000E+00\n\n\n EXPORT VECTOR\n\n\n"
                    "           1        2   \n       .000E+00 .600E+00\n"));
}

TEST_F(Run, AReportFilePerNetwork) {
    NetFile a(2, 2), b(2, 2);
    a.in(1, 5).re(1, 2).ex(2, 3).t(1, 2, 3);
    b.in(1, 4).re(1, 1).re(2, 3).t(1, 2, 3);
    std::string file = a.text("FIRST") + b.text("SECOND");
    run(FLOWANALYSIS2_EXE, file, "net.dat\ny\nfirst.txt\ny\nsecond.txt\ny\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(count(result.console, "Output filename"), 2);
    std::string first = report("first.txt"), second = report("second.txt");
    EXPECT_TRUE(has(first, "FIRST") && !has(first, "SECOND"));
    EXPECT_TRUE(has(second, "SECOND") && !has(second, "FIRST"));
    // Each report is complete: no cycle, so the full cycle analysis ends it.
    for (const std::string& r : {first, second}) {
        EXPECT_TRUE(
            has(r, "*** FULL CYCLE ANALYSIS ***\n\n\n               NO CYCLES DETECTED\n\n"));
        EXPECT_FALSE(has(r, "RESIDUAL FLOWS"));
    }

    // Naming the same file again, confirmed twice, replaces the first report with the second.
    run(FLOWANALYSIS2_EXE, file, "net.dat\ny\nsame.txt\ny\nsame.txt\ny\ny\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(
        has(result.console, "OVERWRITTEN. OK? (y/n) Hold on, that file is already opened!"));
    EXPECT_TRUE(has(report("same.txt"), "SECOND"));
    EXPECT_FALSE(has(report("same.txt"), "FIRST"));
}

TEST_F(Run, TitleErrorsAndEmptyFiles) {
    // No report file is open yet: the error goes to the console.
    run(FLOWANALYSIS2_EXE, std::string(78, ' ') + "xx\n", "net.dat\ny\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(has(result.console, "0 ERROR IN TITLE\nStop - Program terminated.\n"));
    EXPECT_FALSE(has(result.console, "Output filename"));

    run(FLOWANALYSIS2_EXE, "", "net.dat\ny\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_FALSE(has(result.console, "Output filename"));
    EXPECT_TRUE(has(result.console, "Stop - Program terminated.\n"));
}

TEST_F(Run, UpTo128Compartments) {
    // A chain of 100 compartments with a return flow from 100 to 99: one cycle of two arcs.
    NetFile chain(100, 0);
    chain.in(1, 100);
    for (int i = 1; i < 100; ++i) chain.t(i, i + 1, 100);
    chain.t(100, 99, 10).re(99, 10).re(100, 90);
    run(FLOWANALYSIS2_EXE, chain.text("CHAIN OF 100"), "net.dat\ny\nr.txt\ny\n");
    EXPECT_EQ(result.status, 0) << result.errors;
    std::string r = report("r.txt");
    EXPECT_TRUE(has(r, " NUMBER OF COMPARTMENTS IS  100\n"));
    // Compartment 100 does not fit the two columns of the node field.
    EXPECT_TRUE(has(r, "-CYCLE NEXUS WITH WEAK ARC (**,99) =   .1000E+02\n        1. **-99-**-\n"));
    EXPECT_TRUE(has(r, "  A TOTAL OF        1 CYCLES REMOVED."));

    NetFile big(129, 0);
    run(FLOWANALYSIS2_EXE, big.text("TOO BIG"), "net.dat\ny\nbig.txt\ny\n");
    EXPECT_TRUE(has(report("big.txt"),
                    " NUMBER OF COMPARTMENTS IS  129\n0 ERROR NUMBER OF COMPARTMENTS MAX=128\n"));
}
