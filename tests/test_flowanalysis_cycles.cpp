// flowanalysis end to end: the feeding cycles removed before the trophic aggregation, and the cycle
// analysis of the whole network when some compartments are non-living.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run.hpp"

using namespace flownet::testing;

namespace {

std::string analyse(const std::string& example) {
    TempDir dir;
    std::filesystem::copy_file(std::string(EXAMPLES_DIR) + "/" + example, dir / "net.dat");
    RunResult r = runProgram(FLOWANALYSIS_EXE, "net.dat\ny\nrep.txt\ny\n", dir.path());
    EXPECT_EQ(r.status, 0) << r.errors;
    return readFile(dir / "rep.txt");
}

std::string between(const std::string& text, const std::string& from, const std::string& to) {
    std::size_t a = text.find(from);
    std::size_t b = text.find(to, a);
    if (a == std::string::npos || b == std::string::npos) return "(missing)";
    return text.substr(a, b - a);
}

}  // namespace

TEST(FeedingCycles, SelfLoopsOfThePondAreListedAndRemovedBeforeTheTrophicLevels) {
    // The zooplankton (2) and the fish (3) feed on themselves, 2.0 and 1.0. Both close a cycle
    // once, so the cycle order is 2, 3; the weaker nexus is listed first. Removing both takes
    // 3.0 on cycles of one arc: the Finn index is 3 / TST, TST = 50 + 29 + 11 + 39 = 129.
    std::string report = analyse("pond.dat");
    const std::string expected =
        "1                      *** EXTRACTION OF FEEDING CYCLES ***\n\n"
        "\n      1-CYCLE NEXUS WITH WEAK ARC ( 3, 3) =     1.000\n"
        "     1.  3- 3-\n"
        "\n      1-CYCLE NEXUS WITH WEAK ARC ( 2, 2) =     2.000\n"
        "     2.  2- 2-\n"
        "\n FINN CYCLING INDEX IS   .2326E-01\n\n"
        "\n CYCLE-FREE FEEDING TRANSFERS\n\n"
        "\n\n           1        2        3   \n"
        "   1   .000E+00 .200E+02 .000E+00\n"
        "   2   .000E+00 .000E+00 .600E+01\n"
        "   3   .000E+00 .000E+00 .000E+00\n\n";
    EXPECT_EQ(
        between(report, "1                      ***", "\n\n\n                    *** LINDEMAN"),
        expected);
    // The levels follow the cycle-free transfers: plankton 1, zooplankton 2, fish 3.
    EXPECT_NE(
        report.find(
            " EFFECTIVE TROPHIC LEVELS OF EACH SPECIES\n\n\n           1        2        3   \n"
            "       .100E+01 .200E+01 .300E+01\n"),
        std::string::npos);
    // All living: no cycle analysis of the whole network.
    EXPECT_EQ(report.find("BIOGEOCHEMICAL"), std::string::npos);
}

TEST(WholeNetworkCycles, DetritalCyclesOfTheMarsh) {
    // Cycles 4-2-4 (arcs 10, 12) and 4-2-3-4 (arcs 10, 8, 3); the detritus closes two arcs and
    // leads the cycle order. The weak arc (3, 4) = 3 goes first: its cycle takes 3 off each of its
    // arcs; then (4, 2), down to 7, takes 7 off the other cycle. Cycled flow: 3 * 3 + 2 * 7 = 23.
    std::string report = analyse("marsh.dat");
    EXPECT_EQ(report.find("EXTRACTION OF FEEDING CYCLES"), std::string::npos);
    EXPECT_EQ(report.find("CYCLE-FREE FEEDING TRANSFERS"), std::string::npos);
    const std::string expected =
        "                     *** BIOGEOCHEMICAL CYCLE ANALYSIS ***\n\n"
        "\n      1-CYCLE NEXUS WITH WEAK ARC ( 3, 4) =     3.000\n"
        "     1.  4- 2- 3- 4-\n"
        "\n      1-CYCLE NEXUS WITH WEAK ARC ( 4, 2) =    10.000\n"
        "     2.  4- 2- 4-\n"
        "\n\n CYCLE DISTRIBUTIONS\n"
        "\n\n           1        2        3        4   \n"
        "       .000E+00 .140E+02 .900E+01 .000E+00\n\n\n"
        " NORMALIZED DISTRIBUTION\n"
        "\n\n           1        2        3        4   \n"
        "       .000E+00 .495E-01 .318E-01 .000E+00\n\n\n"
        "\n FINN CYCLING INDEX IS   .8127E-01\n\n"
        " RESIDUAL FLOWS\n"
        "\n\n           1        2        3        4   \n"
        "   1   .000E+00 .300E+02 .000E+00 .200E+02\n"
        "   2   .000E+00 .000E+00 .500E+01 .500E+01\n"
        "   3   .000E+00 .000E+00 .000E+00 .000E+00\n"
        "   4   .000E+00 .000E+00 .000E+00 .000E+00\n\n\n"
        " AGGREGATED BIOGEOCHEMICAL CYCLES\n"
        "\n\n           1        2        3        4   \n"
        "   1   .000E+00 .000E+00 .000E+00 .000E+00\n"
        "   2   .000E+00 .000E+00 .300E+01 .700E+01\n"
        "   3   .000E+00 .000E+00 .000E+00 .300E+01\n"
        "   4   .000E+00 .100E+02 .000E+00 .000E+00\n\n";
    EXPECT_EQ(between(report, "                     *** BIOGEOCHEMICAL",
                      "\n\n\n                          *** INFORMATION"),
              expected);
}
