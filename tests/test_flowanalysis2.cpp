// flowanalysis2: suspected migratory inputs, and end to end a report file per network, inputs at
// their actual size, migratory inputs left out of primary production, the 128-compartment limit.
#include <gtest/gtest.h>

#include <sstream>

#include "migratory.hpp"
#include "support/run.hpp"
#include "support/stages.hpp"

using namespace flownet;
using namespace flownet::testing;

namespace {

// Classifies the inputs of the network; the suspects (MIG) and what the report says.
std::pair<std::vector<float>, std::string> suspects(const NetData& d) {
    auto a = ascended(d);
    Vector<10> mig;
    std::ostringstream out;
    const int nMig = classifyInputs(out, d.n, d.nl, a->IN.view(), a->T.view(), mig.view());
    listMigratoryInputs(out, d.nl, nMig, mig.view());
    std::vector<float> m(mig.a.begin(), mig.a.begin() + d.n);
    EXPECT_EQ(nMig, static_cast<int>(d.n - std::count(m.begin(), m.end(), 0.0f))) << out.str();
    return {m, out.str()};
}

struct Run : ::testing::Test {
    TempDir dir;
    RunResult result;
    void run(const std::string& file, const std::string& answers) {
        writeFile(dir / "net.dat", file);
        result = runProgram(FLOWANALYSIS2_EXE, answers, dir.path());
    }
    std::string report(const std::string& name) { return readFile(dir / name); }
};

}  // namespace

// A living compartment with an input and some inflow, from living, detritus or itself, is a
// suspect; a non-living input never is. Without an unambiguous producer nothing is a suspect.
TEST(Migratory, SuspectsAndTheWarning) {
    // 1 (input 100) feeds 30 to 2, which also takes 20 from outside.
    auto [m, text] = suspects({2, 2, {100, 20}, {}, {}, {{1, 2, 30}}});
    EXPECT_EQ(m, (std::vector<float>{0, 20}));
    EXPECT_EQ(text,
              " THE FOLLOWING INPUTS ARE SUSPECTED TO BE MIGRATORY INPUTS.\n"
              " THEY WILL BE TREATED AS NON-PRIMARY INFLOWS.\n\n"
              "   MIGRATORY INPUT TO   2 =  .20000E+02\n\n\n");
    // 2 eats only detritus (3), which has an input of its own; 2 of the second feeds on itself.
    EXPECT_EQ(suspects({3, 2, {5, 1, 2}, {}, {}, {{3, 2, 0.5f}}}).first,
              (std::vector<float>{0, 1, 0}));
    EXPECT_EQ(suspects({2, 2, {5, 1}, {}, {}, {{2, 2, 0.25f}}}).first, (std::vector<float>{0, 1}));
    // Both inputs enter compartments that feed on each other: the warning, no suspect.
    std::tie(m, text) = suspects({2, 2, {5, 1}, {}, {}, {{1, 2, 3}, {2, 1, 1}}});
    EXPECT_EQ(m, (std::vector<float>{0, 0}));
    EXPECT_EQ(text,
              "\n WARNING!! NO UNAMBIGUOUS PRIMARY PRODUCERS FOUND.\n"
              " THEREFORE, ALL INPUTS ARE ASSUMED TO BE PRIMARY PRODUCTION.\n\n");
    // A flow the feeding-cycle search removed (rounded below zero) no longer counts; pure
    // producers print nothing.
    EXPECT_EQ(suspects({2, 2, {5, 1}, {}, {}, {{1, 2, 3}, {2, 1, -1.0e-7f}}}).first,
              (std::vector<float>{0, 1}));
    EXPECT_EQ(suspects({3, 2, {5}, {}, {}, {{1, 2, 2}, {2, 3, 1}}}).second, "");
}

TEST_F(Run, AReportFilePerNetwork) {
    const std::string file = networkFile({2, 2, {5}, {0, 3}, {2}, {{1, 2, 3}}}, "FIRST") +
                             networkFile({2, 2, {4}, {}, {1, 3}, {{1, 2, 3}}}, "SECOND");
    run(file, "net.dat\ny\nfirst.txt\ny\nsecond.txt\ny\n");
    EXPECT_EQ(result.status, 0);
    const std::string first = report("first.txt"), second = report("second.txt");
    EXPECT_TRUE(holds(first, "FIRST") && !holds(first, "SECOND"));
    EXPECT_TRUE(holds(second, "SECOND") && !holds(second, "FIRST"));
    // Each report is complete: no cycle, so the full cycle analysis ends it.
    for (const std::string& r : {first, second}) {
        EXPECT_TRUE(
            r.ends_with("*** FULL CYCLE ANALYSIS ***\n\n\n               NO CYCLES DETECTED\n\n"));
    }
    // Naming the same file again, confirmed twice, replaces the first report with the second.
    run(file, "net.dat\ny\nsame.txt\ny\nsame.txt\ny\ny\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(
        holds(result.console, "OVERWRITTEN. OK? (y/n) Hold on, that file is already opened!"));
    EXPECT_TRUE(holds(report("same.txt"), "SECOND") && !holds(report("same.txt"), "FIRST"));
}

// No report file is open yet: the error goes to the console; an empty file asks for no report.
TEST_F(Run, TitleErrorsAndEmptyFiles) {
    for (const std::string& file : {std::string(78, ' ') + "xx\n", std::string()}) {
        run(file, "net.dat\ny\n");
        EXPECT_EQ(result.status, 0);
        EXPECT_FALSE(holds(result.console, "Output filename"));
        EXPECT_TRUE(result.console.ends_with((file.empty() ? "" : "0 ERROR IN TITLE\n") +
                                             std::string("Stop - Program terminated.\n")));
    }
}

// A chain of 100 compartments with a return flow from 100 to 99: one cycle of two arcs, 100 not
// fitting the two columns of the node field. 129 compartments are refused.
TEST_F(Run, UpTo128Compartments) {
    NetData chain{100, 0, {100}, {}, std::vector<float>(100, 0.0f), {{100, 99, 10}}};
    chain.RE[98] = 10;
    chain.RE[99] = 90;
    for (int i = 1; i < 100; ++i) chain.flows.push_back({i, i + 1, 100});
    const std::string r = analyseFile(networkFile(chain, "CHAIN OF 100"), FLOWANALYSIS2_EXE);
    EXPECT_TRUE(holds(r, " NUMBER OF COMPARTMENTS IS  100\n"));
    EXPECT_TRUE(
        holds(r, "-CYCLE NEXUS WITH WEAK ARC (**,99) =   .1000E+02\n        1. **-99-**-\n"));
    EXPECT_TRUE(holds(r, "  A TOTAL OF        1 CYCLES REMOVED."));
    EXPECT_TRUE(
        analyseFile("TOO BIG\n129  0\n", FLOWANALYSIS2_EXE)
            .ends_with(
                " NUMBER OF COMPARTMENTS IS  129\n0 ERROR NUMBER OF COMPARTMENTS MAX=128\n"));
}
