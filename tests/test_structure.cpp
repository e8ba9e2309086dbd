// Structure analyses: total contribution and dependency coefficients and the analysis of each
// input, read back from the printed listings.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

#include "support/stages.hpp"

using namespace flownet;
using namespace flownet::testing;

namespace {

using Values = std::vector<std::string>;

std::string structureReport(const NetData& d, InjectedInput inject = InjectedInput::Unit) {
    auto a = std::make_unique<AnalysisArrays<10>>();
    load(*a, d);
    ascend(*a);
    std::ostringstream out;
    structureAnalyses(out, a->N, structureArrays(*a), inject);
    return out.str();
}

// Inputs at 1 and 3, a cycle between 1 and 2 and one between 2 and 3; in steady state.
const std::vector<Flow> kCycles{{1, 2, 8}, {2, 1, 2}, {2, 3, 5}, {3, 2, 3}};
const NetData kTwoInputs{3, 3, {10, 0, 5}, {0, 0, 7}, {4, 4}, kCycles};

}  // namespace

// IN(1) = 10 -> 1 -> 2 -> 3 -> EX(3) = 6, RE(1) = RE(2) = 2: X = (10, 8, 6). 4/5 of 1's
// throughput reaches 2, 4/5 x 3/4 = 3/5 reaches 3, 3/4 of 2's reaches 3; all of 2's and 3's came
// through 1, all of 3's through 2. One unit into 1 passes 0.8 to 2 and 0.6 to 3.
TEST(StructureAnalyses, StraightChain) {
    const NetData chain{3, 3, {10}, {0, 0, 6}, {2, 2}, {{1, 2, 8}, {2, 3, 6}}};
    const std::string r = structureReport(chain);
    const std::string o = ".000E+00";
    EXPECT_EQ(listing(r, "TOTAL CONTRIBUTION COEFFICIENTS"),
              (Values{o, ".800E+00", ".600E+00", o, o, ".750E+00", o, o, o}));
    EXPECT_EQ(listing(r, "TOTAL DEPENDENCY COEFFICIENTS"),
              (Values{o, ".100E+01", ".100E+01", o, o, ".100E+01", o, o, o}));
    EXPECT_EQ(r.find(" ANALYSIS OF INPUT  1\n"), r.rfind("ANALYSIS OF INPUT") - 1);  // the only one
    EXPECT_EQ(listing(r, "INPUT VECTOR"), (Values{".100E+01", o, o}));
    EXPECT_EQ(listing(r, "EXPORT VECTOR"), (Values{o, o, ".600E+00"}));
    EXPECT_EQ(listing(r, "RESPIRATIONS"), (Values{".200E+00", ".200E+00", o}));
    EXPECT_EQ(listing(r, "EXCHANGE MATRIX"), (Values{o, ".800E+00", o, o, o, ".600E+00", o, o, o}));
    // Injecting the actual input of 10 scales the block by 10.
    const std::string actual = structureReport(chain, InjectedInput::Actual);
    EXPECT_EQ(listing(actual, "RESPIRATIONS"), (Values{".200E+01", ".200E+01", o}));
    EXPECT_EQ(listing(actual, "EXCHANGE MATRIX"),
              (Values{o, ".800E+01", o, o, o, ".600E+01", o, o, o}));
}

// 1 (input 10) gives 10 to 2 and respires 5; 2 feeds itself 2, returns 5 to 1 and exports 5:
// X = (15, 12), (I - G)^-1 = [1.5 1.5; 0.6 1.8], (I - F)^-1 = [1.5 1.2; 0.75 1.8]. Of 2's
// throughput 5/12 goes to 1 at once and, through its own loop, (5/12) / (1 - 1/6) = 1/2 in all.
// All of 2's throughput came from 1, a third of 1's from 2. A unit into 1 generates 1.5 and 1.2.
TEST(StructureAnalyses, CycleWithASelfLoop) {
    const std::string r =
        structureReport({2, 2, {10}, {0, 5}, {5}, {{1, 2, 10}, {2, 1, 5}, {2, 2, 2}}});
    EXPECT_EQ(listing(r, "TOTAL CONTRIBUTION COEFFICIENTS"),
              (Values{".333E+00", ".667E+00", ".500E+00", ".444E+00"}));
    EXPECT_EQ(listing(r, "TOTAL DEPENDENCY COEFFICIENTS"),
              (Values{".333E+00", ".100E+01", ".333E+00", ".444E+00"}));
    EXPECT_EQ(listing(r, "EXCHANGE MATRIX"),
              (Values{".000E+00", ".100E+01", ".500E+00", ".200E+00"}));
}

// In steady state one unit in is one unit out: exports and respirations of each block sum to 1.
TEST(StructureAnalyses, EachInputLeavesAsExportsAndRespirations) {
    const std::string r = structureReport(kTwoInputs);
    EXPECT_EQ(r.find(" ANALYSIS OF INPUT  2"), std::string::npos);
    for (int block = 1; block <= 2; ++block) {
        float out = 0.0f;
        for (const auto& f : listing(r, "EXPORT VECTOR", block)) out += std::stof(f);
        for (const auto& f : listing(r, "RESPIRATIONS", block)) out += std::stof(f);
        EXPECT_NEAR(out, 1.0f, 3e-3f) << "block " << block;
    }
}

// Numbering the compartments 1, 2, 3 as 2, 3, 1 moves the coefficient of (i, j) to (p(i), p(j)).
TEST(StructureAnalyses, RelabellingPermutesBothCoefficientMatrices) {
    const int p[] = {0, 2, 3, 1};
    NetData relabelled{3, 3, {5, 10, 0}, {7, 0, 0}, {0, 4, 4}, {}};
    for (const Flow& f : kCycles) relabelled.flows.push_back({p[f.from], p[f.to], f.t});
    const std::string original = structureReport(kTwoInputs), other = structureReport(relabelled);
    for (const char* title : {"TOTAL CONTRIBUTION COEFFICIENTS", "TOTAL DEPENDENCY COEFFICIENTS"}) {
        const Values a = listing(original, title), b = listing(other, title);
        for (int i = 1; i <= 3; ++i) {
            for (int j = 1; j <= 3; ++j) {
                const float x = std::stof(a[3 * (i - 1) + j - 1]);
                EXPECT_NEAR(x, std::stof(b[3 * (p[i] - 1) + p[j] - 1]), 0.01f * x)
                    << title << i << j;
            }
        }
    }
}
