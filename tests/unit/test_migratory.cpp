// flowanalysis2's separation of primary production from suspected migratory inputs (the
// reference runs hold whole reports of the program).
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "migratory.hpp"

using namespace flownet;

namespace {

// Classifies the inputs of a network of n compartments, nl of them living, with the inputs of
// 1, 2, ... and the flows {from, to, value}: the suspects (MIG) and what the report says.
std::pair<std::vector<float>, std::string> suspects(
    int n, int nl, const std::vector<float>& in,
    const std::vector<std::tuple<int, int, float>>& flows) {
    Vector<10> IN;
    Matrix<10> T;
    for (std::size_t i = 0; i < in.size(); ++i) IN(static_cast<int>(i) + 1) = in[i];
    for (auto [i, j, t] : flows) T(i, j) = t;
    MigratoryInputs mig;
    classifyInputs(n, nl, IN.view(), T.view(), mig);
    std::ostringstream out;
    writePrimaryProducerWarning(out, mig);
    listMigratoryInputs(out, nl, mig);
    std::vector<float> m(mig.MIG.a.begin(), mig.MIG.a.begin() + n);
    EXPECT_EQ(mig.nMig, static_cast<int>(n - std::count(m.begin(), m.end(), 0.0f))) << out.str();
    return {m, out.str()};
}

}  // namespace

// A living compartment with an input and some inflow, from living, detritus or itself, is a
// suspect; a non-living input never is. Without an unambiguous producer nothing is a suspect.
TEST(Migratory, SuspectsAndTheWarning) {
    // 1 (input 100) feeds 30 to 2, which also takes 20 from outside.
    auto [m, text] = suspects(2, 2, {100, 20}, {{1, 2, 30}});
    EXPECT_EQ(m, (std::vector<float>{0, 20}));
    EXPECT_EQ(text,
              " THE FOLLOWING INPUTS ARE SUSPECTED TO BE MIGRATORY INPUTS.\n"
              " THEY WILL BE TREATED AS NON-PRIMARY INFLOWS.\n\n"
              "   MIGRATORY INPUT TO   2 =  .20000E+02\n\n\n");
    // 2 eats only detritus (3), which has an input of its own; 2 of the second feeds on itself.
    EXPECT_EQ(suspects(3, 2, {5, 1, 2}, {{3, 2, 0.5f}}).first, (std::vector<float>{0, 1, 0}));
    EXPECT_EQ(suspects(2, 2, {5, 1}, {{2, 2, 0.25f}}).first, (std::vector<float>{0, 1}));
    // Both inputs enter compartments that feed on each other: the warning, no suspect.
    std::tie(m, text) = suspects(2, 2, {5, 1}, {{1, 2, 3}, {2, 1, 1}});
    EXPECT_EQ(m, (std::vector<float>{0, 0}));
    EXPECT_EQ(text,
              "\n WARNING!! NO UNAMBIGUOUS PRIMARY PRODUCERS FOUND.\n"
              " THEREFORE, ALL INPUTS ARE ASSUMED TO BE PRIMARY PRODUCTION.\n\n");
    // A flow the feeding-cycle search removed (rounded below zero) no longer counts; pure
    // producers print nothing.
    EXPECT_EQ(suspects(2, 2, {5, 1}, {{1, 2, 3}, {2, 1, -1.0e-7f}}).first,
              (std::vector<float>{0, 1}));
    EXPECT_EQ(suspects(3, 2, {5}, {{1, 2, 2}, {2, 3, 1}}).second, "");
}
