// The analysis programs started with arguments: results read back against the reference reports,
// pictures that Graphviz draws, and the statuses of bad calls. (That the reports equal the
// dialog's is checked with the reference runs.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "layout.hpp"
#include "support/expect.hpp"

using namespace flownet::testing;
namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

const fs::path kRef = REFERENCE_DIR;

// The n-th (from 0) E11.5 field printed after `label` in a report.
std::string reportField(const std::string& report, const std::string& label, int n = 0) {
    std::size_t at = report.find(label);
    while (n-- > 0) at = report.find(label, at + 1);
    EXPECT_NE(at, std::string::npos) << label;
    return at == std::string::npos ? "" : report.substr(at + label.size(), 11);
}

std::string asReported(double x) {
    return flownet::formatLayout("(E11.5,$)", {static_cast<float>(x)});
}

TEST(CommandLine, JsonOfTheOysterReefReadsBackToItsReport) {
    TempDir dir;
    fs::copy_file(kRef / "flowanalysis-oyster_reef/net.dat", dir / "reef.dat");
    const RunResult r = runProgram(FLOWANALYSIS_EXE, "", dir.path(),
                                   {"reef.dat", "--json", "reef.json", "--no-report"});
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.console + r.errors, "");
    const std::string text = readFile(dir / "reef.json");
    // Each value in the shortest form that reads back to the float read from the file.
    EXPECT_NE(text.find("\"respiration\":25.1646,"), std::string::npos);
    EXPECT_NE(text.find("\"respiration\":0.4303,"), std::string::npos);
    const Json j = Json::parse(text);
    EXPECT_EQ(j["format"], "flownet-results");
    EXPECT_EQ(j["version"], 2);
    ASSERT_EQ(j["networks"].size(), 1u);
    const Json& net = j["networks"][0];
    const std::vector<std::string> file = lines(readFile(dir / "reef.dat"));
    EXPECT_EQ(net["compartmentCount"], 6);
    ASSERT_EQ(net["compartments"].size(), 6u);
    EXPECT_EQ(net["compartments"][5]["name"],
              file[7].substr(0, file[7].find_last_not_of(' ') + 1));
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(net["compartments"][k]["number"], k + 1);
        EXPECT_EQ(net["compartments"][k]["living"], k < 5);
    }
    // The units the title gives, in its last parentheses.
    EXPECT_EQ(net["units"], Json::parse(R"({"flow":"KCAL M-2 D-1","stock":null,"source":"title"})"));

    const std::string report = readFile(kRef / "flowanalysis-oyster_reef/expected/report.txt");
    const Json& info = net["information"];
    EXPECT_EQ(asReported(info["TSTp"]),
              reportField(report, "TOTAL SYSTEM THROUGHPUT = "));
    EXPECT_EQ(asReported(info["ascendency"]), reportField(report, "\n  ASCENDENCY = "));
    EXPECT_EQ(asReported(info["developmentCapacity"]),
              reportField(report, "DEVELOPMENT CAPACITY = "));
    EXPECT_EQ(asReported(info["internalAscendency"]), reportField(report, "INTERNAL ASCENDENCY ="));
    EXPECT_EQ(flownet::formatLayout(
                  "(E11.4,$)", {static_cast<float>(net["cycles"]["wholeNetwork"]["cycledFlowIndex"])}),
              reportField(report, "FINN CYCLING INDEX IS "));

    // The companion indices against the values published for this network. The flows published
    // are rounded to four decimals, and sum to a TST of 83.5835 and a TSTp of 125.0531 where the
    // unrounded flows gave 83.5833 and 125.0533: the quantities that scale with them (TST, TSTp,
    // C, A, C - A) can differ in the fourth decimal by up to 5 units.
    const Json& c = net["companionIndices"];
    const struct {
        Json value;
        double published, within;
    } published[] = {
        {c["TST"], 83.5833, 5e-4},
        {c["TSTp"], 125.0533, 5e-4},
        {c["APL"], 2.0155, 5e-5},
        {c["FCI"], 0.11017, 5e-6},
        {c["information"]["H"], 3.0183, 5e-5},
        {c["information"]["AMI"], 1.3302, 5e-5},
        {c["information"]["C"], 377.4452, 5e-4},
        {c["information"]["A"], 166.3473, 5e-4},
        {c["information"]["overhead"], 211.0979, 5e-4},
        {c["information"]["AoverC"], 0.44072, 5e-6},
        {c["information"]["robustness"], 0.3611, 5e-5},
    };
    for (const auto& p : published) EXPECT_NEAR(p.value.get<double>(), p.published, p.within);
}

TEST(CommandLine, SummaryRowsFollowTheFilesInOrderQuotedAsCsv) {
    TempDir dir;
    std::string reef = readFile(kRef / "flowanalysis-oyster_reef/net.dat");
    reef.replace(0, 11, "REEF, \"A\"  ");
    writeFile(dir / "a.dat", reef);
    fs::copy_file(kRef / "flowanalysis-two/net.dat", dir / "b.dat");
    const RunResult r = runProgram(FLOWANALYSIS_EXE, "", dir.path(),
                                   {"a.dat", "b.dat", "--summary", "all.csv", "--no-report"});
    ASSERT_EQ(r.status, 0) << r.errors;
    const std::vector<std::string> rows = lines(readFile(dir / "all.csv"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].substr(0, 62),
              "file,ordinal,format,title,units,compartment_count,living_count");
    // The throughput of each row is the one its report prints.
    const std::string reefReport = readFile(kRef / "flowanalysis-oyster_reef/expected/report.txt");
    const std::string twoReport = readFile(kRef / "flowanalysis-two/expected/report.txt");
    const std::string label = "TOTAL SYSTEM THROUGHPUT = ";
    const std::string rowStarts[] = {
        "a.dat,1,scor,\"REEF, \"\"A\"\"   ENERGY FLOW (KCAL M-2 D-1)\",KCAL M-2 D-1,6,5,TRUE,",
        "b.dat,1,scor,RANDOM NETWORK N=10 NL=9,,10,9,TRUE,",
        "b.dat,2,scor,RANDOM NETWORK N=5 NL=3,,5,3,TRUE,"};
    const std::string fields[] = {reportField(reefReport, label), reportField(twoReport, label),
                                  reportField(twoReport, label, 1)};
    for (int k = 0; k < 3; ++k) {
        const std::string& row = rows[static_cast<std::size_t>(k) + 1];
        ASSERT_EQ(row.substr(0, rowStarts[k].size()), rowStarts[k]);
        // Every column of the header filled (the first title holds one comma of its own).
        EXPECT_EQ(occurrences(row, ","), occurrences(rows[0], ",") + (k == 0 ? 1 : 0)) << row;
        // After the steady state: the largest imbalance (0: in steady state to the last bit),
        // its compartment, the tolerance of K 4, 1 and 1 (10^(1 - K)), then the report's TSTp.
        std::vector<std::string> rest;
        std::istringstream after(row.substr(rowStarts[k].size()));
        for (std::string field; std::getline(after, field, ',');) rest.push_back(field);
        ASSERT_GE(rest.size(), 4u);
        EXPECT_EQ(std::stof(rest[2]), k == 0 ? 1e-3f : 1.0f) << row;
        EXPECT_EQ(asReported(std::stod(rest[3])), fields[k]) << row;
    }
}

// Every bundled network pictured: a node per compartment (ellipses for the living, boxes for the
// others), each in the row of its effective trophic level rounded (the non-living ones in row 0),
// one numbered arrow per flow, input, export and respiration of the network (counted from its
// results), and a picture Graphviz renders.
TEST(CommandLine, EveryBundledNetworkIsDrawnByGraphviz) {
    std::vector<fs::path> networks = {fs::path(EXAMPLES_DIR) / "marsh.dat",
                                      fs::path(EXAMPLES_DIR) / "pond.dat"};
    for (const auto& e : fs::directory_iterator(kRef)) {
        if (fs::exists(e.path() / "net.dat")) networks.push_back(e.path() / "net.dat");
    }
    for (const fs::path& network : networks) {
        TempDir dir;
        fs::copy_file(network, dir / "net.dat");
        const RunResult r =
            runProgram(FLOWANALYSIS2_EXE, "", dir.path(),
                       {"net.dat", "--dot", "pic{n}.dot", "--json", "net.json", "--no-report", "-q"});
        ASSERT_LE(r.status, 1) << network << r.errors;
        const Json net = Json::parse(readFile(dir / "net.json"))["networks"][0];
        std::size_t boundary = 0;
        for (const Json& c : net["compartments"]) {
            for (const char* kind : {"input", "export", "respiration"}) {
                boundary += c[kind].get<double>() > 0.0;
            }
        }
        int ellipses = 0, boxes = 0, arcs = 0;
        std::vector<std::string> rankLines;
        for (const std::string& line : lines(readFile(dir / "pic1.dot"))) {
            const bool node = line.rfind("  c", 0) == 0 && line.find(" [id=c") != std::string::npos;
            ellipses += node && line.find("shape=ellipse") != std::string::npos;
            boxes += node && line.find("shape=box") != std::string::npos;
            arcs += line.find(" [id=\"f") != std::string::npos;
            if (line.rfind("  { rank=same; row", 0) == 0) rankLines.push_back(line + " ");
        }
        const int n = net["compartmentCount"], nl = net["livingCount"];
        EXPECT_EQ(ellipses, nl) << network;
        EXPECT_EQ(boxes, n - nl) << network;
        EXPECT_EQ(static_cast<std::size_t>(arcs), net["flows"].size() + boundary) << network;
        for (const Json& c : net["compartments"]) {
            const long row = c["living"] ? std::max(1L, std::lround(c["effectiveTrophicLevel"].get<double>())) : 0;
            const std::string rank = "  { rank=same; row" + std::to_string(row) + ";";
            const std::string member = " c" + std::to_string(c["number"].get<int>()) + "; ";
            int found = 0;
            for (const std::string& line : rankLines) {
                found += line.find(member) != std::string::npos;
                if (line.rfind(rank, 0) == 0) {
                    EXPECT_NE(line.find(member), std::string::npos) << network << member;
                }
            }
            EXPECT_EQ(found, 1) << network << member;
        }
        const std::string draw =
            "cd '" + dir.path().string() + "' && dot -Tsvg pic1.dot -o pic1.svg";
        EXPECT_EQ(std::system(draw.c_str()), 0) << network;
        EXPECT_NE(readFile(dir / "pic1.svg").find("<svg"), std::string::npos) << network;
    }
}

// The width in points of an SVG drawing of Graphviz (<svg width="...pt").
double svgWidth(const std::string& svg) {
    const std::size_t at = svg.find("<svg width=\"");
    return at == std::string::npos ? 0.0 : std::stod(svg.substr(at + 12));
}

// The 104 compartments of the largest reference network: whole, over 10,000 points wide; without
// the flows below 2% of TST at most 2,500 pixels (1,875 points) wide, the compartments whose
// throughput falls below that left out and said so in the legend; its trophic levels narrower still.
TEST(CommandLine, LargeNetworksPictureTheirLargeFlowsAndTheirLevels) {
    TempDir dir;
    fs::copy_file(kRef / "flowanalysis2-web104/net.dat", dir / "net.dat");
    const struct {
        std::vector<std::string> options;
        double least, most;
    } cases[] = {{{}, 5000.0, 1e9}, {{"--min-flow", "0.02"}, 1.0, 1875.0}, {{"--levels"}, 1.0, 1875.0}};
    for (const auto& c : cases) {
        std::vector<std::string> args = {"net.dat", "--dot", "pic.dot", "--no-report", "-q", "--force"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        ASSERT_EQ(runProgram(FLOWANALYSIS2_EXE, "", dir.path(), args).status, 0);
        const std::string draw = "cd '" + dir.path().string() + "' && dot -Tsvg pic.dot -o pic.svg";
        ASSERT_EQ(std::system(draw.c_str()), 0);
        const double width = svgWidth(readFile(dir / "pic.svg"));
        EXPECT_GE(width, c.least) << c.options.size();
        EXPECT_LE(width, c.most) << c.options.size();
        const std::string dot = readFile(dir / "pic.dot");
        EXPECT_EQ(dot.find("not drawn") != std::string::npos, c.options.size() == 2 && c.options[0] == "--min-flow");
    }
}

// A network of two compartments in steady state: plants take in 10, respire 6 and pass 4 to
// detritus, which exports 4. With `input` in place of the plants' input.
std::string twoCompartments(const std::string& input = "10.0") {
    return title("TWO") + "  2  1\nPLANTS\nDETRITUS\n" + kTerm + entry(1, input) + kTerm +
           entry(2, "4.0") + kTerm + entry(1, "6.0") + kTerm + flow(1, 2, "4.0") + kFlowTerm;
}

// Bad calls end with status 2 and write nothing (the network file least of all); a network whose
// report ends at an error line makes status 1; the other files of the call are still analysed.
TEST(CommandLine, StatusesOfBadCallsAndNetworks) {
    const std::string version = FLOWNET_VERSION;
    const struct {
        Program program;
        std::string network;
        std::vector<std::string> args;
        std::string expect;
    } cases[] = {
        {kAnalysis,
         twoCompartments(),
         {"net.dat", "-o", "./net.dat", "--force"},
         "2|[errors]flowanalysis: ./net.dat: that is a network file being read|#0#[file]"},
        {kAnalysis2,
         twoCompartments(),
         {"net.dat", "--json", "sub", "-o", "rep.txt"},
         "2|[errors]flowanalysis2: sub: is a folder|#0#[file]"},
        {kAnalysis,
         twoCompartments(),
         {"net.dat", "--json", "a", "--summary", "a", "-o", "rep.txt"},
         "2|[errors]flowanalysis: a: named by both --json and --summary|#0#[file]"},
        {kAnalysis,
         twoCompartments(),
         {"net.dat", "--json", "-", "--dot", "-"},
         "2|would write to standard output"},
        {kAnalysis,
         twoCompartments(),
         {"--frobnicate", "net.dat"},
         "2|[errors]flowanalysis: |Run with --help for more information."},
        {kAnalysis2, twoCompartments(), {"-q"}, "2|[errors]flowanalysis2: NETWORK is required"},
        {kAnalysis2,
         twoCompartments(),
         {"--version"},
         "0|[console]flowanalysis2 " + version + "\n[errors][end]"},
        {kAnalysis,
         twoCompartments(),
         {"--help"},
         "0|[console]|Usage: flowanalysis [OPTIONS] NETWORK"},
        // A missing file is told, and the next file is analysed all the same.
        {kAnalysis2,
         twoCompartments(),
         {"missing.dat", "net.dat", "-o", "rep.txt"},
         "2|[errors]flowanalysis2: missing.dat: the file cannot be opened for reading|[file]|TWO|"
         "NUMBER OF COMPARTMENTS IS    2|CONNECTANCE INDICES|[end]"},
        {kAnalysis,
         twoCompartments("-1.0"),
         {"net.dat", "-o", "rep.txt"},
         "1|[errors]flowanalysis: net.dat, line 7 (network 1): 0 ERROR INPUT VECTOR CANNOT BE LESS THAN "
         "0\n|[file]|"
         "0 ERROR INPUT VECTOR CANNOT BE LESS THAN 0\n[end]"},
        // The results on standard output take the report's place there.
        {kAnalysis,
         twoCompartments(),
         {"net.dat", "--json", "-"},
         "0|[console]{\"format\":\"flownet-results\",\"version\":2,|\"name\":\"PLANTS\"|"
         "\"name\":\"DETRITUS\"|\"problems\":[]}\n[errors][end]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "" : c.args[0] + " " + c.expect);
        check(runOn(c.program, c.network, "", c.args), c.expect);
    }
}

// An existing output is kept unless --force is given.
TEST(CommandLine, AnExistingOutputIsReplacedOnlyWithForce) {
    TempDir dir;
    writeFile(dir / "net.dat", twoCompartments());
    writeFile(dir / "rep.txt", "keep\n");
    // Refused before anything is written: nothing on standard output either.
    check(run(kAnalysis, "", dir, "rep.txt", {"net.dat", "-o", "rep.txt", "--summary", "-"}),
          "2|[console][errors]flowanalysis: rep.txt: the file exists (use --force to replace it)\n"
          "[file]keep\n[end]");
    check(run(kAnalysis, "", dir, "rep.txt", {"net.dat", "-o", "rep.txt", "--force"}),
          "0|[console][errors][file]|TWO|CONNECTANCE INDICES|[end]");
}

}  // namespace
