// The analyses of the other tools on the oyster reef (Dame and Patten 1981), read back from the
// JSON and CSV outputs, against the values the enaR vignette publishes (Lau, Hines, Singh and
// Borrett 2017). The published network differs from the bundled one in the fifth digit (its
// input to the filter feeders is 41.47 and their respiration 25.165, for instance), so values
// that depend on every flow agree to about 1e-5 of their size: they are compared to 1e-4.
// The stocked copy in data/ adds the vignette's stocks to the bundled network.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/run.hpp"

using namespace flownet::testing;
namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

const fs::path kData = fs::path(TEST_DATA_DIR);

// The oyster reef's network object and its summary row, by column name.
struct Reef {
    Json net;
    std::vector<std::string> header, row;
    std::string cell(const std::string& column) const {
        for (std::size_t k = 0; k < header.size(); ++k) {
            if (header[k] == column) return row[k];
        }
        ADD_FAILURE() << "no column " << column;
        return "";
    }
};

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t at; (at = line.find(',', start)) != std::string::npos; start = at + 1) {
        cells.push_back(line.substr(start, at - start));
    }
    cells.push_back(line.substr(start));
    return cells;
}

Reef analyse(const std::string& network) {
    TempDir dir;
    fs::copy_file(network, dir / "reef.dat");
    const RunResult r =
        runProgram(FLOWANALYSIS_EXE, "", dir.path(),
                   {"reef.dat", "--no-report", "--json", "reef.json", "--summary", "reef.csv"});
    EXPECT_EQ(r.status, 0) << r.errors;
    Reef reef;
    reef.net = Json::parse(readFile(dir / "reef.json"))["networks"][0];
    const std::vector<std::string> csv = lines(readFile(dir / "reef.csv"));
    EXPECT_EQ(csv.size(), 2u);  // the title has no comma
    reef.header = split(csv.at(0));
    reef.row = split(csv.at(1));
    return reef;
}

void expectPublished(double value, double published, const std::string& what) {
    EXPECT_NEAR(value, published, 1e-4 * std::max(std::fabs(published), 1e-3)) << what;
}

void expectColumn(const Json& compartments, const char* key, std::vector<double> published) {
    for (std::size_t k = 0; k < published.size(); ++k) {
        expectPublished(compartments[k][key].get<double>(), published[k],
                        std::string(key) + " of " + std::to_string(k + 1));
    }
}

TEST(Peers, TheOysterReefAsPublished) {
    const Reef reef = analyse((kData / "oyster_stocked.dat").string());
    const Json& p = reef.net["peerAnalyses"];
    // Structure: exact but for lambda1, which has the printed digits.
    const Json& s = p["structure"];
    EXPECT_EQ(s["links"], 12);
    EXPECT_EQ(s["lambda1Multiplicity"], 1);
    EXPECT_EQ(s["components"], 2);
    EXPECT_EQ(s["bigComponents"], 1);
    EXPECT_NEAR(s["connectance"].get<double>(), 1.0 / 3, 1e-12);
    EXPECT_DOUBLE_EQ(s["linkDensity"].get<double>(), 2);
    EXPECT_NEAR(s["lambda1"].get<double>(), 2.147899, 5e-7);
    EXPECT_NEAR(s["pathwayProliferationRate"].get<double>(), 2.147899, 5e-7);
    EXPECT_NEAR(s["dampingRatio"].get<double>(), 2.147899, 5e-7);
    EXPECT_NEAR(s["lambda1MinusLinkDensity"].get<double>(), 0.147899, 5e-7);
    EXPECT_NEAR(s["bigComponentShare"].get<double>(), 5.0 / 6, 1e-12);
    EXPECT_EQ(reef.cell("links"), "12");
    EXPECT_EQ(reef.cell("scc_count"), "2");

    const Json& st = p["storage"];
    expectPublished(st["TSS"], 3112.044, "TSS");
    expectPublished(st["CIS"], 0.9940252, "CIS");
    expectPublished(st["BSI"], 0.003331412, "BSI");
    expectPublished(st["DSI"], 0.003320932, "DSI");
    expectPublished(st["ISI"], 0.9933477, "ISI");
    expectPublished(st["indirectToDirect"], 299.1171, "ID.S");
    expectPublished(st["indirectToDirectInput"], 454.227, "ID.S.I");
    expectPublished(st["indirectToDirectOutput"], 294.1527, "ID.S.O");
    expectPublished(st["homogenisationOutput"], 1.115985, "HMG.S.O");
    expectPublished(st["homogenisationInput"], 1.464503, "HMG.S.I");
    EXPECT_EQ(st["amplificationOutput"], 20);
    EXPECT_EQ(st["amplificationInput"], 21);
    const double modes[] = {10.3675, 8.226261, 3093.45, 8.226261, 10.3675};
    for (int m = 0; m < 5; ++m) expectPublished(st["modes"][m], modes[m], "mode.S");
    expectPublished(std::stod(reef.cell("CIS")), 0.9940252, "CIS in the summary");

    const Json& fu = p["utility"]["flow"];
    expectPublished(fu["lambda1"], 0.8991676, "flow utility lambda1");
    EXPECT_NEAR(fu["relationsChanged"].get<double>(), 61.9, 0.05);
    expectPublished(fu["synergism"], 4.915298, "flow synergism");
    expectPublished(fu["mutualism"], 2.272727, "flow mutualism");
    const Json& su = p["utility"]["storage"];
    expectPublished(su["lambda1"], 0.3022958, "storage utility lambda1");
    EXPECT_NEAR(su["relationsChanged"].get<double>(), 61.9, 0.05);
    expectPublished(su["synergism"], 13.08994, "storage synergism");
    expectPublished(su["mutualism"], 2.6, "storage mutualism");

    const Json& c = reef.net["compartments"];
    expectColumn(c, "tetRealizedInput",
                 {25.165, 22.647638, 14.582798, 2.028052, 1.053786, 18.107007});
    expectColumn(c, "tetUnitInput", {1, 3.931882, 4.074090, 4.713111, 2.932069, 2.931882});
    expectColumn(c, "tetUnitOutput", {2.015512, 1.836089, 2.540670, 3.124836, 2.234317, 2.594261});
    expectColumn(c, "tesRealizedInput", {2000, 2.41209, 24.12171, 16.27440, 69.23803, 1000.03118});
    expectColumn(c, "tesUnitOutput", {75.04326, 16.06273, 41.03146, 65.81279, 132.44451, 66.11575});
    expectColumn(c, "environCentralityIn",
                 {0.1404961, 0.1279889, 0.1771034, 0.2178241, 0.1557484, 0.1808391});
    expectColumn(c, "environCentralityOut",
                 {0.06970737, 0.19108709, 0.20595483, 0.12350944, 0.07903903, 0.33070223});
    expectColumn(c, "eigenvectorCentralityIn",
                 {0.1207568, 0.1093625, 0.1876329, 0.2518905, 0.1470501, 0.1833072});
    expectColumn(c, "eigenvectorCentralityOut",
                 {0, 0.23325048, 0.26566843, 0.11130122, 0.01286707, 0.37691280});

    const Json& d = p["diversity"];
    expectPublished(d["throughflow"]["H"], 1.3042705, "H of T");
    expectPublished(d["throughflow"]["Hr"], 0.7279272, "Hr of T");
    expectPublished(d["throughflow"]["effectiveN"], 3.6849998, "effective n of T");
    expectPublished(d["stock"]["H"], 0.8043025, "H of x");
    expectPublished(d["stock"]["effectiveN"], 2.2351370, "effective n of x");

    const Json& l = p["pathLengths"];
    EXPECT_EQ(l["indirectExceedsDirect"], 3);
    EXPECT_EQ(l["half"], 1);
    EXPECT_EQ(l["eightyPercent"], 2);
    EXPECT_EQ(l["ninetyFivePercent"], 5);
    EXPECT_EQ(reef.cell("path_95_percent"), "5");
}

// Without stocks the storage analyses are null in JSON and empty in the summary; the flow
// analyses are the same as with them.
TEST(Peers, WithoutStocksNoStorage) {
    const Reef reef =
        analyse((fs::path(REFERENCE_DIR) / "flowanalysis-oyster_reef/net.dat").string());
    const Json& p = reef.net["peerAnalyses"];
    EXPECT_TRUE(p["storage"].is_null());
    EXPECT_TRUE(p["utility"]["storage"].is_null());
    EXPECT_TRUE(reef.net["compartments"][0]["tesUnitOutput"].is_null());
    EXPECT_EQ(reef.cell("TSS"), "");
    EXPECT_EQ(reef.cell("utility_storage_synergism"), "");
    EXPECT_EQ(p["structure"]["links"], 12);
    expectPublished(p["diversity"]["throughflow"]["H"], 1.3042705, "H of T");
}

}  // namespace
