// Networks in CSV and NEA through the programs: the same report, byte for byte, from a network
// file and from each CSV form of it; the same numbers from an NEA file; the round trips of
// flowentry --convert; bad files told at their line and column; the results of version 2 against
// the reports and the files they came from; what --balance --changes tells.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
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

RunResult flowentry(const TempDir& dir, const std::vector<std::string>& args) {
    return runProgram(FLOWENTRY_EXE, "", dir.path(), args);
}

// Every network file bundled with the suite that holds one network: the examples and the
// networks of the reference runs.
std::vector<fs::path> bundledNetworks() {
    std::vector<fs::path> networks;
    for (const auto& e : fs::directory_iterator(EXAMPLES_DIR)) {
        if (e.path().extension() == ".dat") networks.push_back(e.path());
    }
    for (const auto& e : fs::directory_iterator(kRef)) {
        // flowanalysis-two and flowanalysis2-two hold two networks; flowentry reads one.
        if (fs::exists(e.path() / "net.dat") && e.path().filename().string().find("-two") ==
                                                    std::string::npos) {
            networks.push_back(e.path() / "net.dat");
        }
    }
    std::sort(networks.begin(), networks.end());
    return networks;
}

// The report of `program` on `network`, with its status.
std::pair<int, std::string> report(const TempDir& dir, const char* program,
                                   const std::string& network,
                                   const std::vector<std::string>& more = {}) {
    std::vector<std::string> args = {network, "-o", "rep.txt", "--force", "-q"};
    args.insert(args.end(), more.begin(), more.end());
    const RunResult r = runProgram(program, "", dir.path(), args);
    return {r.status, readFile(dir / "rep.txt")};
}

TEST(Formats, EveryBundledNetworkGivesTheSameReportFromEachCsvForm) {
    const std::vector<fs::path> networks = bundledNetworks();
    ASSERT_GE(networks.size(), 10u);
    for (const fs::path& network : networks) {
        SCOPED_TRACE(network.string());
        TempDir dir;
        fs::copy_file(network, dir / "net.dat");
        const std::string original = readFile(dir / "net.dat");
        // SCOR -> CSV -> SCOR, byte for byte, in each CSV form.
        for (const std::string form : {"csv", "csv-edges"}) {
            const std::string csv = form + ".csv", back = form + ".dat";
            ASSERT_EQ(flowentry(dir, {"--convert", "net.dat", "-o", csv, "--to", form}).status, 0);
            const RunResult r = flowentry(dir, {"--convert", csv, "-o", back});
            ASSERT_EQ(r.status, 0) << r.errors;
            EXPECT_EQ(readFile(dir / back), original) << form;
        }
        EXPECT_TRUE(fs::exists(dir / "csv-edges.compartments.csv"));
        for (const char* program : {FLOWANALYSIS_EXE, FLOWANALYSIS2_EXE}) {
            const auto [status, scor] = report(dir, program, "net.dat");
            EXPECT_LE(status, 1);
            for (const char* csv : {"csv.csv", "csv-edges.csv"}) {
                const auto [s, text] = report(dir, program, csv);
                EXPECT_EQ(s, status) << csv;
                EXPECT_TRUE(text == scor) << program << " " << csv;
            }
        }
    }
}

// The oyster reef has no exports, so an NEA system matrix (outputs and stocks, no names, no
// living flags) holds all of it but the names: with the title, K and its pool given on the
// command line, the report is the network file's with the names generated.
TEST(Formats, AnNeaFileGivesTheNumbersOfTheNetworkFile) {
    TempDir dir;
    fs::copy_file(fs::path(EXAMPLES_DIR) / "oyster.dat", dir / "net.dat");
    ASSERT_EQ(flowentry(dir, {"--convert", "net.dat", "-o", "reef.nea"}).status, 0);
    const std::vector<std::string> file = lines(readFile(dir / "net.dat"));
    const std::string title = file[0].substr(0, file[0].find_last_not_of(' ', 77) + 1);
    for (const char* program : {FLOWANALYSIS_EXE, FLOWANALYSIS2_EXE}) {
        auto [status, expected] = report(dir, program, "net.dat");
        for (int k = 1; k <= 6; ++k) {
            const std::string name = file[static_cast<std::size_t>(k) + 1].substr(0, 25);
            const std::string generated = padded("COMPARTMENT " + std::to_string(k)).substr(0, 25);
            for (std::size_t at; (at = expected.find(name)) != std::string::npos;) {
                expected.replace(at, 25, generated);
            }
        }
        const auto [s, nea] = report(dir, program, "reef.nea",
                                     {"--title", title, "--precision-exponent", "4",
                                      "--non-living", "6"});
        EXPECT_EQ(s, status);
        EXPECT_TRUE(nea == expected) << program;
    }
}

// Every bundled network through an NEA file: the same flows, inputs and stocks, and as
// respirations the outputs, export and respiration summed in single precision, as the NEA file
// holds them, and then, as every value the analysis reads, held to the seven digits of the
// network file (E14.7).
TEST(Formats, EveryBundledNetworkKeepsItsNumbersThroughAnNeaFile) {
    for (const fs::path& network : bundledNetworks()) {
        SCOPED_TRACE(network.string());
        TempDir dir;
        fs::copy_file(network, dir / "net.dat");
        ASSERT_EQ(flowentry(dir, {"--convert", "net.dat", "-o", "net.nea"}).status, 0);
        const std::vector<std::string> file = lines(readFile(dir / "net.dat"));
        const int n = std::stoi(file[1].substr(0, 3)), nl = std::stoi(file[1].substr(3, 3));
        std::string nonLiving;
        for (int k = nl + 1; nl > 0 && k <= n; ++k) nonLiving += (nonLiving.empty() ? "" : ",") + std::to_string(k);
        std::vector<std::string> args = {"net.nea", "--json", "nea.json", "--no-report", "-q"};
        if (!nonLiving.empty()) args.insert(args.end(), {"--non-living", nonLiving});
        const RunResult fromNea = runProgram(FLOWANALYSIS2_EXE, "", dir.path(), args);
        const RunResult fromScor = runProgram(FLOWANALYSIS2_EXE, "", dir.path(),
                                              {"net.dat", "--json", "dat.json", "--no-report", "-q"});
        ASSERT_EQ(fromNea.status, fromScor.status) << fromNea.errors;
        if (fromScor.status != 0) continue;  // an error line: no results to compare
        const Json a = Json::parse(readFile(dir / "dat.json"))["networks"][0];
        const Json b = Json::parse(readFile(dir / "nea.json"))["networks"][0];
        EXPECT_EQ(b["livingCount"], a["livingCount"]);
        EXPECT_EQ(b["flows"], a["flows"]);
        for (std::size_t k = 0; k < a["compartments"].size(); ++k) {
            const Json &x = a["compartments"][k], &y = b["compartments"][k];
            EXPECT_EQ(y["input"], x["input"]);
            EXPECT_EQ(y["stock"], x["stock"]);
            EXPECT_EQ(y["export"], 0.0);
            const float output = x["export"].get<float>() + x["respiration"].get<float>();
            EXPECT_EQ(flownet::formatLayout("(E14.7,$)", {y["respiration"].get<float>()}),
                      flownet::formatLayout("(E14.7,$)", {output}))
                << k;
        }
    }
}

// A hand-written table through a network file and back: every value of up to seven significant
// digits that single precision tells apart comes back as written, and so do the settings.
TEST(Formats, CsvThroughANetworkFileKeepsItsValues) {
    TempDir dir;
    const std::string table =
        "# title: SEVEN DIGITS\n# units: mg N m-2 d-1\n# stock units: mg N m-2\n"
        "# precision exponent: 3\n"
        ",ALGAE,GRAZERS,POOL,export,respiration,stock,living\n"
        "ALGAE,0,1234.567,0.1234567,0,98765.43,2.5e-05,yes\n"
        "GRAZERS,0,0,3.4e-05,12.5,7,123456.7,yes\n"
        "POOL,0,0.001,0,0.3,0,1,no\n"
        "input,1e+05,0,0.02,,,,\n";
    writeFile(dir / "in.csv", table);
    ASSERT_EQ(flowentry(dir, {"--convert", "in.csv", "-o", "mid.dat"}).status, 0);
    const RunResult r = flowentry(dir, {"--convert", "mid.dat", "-o", "out.csv", "--units",
                                    "mg N m-2 d-1", "--stock-units", "mg N m-2"});
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(readFile(dir / "out.csv"), table);
}

// The statuses and messages of bad files, in each program that reads them.
TEST(Formats, BadFilesAreToldAtTheirLineAndColumn) {
    const std::string scor = title("TWO") + "  2  1\nPLANTS\nDETRITUS\n" + kTerm + entry(1, "10.0") +
                             kTerm + entry(2, "4.0") + kTerm + entry(1, "6.0") + kTerm +
                             flow(1, 2, "4.0") + kFlowTerm;
    const struct {
        std::string name, content, expected;
    } cases[] = {
        {"bad.csv", ",A,B\nA,0,1\nB,x,0\n",
         "bad.csv, line 3, column 2: expected a number for the flow from B to A where the cell "
         "holds 'x'"},
        {"semi.csv", ";A;B\nA;0;1,5\n", "semi.csv, line 1: the cells are separated by semicolons"},
        {"net.dat", ",A,B\nA,0,1\nB,1,0\n", "net.dat, line 2: cells separated by commas, where the "
                                            "counts record"},
        {"hash.dat", "# title: X\n,A\nA,0\n", "hash.dat, line 1: a '#' line"},
        {"scor.csv", scor, "scor.csv, line 2: a counts record of a network file of fixed columns"},
        {"edges.csv", "# compartments: none.csv\nfrom,to,value\nA,B,1\n",
         "edges.csv, line 1: the companion table of the compartments: "},
        {"shape.nea", "0,1\n", "shape.nea, line 1: expected an NEA system matrix"},
        {"empty.csv", "", "empty.csv: no table"},
    };
    for (const auto& c : cases) {
        for (const std::string program : {"flowanalysis", "flowanalysis2", "flowentry"}) {
            SCOPED_TRACE(program + " " + c.name);
            TempDir dir;
            writeFile(dir / c.name, c.content);
            const std::string exe = program == "flowanalysis"    ? FLOWANALYSIS_EXE
                                    : program == "flowanalysis2" ? FLOWANALYSIS2_EXE
                                                                 : FLOWENTRY_EXE;
            const RunResult r = runProgram(
                exe, "", dir.path(),
                program == "flowentry" ? std::vector<std::string>{"--check", c.name}
                                       : std::vector<std::string>{c.name, "-o", "rep.txt"});
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.errors.rfind(program + ": " + c.expected, 0), 0u) << r.errors;
        }
    }
}

// flowentry --convert refuses what the format asked for cannot hold, and a name that says another
// format than the one asked for; nothing is written then.
TEST(Formats, ConversionsThatCannotBeWrittenAreRefused) {
    const std::string twice = title("TWICE") + "  2  2\nSAME\nSAME\n" + kTerm + entry(1, "1.0") +
                              kTerm + kTerm + entry(1, "1.0") + kTerm + kFlowTerm;
    const struct {
        std::vector<std::string> args;
        std::string expected, file;
    } cases[] = {
        {{"--convert", "twice.dat", "-o", "x.csv"},
         "flowentry: x.csv: compartment 2 has the name of compartment 1 ('SAME')", "x.csv"},
        {{"--convert", "twice.dat", "-o", "x.csv", "--to", "scor"},
         "flowentry: x.csv: a .csv name for a network written as scor", "x.csv"},
        {{"--convert", "twice.dat", "-o", "x.dat", "--to", "nea"},
         "flowentry: x.dat: a .dat name for a network written as nea", "x.dat"},
        {{"--convert", "twice.dat", "-o", "-", "--to", "csv-edges"},
         "flowentry: -: an edge list is written with its companion table beside it", ""},
        {{"--convert", "m.nea", "-o", "y.dat", "--non-living", "3"},
         "flowentry: m.nea: compartment 3 is given as non-living, but the matrix has compartments "
         "1 to 1",
         "y.dat"},
        {{"--check", "twice.dat", "-o", "y.dat"}, "flowentry: --output requires --balance", "y.dat"},
    };
    for (const auto& c : cases) {
        std::string call;
        for (const std::string& a : c.args) call += a + " ";
        SCOPED_TRACE(call);
        TempDir dir;
        writeFile(dir / "twice.dat", twice);
        writeFile(dir / "m.nea", "0,5,1\n5,0,0\n");
        const RunResult r = flowentry(dir, c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.errors.rfind(c.expected, 0), 0u) << r.errors;
        if (!c.file.empty()) {
            EXPECT_FALSE(fs::exists(dir / c.file));
        }
        EXPECT_EQ(r.console, "");
    }
}

// A chain of n compartments, the last non-living, as a network file and as a CSV table: 100 enters
// the first, each passes 1 to the next and respires 1 (out of steady state, which the analyses
// only warn about).
std::pair<std::string, std::string> chain(int n) {
    char counts[16];
    std::snprintf(counts, sizeof counts, "%3d%3d\n", n, n - 1);
    std::string dat = title("CHAIN") + counts;
    std::string csv = "# title: CHAIN\n# precision exponent: 0\n";
    for (int k = 1; k <= n; ++k) {
        dat += padded("C" + std::to_string(k));
        csv += ",C" + std::to_string(k);
    }
    csv += ",respiration,living\n";
    dat += kTerm + entry(1, ".1000000E+03") + kTerm + kTerm;
    for (int k = 1; k <= n; ++k) dat += entry(k, ".1000000E+01");
    dat += kTerm;
    for (int k = 1; k < n; ++k) dat += flow(k, k + 1, ".1000000E+01");
    dat += kFlowTerm;
    for (int i = 1; i <= n; ++i) {
        csv += "C" + std::to_string(i);
        for (int j = 1; j <= n; ++j) csv += j == i + 1 ? ",1" : ",";
        csv += std::string(",1,") + (i < n ? "yes" : "no") + "\n";
    }
    csv += "input,100\n";
    return {dat, csv};
}

// Up to 128 compartments a CSV network is handed to flowanalysis2 whole; beyond, both forms stop
// at the same error line.
TEST(Formats, TheLimitsOfTheProgramsHoldForCsvNetworksToo) {
    for (int n : {81, 126, 128, 130}) {
        SCOPED_TRACE(n);
        TempDir dir;
        const auto [dat, csv] = chain(n);
        writeFile(dir / "net.dat", dat);
        writeFile(dir / "net.csv", csv);
        for (const char* program : {FLOWANALYSIS_EXE, FLOWANALYSIS2_EXE}) {
            const auto [status, scor] = report(dir, program, "net.dat");
            const auto [s, text] = report(dir, program, "net.csv");
            EXPECT_EQ(s, status);
            EXPECT_EQ(status, program == std::string(FLOWANALYSIS_EXE) || n > 128 ? 1 : 0);
            EXPECT_TRUE(text == scor) << program;
        }
        const RunResult r = flowentry(dir, {"--check", "net.csv"});
        EXPECT_EQ(r.status, n > 125 ? 2 : 1) << r.errors;
        // The error line is told at the line of the table that counts the compartments: its
        // header, after two settings.
        const RunResult one = runProgram(FLOWANALYSIS_EXE, "", dir.path(), {"net.csv", "--no-report"});
        EXPECT_EQ(one.errors,
                  "flowanalysis: net.csv, line 3 (network 1): 0 ERROR NUMBER OF COMPARTMENTS MAX= 80\n");
    }
}

// The cells of a CSV row (quotes as the summary writes them).
std::vector<std::string> csvCells(const std::string& row) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t k = 0; k < row.size(); ++k) {
        const char c = row[k];
        if (c == '"' && quoted && k + 1 < row.size() && row[k + 1] == '"') {
            cells.back() += '"';
            ++k;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    return cells;
}

// The summary of the JSON document and the CSV summary: the same names, the same values, by one
// rule; the table of the compartments in the numbering used, with the file's order beside it.
TEST(ResultsV2, TheSummaryTheTableAndTheUnits) {
    TempDir dir;
    // The salt marsh with the detritus given second: numbered last.
    writeFile(dir / "marsh.csv",
              "# title: MARSH\n# units: g C m-2 y-1\n# stock units: g C m-2\n"
              ",PLANTS,DETRITUS,HERBIVORES,CARNIVORES,export,respiration,stock,living\n"
              "PLANTS,0,20,30,0,0,50,500,yes\nDETRITUS,0,0,10,0,5,20,900,no\n"
              "HERBIVORES,0,12,0,8,0,20,40,yes\nCARNIVORES,0,3,0,0,1,4,6,yes\n"
              "input,100,0,0,0,,,,\n");
    fs::copy_file(fs::path(EXAMPLES_DIR) / "pond.dat", dir / "pond.dat");
    for (const char* program : {FLOWANALYSIS_EXE, FLOWANALYSIS2_EXE}) {
        const RunResult r = runProgram(program, "", dir.path(),
                                       {"marsh.csv", "pond.dat", "--json", "r.json", "--summary",
                                        "s.csv", "--no-report", "--force", "-q"});
        ASSERT_EQ(r.status, 0) << r.errors;
        const Json j = Json::parse(readFile(dir / "r.json"));
        EXPECT_EQ(j["version"], 2);
        const std::vector<std::string> rows = lines(readFile(dir / "s.csv"));
        ASSERT_EQ(rows.size(), 3u);
        const std::vector<std::string> header = csvCells(rows[0]);
        for (std::size_t k = 0; k < 2; ++k) {
            const Json& summary = j["networks"][k]["summary"];
            const std::vector<std::string> cells = csvCells(rows[k + 1]);
            ASSERT_EQ(cells.size(), header.size());
            ASSERT_EQ(summary.size(), header.size());
            for (std::size_t c = 0; c < header.size(); ++c) {
                const Json& v = summary[header[c]];
                if (v.is_string()) {
                    EXPECT_EQ(v, cells[c]) << header[c];
                } else if (v.is_boolean()) {
                    EXPECT_EQ(cells[c], v ? "TRUE" : "FALSE") << header[c];
                } else if (v.is_number()) {
                    EXPECT_EQ(std::stod(cells[c]), v.get<double>()) << header[c];
                } else {
                    EXPECT_TRUE(v.is_null() && (cells[c] == "" || cells[c] == "NaN")) << header[c];
                }
            }
        }
        const Json& marsh = j["networks"][0];
        EXPECT_EQ(marsh["format"], "csv");
        EXPECT_EQ(marsh["units"], Json::parse(R"({"flow":"g C m-2 y-1","stock":"g C m-2","source":"file"})"));
        const Json& table = marsh["compartments"];
        ASSERT_EQ(table.size(), 4u);
        const char* names[] = {"PLANTS", "HERBIVORES", "CARNIVORES", "DETRITUS"};
        const int given[] = {1, 3, 4, 2};
        const double stock[] = {500, 40, 6, 900}, in[] = {100, 0, 0, 0}, out[] = {0, 0, 1, 5};
        // Throughputs by hand: plants 100; herbivores 30 + 10; carnivores 8; detritus 20 + 12 + 3.
        const double through[] = {100, 40, 8, 35};
        for (std::size_t k = 0; k < 4; ++k) {
            const Json& c = table[k];
            EXPECT_EQ(c["number"], k + 1);
            EXPECT_EQ(c["name"], names[k]);
            EXPECT_EQ(c["givenOrder"], given[k]);
            EXPECT_EQ(c["living"], k < 3);
            EXPECT_EQ(c["stock"], stock[k]);
            EXPECT_EQ(c["input"], in[k]);
            EXPECT_EQ(c["export"], out[k]);
            EXPECT_EQ(c["throughput"], through[k]);
            EXPECT_EQ(c["companionThroughflow"], through[k]);
            EXPECT_DOUBLE_EQ(c["companionResidenceTime"].get<double>(), stock[k] / through[k]);
        }
        EXPECT_EQ(marsh["flows"][0], Json::parse(R"({"from":1,"to":2,"value":30.0})"));
        EXPECT_EQ(marsh["summary"]["cycles_searched"], "whole_network");
        EXPECT_EQ(marsh["summary"]["report_cycled_flow_index"],
                  marsh["cycles"]["wholeNetwork"]["cycledFlowIndex"]);
        EXPECT_GT(marsh["summary"]["report_cycled_flow_index"].get<double>(), 0.0);
        // The pond is all living: flowanalysis searched its feeding cycles only, and both files
        // say so and give that search's index; the title's parentheses give its units.
        const Json& pond = j["networks"][1];
        EXPECT_EQ(pond["units"]["flow"], "KCAL/M2/D");
        EXPECT_EQ(pond["units"]["source"], "title");
        const bool one = program == std::string(FLOWANALYSIS_EXE);
        EXPECT_EQ(pond["summary"]["cycles_searched"], one ? "feeding" : "whole_network");
        const Json& search = pond["cycles"][one ? "feeding" : "wholeNetwork"];
        EXPECT_EQ(pond["summary"]["report_cycled_flow_index"], search["cycledFlowIndex"]);
        EXPECT_EQ(pond["summary"]["report_TSTp"], pond["information"]["TSTp"]);
    }
}

// Out of steady state: one line on standard error, the status as it was, silenced by -q; the
// largest imbalance is the largest the report's comparison lists (compartment 2: .469E+03).
TEST(ResultsV2, ANetworkOutOfSteadyStateIsTold) {
    TempDir dir;
    fs::copy_file(kRef / "flowanalysis-web9unbal/net.dat", dir / "net.dat");
    for (const char* program : {FLOWANALYSIS_EXE, FLOWANALYSIS2_EXE}) {
        const RunResult loud = runProgram(program, "", dir.path(),
                                          {"net.dat", "--summary", "s.csv", "--no-report", "--force"});
        EXPECT_EQ(loud.status, 0);
        EXPECT_EQ(occurrences(loud.errors, "\n"), 1) << loud.errors;
        EXPECT_NE(loud.errors.find("net.dat (network 1): out of steady state: the largest "
                                   "imbalance, inflow minus outflow, is 469.06"),
                  std::string::npos)
            << loud.errors;
        EXPECT_NE(loud.errors.find(" at compartment 2 (tolerance 1)"), std::string::npos);
        const std::vector<std::string> cells = csvCells(lines(readFile(dir / "s.csv"))[1]);
        EXPECT_EQ(cells[7], "FALSE");
        EXPECT_EQ(flownet::formatLayout("(E9.3,$)", {std::stof(cells[8])}), " .469E+03");
        EXPECT_EQ(cells[9], "2");
        const RunResult quiet = runProgram(program, "", dir.path(), {"net.dat", "-q", "--no-report"});
        EXPECT_EQ(quiet.status, 0);
        EXPECT_EQ(quiet.errors, "");
    }
}

// The values of a network file as written (E14.7), by list: "stock", "input", "export",
// "respiration" by compartment, "flow" by pair.
std::map<std::string, std::string> scorValues(const std::string& text) {
    const std::vector<std::string> rows = lines(text);
    const int n = std::stoi(rows[1].substr(0, 3));
    std::map<std::string, std::string> values;
    std::size_t at = 2 + static_cast<std::size_t>(n);
    for (const char* list : {"stock", "input", "export", "respiration"}) {
        for (; std::stoi(rows[at].substr(0, 3)) > 0; ++at) {
            values[std::string(list) + " " + std::to_string(std::stoi(rows[at].substr(0, 3)))] =
                rows[at].substr(3, 14);
        }
        ++at;
    }
    for (; std::stoi(rows[at].substr(0, 3)) > 0; ++at) {
        values["flow " + std::to_string(std::stoi(rows[at].substr(0, 3))) + " " +
               std::to_string(std::stoi(rows[at].substr(3, 3)))] = rows[at].substr(6, 14);
    }
    return values;
}

// --changes: a row for every value of the network, before as in the file, after as in the
// balanced file the dialog of the reference run wrote (each written as the file writes it); the
// stocks are rescaled with the throughputs.
TEST(Balancing, TheChangesOfTheBalanceAreTold) {
    TempDir dir;
    const fs::path run = kRef / "flowentry-balance-web9unbal";
    fs::copy_file(run / "net.dat", dir / "net.dat");
    const RunResult r = flowentry(dir, {"--balance", "net.dat", "-o", "out.dat", "--changes",
                                        "changes.csv", "-q"});
    ASSERT_EQ(r.status, 0) << r.errors;
    const std::string balanced = readFile(run / "expected/balanced.dat");
    EXPECT_EQ(readFile(dir / "out.dat"), balanced);
    std::map<std::string, std::string> before = scorValues(readFile(dir / "net.dat")),
                                       after = scorValues(balanced);
    const auto written = [](const std::string& cell) {
        return flownet::formatLayout("(E14.7,$)", {std::stof(cell)});
    };
    const std::string zero = written("0");
    const std::vector<std::string> rows = lines(readFile(dir / "changes.csv"));
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0], "kind,from,to,from_name,to_name,before,after,change");
    std::size_t seen = 0;
    int stocksChanged = 0;
    for (std::size_t k = 1; k < rows.size(); ++k) {
        const std::vector<std::string> c = csvCells(rows[k]);
        ASSERT_EQ(c.size(), 8u) << rows[k];
        const std::string key = c[0] + " " + (c[0] == "flow" ? c[1] + " " + c[2]
                                              : c[0] == "input" ? c[2] : c[1]);
        EXPECT_EQ(written(c[5]), before.count(key) ? before[key] : zero) << key;
        EXPECT_EQ(written(c[6]), after.count(key) ? after[key] : zero) << key;
        EXPECT_EQ(std::stof(c[7]), std::stof(c[6]) - std::stof(c[5])) << key;
        seen += before.count(key) + (after.count(key) && !before.count(key));
        stocksChanged += c[0] == "stock" && c[5] != c[6];
    }
    EXPECT_EQ(seen, std::max(before.size(), after.size()));
    EXPECT_GT(stocksChanged, 0);
}

// A nexus line of a report, "   2-CYCLE NEXUS WITH WEAK ARC ( 3, 4) =     3.000": its count and
// its weak arc.
bool nexusLine(const std::string& line, long long& count, int& from, int& to) {
    const std::size_t at = line.find("-CYCLE NEXUS WITH WEAK ARC (");
    return at != std::string::npos &&
           std::sscanf(line.c_str(), "%lld-CYCLE NEXUS WITH WEAK ARC (%d,%d)", &count, &from, &to) == 3;
}

// A cycle line of a report, "    1.  4- 2- 3- 4-": its number and its nodes.
bool cycleLine(const std::string& line, long long& number, std::vector<int>& nodes) {
    const std::size_t dot = line.find('.');
    if (dot == std::string::npos || line.find_first_not_of(' ') == dot) return false;
    if (line.substr(0, dot).find_first_not_of(" 0123456789") != std::string::npos) return false;
    const std::string rest = line.substr(dot + 1);
    if (rest.empty() || rest.back() != '-' || rest.find_first_not_of(" 0123456789-") != std::string::npos) {
        return false;
    }
    number = std::stoll(line.substr(0, dot));
    std::istringstream words(rest);
    nodes.clear();
    for (std::string word; std::getline(words, word, '-');) {
        if (word.find_first_not_of(' ') != std::string::npos) nodes.push_back(std::stoi(word));
    }
    return !nodes.empty();
}

// The nexus tables of the results against the report's listing of the same network: every nexus
// line and every cycle line, in order, in both programs and both cycle analyses.
TEST(ResultsV2, TheNexusTablesHoldWhatTheReportLists) {
    int nexuses = 0;
    for (const char* name : {"web12", "web30ties", "oyster_reef", "cone_spring"}) {
        for (const char* program : {"flowanalysis", "flowanalysis2"}) {
            SCOPED_TRACE(std::string(program) + " " + name);
            TempDir dir;
            fs::copy_file(kRef / (std::string(program) + "-" + name) / "net.dat", dir / "net.dat");
            const RunResult r = runProgram(
                program == std::string("flowanalysis") ? FLOWANALYSIS_EXE : FLOWANALYSIS2_EXE, "",
                dir.path(), {"net.dat", "-o", "rep.txt", "--json", "r.json", "-q"});
            ASSERT_EQ(r.status, 0) << r.errors;
            const Json doc = Json::parse(readFile(dir / "r.json"));
            const Json& cycles = doc["networks"][0]["cycles"];
            std::vector<const Json*> table;
            for (const char* search : {"feeding", "wholeNetwork"}) {
                if (cycles[search].is_null()) continue;
                EXPECT_TRUE(cycles[search]["nexusTableComplete"].get<bool>());
                for (const Json& x : cycles[search]["nexuses"]) table.push_back(&x);
            }
            std::size_t at = 0, listed = 0;
            const Json* current = nullptr;
            for (const std::string& line : lines(readFile(dir / "rep.txt"))) {
                long long count = 0, number = 0;
                int from = 0, to = 0;
                std::vector<int> nodes;
                if (nexusLine(line, count, from, to)) {
                    ASSERT_LT(at, table.size());
                    current = table[at++];
                    listed = 0;
                    EXPECT_EQ((*current)["cyclesCounted"], count);
                    EXPECT_EQ((*current)["weakArcFrom"], from);
                    EXPECT_EQ((*current)["weakArcTo"], to);
                } else if (current != nullptr && cycleLine(line, number, nodes)) {
                    const Json& c = (*current)["cycles"][listed++];
                    EXPECT_EQ(c["number"], number);
                    nodes.pop_back();  // the first node again, closing the cycle
                    EXPECT_EQ(c["nodes"], Json(nodes));
                }
            }
            EXPECT_EQ(at, table.size());
            nexuses += static_cast<int>(at);
        }
    }
    EXPECT_GT(nexuses, 20);
}

// The networks of examples/, each in both forms: the same report.
TEST(Examples, EachNetworkInBothForms) {
    for (const char* name : {"marsh", "pond", "oyster", "cone_spring"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        for (const char* ext : {".dat", ".csv"}) {
            fs::copy_file(fs::path(EXAMPLES_DIR) / (std::string(name) + ext), dir / (std::string(name) + ext));
        }
        for (const char* program : {FLOWANALYSIS_EXE, FLOWANALYSIS2_EXE}) {
            const auto [status, scor] = report(dir, program, std::string(name) + ".dat");
            const auto [s, csv] = report(dir, program, std::string(name) + ".csv");
            EXPECT_EQ(status, 0);
            EXPECT_EQ(s, 0);
            EXPECT_TRUE(csv == scor) << program;
            EXPECT_NE(scor.find("CONNECTANCE INDICES"), std::string::npos);
        }
    }
}

}  // namespace
