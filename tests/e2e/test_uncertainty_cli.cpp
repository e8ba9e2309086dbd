// The uncertainty analysis on the command line: the same bytes on any number of threads, the
// sections and tables it writes, and the errors of ranges the network cannot meet or does not
// hold.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "support/run.hpp"

using namespace flownet::testing;

namespace {

RunResult analyse(const TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), {"oyster.dat", "--no-report", "-q"});
    return runProgram(FLOWANALYSIS2_EXE, "", dir.path(), args);
}

TEST(UncertaintyCommand, TheSameSeedWritesTheSameBytesOnOneAndTwoThreads) {
    TempDir dir;
    std::filesystem::copy_file(std::string(EXAMPLES_DIR) + "/oyster.dat", dir / "oyster.dat");
    const std::vector<std::string> common{"--plus-minus", "15", "--samples", "500", "--chains", "3",
                                          "--seed", "7", "--burn-in", "50", "--thin", "2"};
    auto args = common;
    args.insert(args.end(), {"--threads", "1", "--samples-out", "one.csv", "--json", "one.json"});
    ASSERT_EQ(analyse(dir, args).status, 0);
    args = common;
    args.insert(args.end(), {"--threads", "2", "--samples-out", "two.csv", "--uncertainty-csv",
                             "u.csv"});
    const RunResult two = analyse(dir, args);
    ASSERT_EQ(two.status, 0) << two.errors;
    EXPECT_EQ(readFile(dir / "one.csv"), readFile(dir / "two.csv"));
    EXPECT_EQ(lines(readFile(dir / "one.csv")).size(), 501u);  // a header and 500 samples

    // The JSON section: the options echoed, the 19 flows of the network (1 input, 12 flows
    // between compartments, 6 respirations) and one summary per quantity, its median within its
    // own 95 % interval.
    const auto json = nlohmann::json::parse(readFile(dir / "one.json"));
    const auto& u = json["networks"][0]["uncertainty"];
    EXPECT_EQ(u["samples"], 500);
    EXPECT_EQ(u["chains"], 3);
    EXPECT_EQ(u["flows"].size(), 19u);
    EXPECT_EQ(u["dimension"], 13);  // 19 unknowns less 6 balances
    for (const auto& q : u["quantities"]) {
        if (q["mean"].is_null()) continue;
        EXPECT_LE(q["q2.5"].get<double>(), q["median"].get<double>()) << q["quantity"];
        EXPECT_LE(q["median"].get<double>(), q["q97.5"].get<double>()) << q["quantity"];
    }
    EXPECT_EQ(lines(readFile(dir / "u.csv")).size(), 1 + u["quantities"].size());

    // The total mixed trophic impact: each statistic a 6 x 6 list of rows, every share of
    // positive samples between 0 and 1, every 95 % interval about its median.
    const auto& m = u["mixedTrophicImpact"];
    for (const char* statistic : {"value", "mean", "sd", "median", "q2.5", "q97.5", "positive"}) {
        ASSERT_EQ(m[statistic].size(), 6u) << statistic;
        for (const auto& row : m[statistic]) EXPECT_EQ(row.size(), 6u) << statistic;
    }
    for (std::size_t i = 0; i < 6; ++i) {
        for (std::size_t j = 0; j < 6; ++j) {
            const double share = m["positive"][i][j].get<double>();
            EXPECT_TRUE(share >= 0.0 && share <= 1.0);
            EXPECT_LE(m["q2.5"][i][j].get<double>(), m["median"][i][j].get<double>());
            EXPECT_LE(m["median"][i][j].get<double>(), m["q97.5"][i][j].get<double>());
        }
    }
}

TEST(UncertaintyCommand, TheSummaryOnStandardOutputTakesThePlaceOfTheReport) {
    TempDir dir;
    std::filesystem::copy_file(std::string(EXAMPLES_DIR) + "/oyster.dat", dir / "oyster.dat");
    const std::vector<std::string> sampled{"oyster.dat", "--plus-minus", "10", "--samples", "100",
                                           "--burn-in", "20", "-q", "--uncertainty-csv", "-"};
    RunResult r = runProgram(FLOWANALYSIS_EXE, "", dir.path(), sampled);
    ASSERT_EQ(r.status, 0) << r.errors;
    const auto rows = lines(r.console);
    ASSERT_GT(rows.size(), 40u);
    EXPECT_EQ(rows[0], "file,network,quantity,value,mean,sd,median,q2.5,q97.5,ess,undefined");
    for (std::size_t k = 1; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k].rfind("oyster.dat,1,", 0), 0u) << rows[k];  // no line of the report
    }
    // With -o the report goes to its file, the summary still to standard output.
    auto withReport = sampled;
    withReport.insert(withReport.end(), {"-o", "report.txt"});
    r = runProgram(FLOWANALYSIS_EXE, "", dir.path(), withReport);
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(lines(r.console), rows);
    EXPECT_NE(readFile(dir / "report.txt").find("LINDEMAN TROPHIC AGGREGATIONS"), std::string::npos);
}

TEST(UncertaintyCommand, RangesThatCannotBalanceOrNameNothingAreTold) {
    TempDir dir;
    std::filesystem::copy_file(std::string(EXAMPLES_DIR) + "/oyster.dat", dir / "oyster.dat");
    // The input to the filter feeders held far below what their outputs need.
    writeFile(dir / "low.csv", "from,to,low,high\ninput,FILTER FEEDERS,1,2\n");
    RunResult r = analyse(dir, {"--ranges", "low.csv", "--plus-minus", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.errors.find("oyster.dat (network 1): no steady state within the ranges of the "
                            "flows: the balance of FILTER FEEDERS cannot be met"),
              std::string::npos)
        << r.errors;
    writeFile(dir / "bad.csv", "from,to,low,high\ninput,FILTER FEEDERS,40,42\nOYSTERS,PREDATORS,1,2\n");
    r = analyse(dir, {"--ranges", "bad.csv"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.errors.find("bad.csv, line 3: the network has no compartment named 'OYSTERS'"),
              std::string::npos)
        << r.errors;
    writeFile(dir / "worse.csv", "from,to,low\n");
    r = analyse(dir, {"--ranges", "worse.csv"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.errors, "flowanalysis2: worse.csv, line 1: the header names neither low and high "
                        "nor plus-minus\n");
}

}  // namespace
