// The readers and writers of networks in CSV and NEA: hand-written tables read into the network
// record, every kind of bad table refused at its line and column, and the writers read back.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "csvedges.hpp"
#include "csvmatrix.hpp"
#include "csvtext.hpp"
#include "nea.hpp"
#include "netdraft.hpp"

using namespace flownet;

namespace {

// The record of a draft, built as the programs build it.
struct Built {
    AnalysisNetwork net;
    Numbering numbering;
};

std::unique_ptr<Built> build(NetworkDraft& draft, const std::string& file = "t.csv") {
    auto b = std::make_unique<Built>();
    b->numbering = buildNetwork(file, draft, b->net, "FALLBACK");
    return b;
}
std::unique_ptr<Built> build(NetworkDraft&& draft, const std::string& file = "t.csv") {
    return build(draft, file);
}

NetworkDraft matrix(const std::string& text) {
    return readCsvMatrix(parseCsv("t.csv", text));
}

NetworkDraft edges(const std::string& text, const std::string& companion = "") {
    return readCsvEdges(parseCsv("e.csv", text), [&](const std::string& name, int) {
        EXPECT_EQ(name, "c.csv");
        return parseCsv("c.csv", companion);
    });
}

// The message a table is refused with ("" when it is read).
template <class Read>
std::string refusal(Read read) {
    try {
        NetworkDraft d = read();
        build(d);
    } catch (const FormatError& e) {
        return e.message;
    }
    return "";
}

std::string name(const AnalysisNetwork& net, int k) {
    return net.names[static_cast<std::size_t>(k)];
}

}  // namespace

TEST(CsvText, SpreadsheetHabitsAreRead) {
    // A byte-order mark, CR LF and a lone CR, quoted cells with commas and doubled quotes, blanks
    // around cells, an empty cell, a row of empty cells and settings among the comments.
    const CsvText csv = parseCsv("s.csv",
                                 "\xEF\xBB\xBF# title: \"  A, B \"\r\n# a comment\r\n"
                                 " x , \"y, \"\"z\"\"\" ,\r,,,\n\n#Units : kcal\n1,,2");
    ASSERT_EQ(csv.rows.size(), 2u);
    EXPECT_EQ(csv.rows[0].line, 3);
    EXPECT_EQ(csv.rows[0].cells[0].text, "x");
    EXPECT_EQ(csv.rows[0].cells[1].text, "y, \"z\"");
    EXPECT_TRUE(csv.rows[0].cells[1].quoted);
    EXPECT_EQ(csv.rows[0].cells[2].text, "");
    EXPECT_EQ(csv.rows[1].line, 7);
    ASSERT_NE(csv.setting("title"), nullptr);
    EXPECT_EQ(csv.setting("title")->value, "  A, B ");
    EXPECT_EQ(csv.setting("units")->value, "kcal");
    EXPECT_EQ(csv.setting("units")->line, 6);
    EXPECT_EQ(csv.setting("stock units"), nullptr);
}

TEST(CsvText, NumbersAsDecimalOrExponentWithinSinglePrecision) {
    const struct {
        const char* text;
        bool read;
        float value;
    } cases[] = {
        {"12", true, 12.0f},       {"12.5", true, 12.5f},   {"1.25e1", true, 12.5f},
        {"+3", true, 3.0f},        {".5", true, 0.5f},      {"5.", true, 5.0f},
        {"-0", true, -0.0f},       {"1E-46", true, 0.0f},   {"3.4e38", true, 3.4e38f},
        {"0.1", true, 0.1f},       {"1e39", false, 0},      {"-1e39", false, 0},
        {"inf", false, 0},         {"nan", false, 0},       {"1,5", false, 0},
        {"1.5D3", false, 0},       {"12abc", false, 0},     {"", false, 0},
        {"0x10", false, 0},        {"1 000", false, 0},
    };
    for (const auto& c : cases) {
        float v = -1.0f;
        EXPECT_EQ(parseDecimal(c.text, v), c.read) << c.text;
        if (c.read) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

// The salt marsh by hand: four compartments, detritus non-living and given second, so that it is
// numbered last; empty cells are 0; boundary columns in another order than the writer's.
TEST(CsvMatrix, ATableBecomesTheRecordLivingFirst) {
    const auto b = build(matrix("# title: MARSH\n# units: g C m-2 y-1\n# precision exponent: 2\n"
                                "\"from \\ to\",PLANTS,DETRITUS,HERBIVORES,CARNIVORES,living,stock,"
                                "respiration,export\n"
                                "PLANTS,,20,30,,yes,500,50,0\n"
                                "DETRITUS,0,0,10,0,no,900,20,5\n"
                                "HERBIVORES,0,12,0,8,yes,40,20\n"
                                "CARNIVORES,0,3,0,0,TRUE,6,4,1\n"
                                "input,100,0,0,0,,,,\n"));
    const AnalysisNetwork& n = b->net;
    EXPECT_EQ(n.title, "MARSH" + std::string(73, ' '));
    EXPECT_EQ(n.count, 4);
    EXPECT_EQ(n.livingCount, 3);
    EXPECT_EQ(n.precisionExponent, 2);
    EXPECT_EQ(name(n, 1), "PLANTS                   ");
    EXPECT_EQ(name(n, 3), "CARNIVORES               ");
    EXPECT_EQ(name(n, 4), "DETRITUS                 ");
    EXPECT_EQ(b->numbering.given, (std::vector<int>{1, 3, 4, 2}));
    // Flows by the new numbers: plants 1, herbivores 2, carnivores 3, detritus 4.
    EXPECT_EQ(n.T(1, 2), 30.0f);
    EXPECT_EQ(n.T(1, 4), 20.0f);
    EXPECT_EQ(n.T(2, 3), 8.0f);
    EXPECT_EQ(n.T(4, 2), 10.0f);
    EXPECT_EQ(n.T(2, 1), 0.0f);
    // Inputs in row N+1, stocks in row N+2, exports and respirations in columns N+1 and N+2.
    EXPECT_EQ(n.T(5, 1), 100.0f);
    EXPECT_EQ(n.T(6, 4), 900.0f);
    EXPECT_EQ(n.T(4, 5), 5.0f);
    EXPECT_EQ(n.T(3, 6), 4.0f);
    EXPECT_EQ(n.T(2, 5), 0.0f);
}

TEST(CsvMatrix, WithoutBoundaryColumnsEveryCompartmentLivesAndAFileNameIsTheTitle) {
    NetworkDraft d = matrix(",A,B\nA,0,2\nB,1,0\n");
    EXPECT_EQ(d.notices.size(), 1u);
    const auto b = build(d);
    EXPECT_EQ(b->net.livingCount, 2);
    EXPECT_EQ(b->net.precisionExponent, 6);
    EXPECT_EQ(b->net.title.substr(0, 9), "FALLBACK ");
}

TEST(CsvEdges, AnEdgeListWithItsCompanionTable) {
    // The companion table numbers the compartments (living first) and gives the stocks; R's
    // unnamed column of row numbers is skipped.
    const auto b = build(edges("# compartments: c.csv\n\"\",from,to,value\n1,input,P,100\n2,P,H,30\n"
                               "3,P,D,20\n4,D,H,10\n5,H,respiration,20\n6,D,export,5\n7,P,respiration,50\n",
                               "compartment,living,stock\nD,no,900\nP,yes,500\nH,yes,40\nX,yes,\n"));
    const AnalysisNetwork& n = b->net;
    EXPECT_EQ(n.count, 4);
    EXPECT_EQ(n.livingCount, 3);
    EXPECT_EQ(b->numbering.given, (std::vector<int>{2, 3, 4, 1}));  // P, H, X, D
    EXPECT_EQ(n.T(1, 2), 30.0f);
    EXPECT_EQ(n.T(1, 4), 20.0f);
    EXPECT_EQ(n.T(4, 2), 10.0f);
    EXPECT_EQ(n.T(5, 1), 100.0f);  // input of P
    EXPECT_EQ(n.T(2, 6), 20.0f);   // respiration of H
    EXPECT_EQ(n.T(4, 5), 5.0f);    // export of D
    EXPECT_EQ(n.T(6, 4), 900.0f);  // stock of D
    EXPECT_EQ(n.T(6, 3), 0.0f);    // X has none
}

TEST(CsvEdges, WithoutACompanionTheOrderOfFirstAppearance) {
    NetworkDraft d = edges("FROM,To,Flow\ninput,B,4\nB,A,3\nA,respiration,3\nB,respiration,1\n");
    ASSERT_EQ(d.compartments.size(), 2u);
    EXPECT_EQ(d.compartments[0].name, "B");
    EXPECT_EQ(d.compartments[1].line, 3);
    EXPECT_EQ(d.notices.size(), 1u);
}

// The NEA system matrix printed for the oyster reef (formats.md): flows from column to row,
// inputs and stocks in the last two columns, outputs in the last row.
TEST(Nea, TheOysterReefAsPrinted) {
    const std::string reef =
        "0,0,0,0,0,0,41.47,2000\n0,0,0,0,0,8.1721,0,2.4121\n0,1.206,0,0,0,7.2745,0,24.121\n"
        "0,1.206,0.6609,0,0,0.6431,0,16.274\n0.5135,0,0,0.1721,0,0,0,69.237\n"
        "15.791,0,4.2403,1.9076,0.3262,0,0,1000\n25.165,5.76,3.5794,0.4303,0.3594,6.1759,0,0\n";
    NetworkDraft d = readNea("reef.nea", reef, {6});
    const auto b = build(d, "reef.nea");
    const AnalysisNetwork& n = b->net;
    EXPECT_EQ(n.count, 6);
    EXPECT_EQ(n.livingCount, 5);
    EXPECT_EQ(name(n, 6), "COMPARTMENT 6            ");
    EXPECT_EQ(n.T(6, 2), 8.1721f);  // deposited detritus to microbiota
    EXPECT_EQ(n.T(1, 5), 0.5135f);  // filter feeders to predators
    EXPECT_EQ(n.T(1, 6), 15.791f);
    EXPECT_EQ(n.T(7, 1), 41.47f);    // input of the filter feeders
    EXPECT_EQ(n.T(8, 5), 69.237f);   // stock of the predators
    EXPECT_EQ(n.T(1, 8), 25.165f);   // output as respiration
    EXPECT_EQ(n.T(1, 7), 0.0f);      // no export
    // Blanks separate the cells of a line without a comma.
    const auto c = build(readNea("b.nea", "2 5 1\n3   0 0\n", {}), "b.nea");
    EXPECT_EQ(c->net.T(1, 1), 2.0f);  // the only flow: from 1 to 1
    EXPECT_EQ(c->net.T(2, 1), 5.0f);  // input
    EXPECT_EQ(c->net.T(1, 3), 3.0f);  // output as respiration
}

// Every kind of bad table, refused with its line and column and what was expected there.
TEST(Formats, BadTablesAreRefusedAtTheirPlace) {
    const auto m = [](const std::string& text) { return refusal([&] { return matrix(text); }); };
    const auto e = [](const std::string& text, const std::string& c = "") {
        return refusal([&] { return edges(text, c); });
    };
    const auto nea = [](const std::string& text) {
        return refusal([&] { return readNea("n.nea", text, {}); });
    };
    const struct {
        std::string message, expected;
    } cases[] = {
        {m(",A,B\nA,0,1\nB,1,0\n"), ""},
        {m(";A;B\nA;0;1,5\nB;1;0\n"), "t.csv, line 1: the cells are separated by semicolons"},
        {m("\tA\tB\nA\t0\t1\n"), "t.csv, line 1: the cells are separated by tabs"},
        {m(",A,B\nA,0,\"1,5\"\nB,1,0\n"), "t.csv, line 2, column 3: expected a number for the flow "
                                         "from A to B where the cell holds '1,5', a decimal comma"},
        {m(",A,B\nA,0,1,5\nB,1,0\n"), "t.csv, line 2, column 4: the row holds 4 cells where the "
                                     "header holds 3 (a number written with a decimal comma"},
        {m(",A,B\nA,0,NA\nB,1,0\n"), "t.csv, line 2, column 3: expected a number for the flow from "
                                    "A to B where the cell holds 'NA', a missing value"},
        {m(",A,B\nA,0,-2\nB,1,0\n"), "t.csv, line 2, column 3: the flow from A to B is negative"},
        {m(",A,B\nA,0,1e39\nB,1,0\n"), "t.csv, line 2, column 3: expected a number for the flow from A to "
                                      "B where the cell holds '1e39', within single precision"},
        {m(",A,B\nA,0,x\"y\nB,1,0\n"), "t.csv, line 2, column 3: a quote inside a cell"},
        {m(",A,B\nA,0,\"1\nB,1,0\n"), "t.csv, line 2, column 3: a quoted cell that is not closed"},
        {m(",A,B\nA,0,1\nA,1,0\n"), "t.csv, line 3, column 1: the compartment 'A' is named a second "
                                   "time (first on line 2, column 1)"},
        {m(",A,B\nA,0,1\n,1,0\n"), "t.csv, line 3, column 1: expected the name of a compartment"},
        {m(",B,A\nA,0,1\nB,1,0\n"), "t.csv, line 1, column 2: expected the column of 'A' (the "
                                   "compartment of line 2"},
        {m(",A\nA,0\nB,1\n"), "t.csv, line 1: no column for the compartment 'B' of line 3"},
        {m(",A,B,exports,export\nA,0,1\nB,1,0\n"), "t.csv, line 1, column 5: the column 'export' a "
                                                  "second time"},
        {m(",A,input\nA,0\n"), "t.csv, line 1, column 3: 'input' is a row of the table"},
        {m(",A,export\nA,1,0\nexport,0\n"), "t.csv, line 3, column 1: 'export' names the boundary"},
        {m(",A,living\nA,0,maybe\n"), "t.csv, line 2, column 3: expected yes or no for whether A is "
                                     "living where the cell holds 'maybe'"},
        {m(",A,B,export\nA,0,1,\nB,1,0,\ninput,2,0,3\n"), "t.csv, line 4, column 4: expected an "
                                                         "empty cell: the input row has no export"},
        {m(",A,living\nA,0,no\n"), "t.csv, line 1: no compartment is living"},
        {m("# precision exponent: 1.5\n,A\nA,0\n"), "t.csv, line 1: expected a whole number from -9 "
                                                    "to 99"},
        {m("# living count: 0\n,A,B,living\nA,0,1,yes\nB,0,0,no\n"), "t.csv, line 1: a living count "
                                                                    "of 0 stands for every compartment living, but 'B' is not living"},
        {m("# title: A\n# title: B\n,A\nA,0\n"), "t.csv, line 2: 'title' is given a second time"},
        {m(",ABCDEFGHIJKLMNOPQRSTUVWXYZ1,ABCDEFGHIJKLMNOPQRSTUVWXYZ2\n"
           "ABCDEFGHIJKLMNOPQRSTUVWXYZ1,0,1\nABCDEFGHIJKLMNOPQRSTUVWXYZ2,1,0\n"),
         "t.csv, line 3, column 1: the names 'ABCDEFGHIJKLMNOPQRSTUVWXYZ1' (line 2, column 1) and "
         "'ABCDEFGHIJKLMNOPQRSTUVWXYZ2' are the same within the 25 characters"},
        {m(""), "t.csv: no table: the file is empty"},
        {m(",\"A \",A\n\"A \",0,1\nA,1,0\n"), "t.csv, line 3, column 1: the names 'A ' (line 2, "
                                              "column 1) and 'A' are the same within the 25"},
        {m(",\"  \"\n\"  \",0\n"), "t.csv, line 2, column 1: expected the name of a compartment"},
        {m(",\" input\"\n\" input\",0\n"), "t.csv, line 2, column 1: ' input' names the boundary"},
        {e("from,to,value\ninput,A,1\nA,B,2\nA,B,3\n"), "e.csv, line 4: the flow from A to B a "
                                                      "second time (first on line 3)"},
        {e("from,to,value\ninput,export,1\n"), "e.csv, line 2, column 2: expected a compartment as "
                                              "the destination of an input, not 'export'"},
        {e("from,to,value\nexport,A,1\n"), "e.csv, line 2, column 1: expected a compartment, or "
                                          "input, as the source of a flow, not 'export'"},
        {e("from,to,value\nA,input,1\n"), "e.csv, line 2, column 2: expected a compartment, export "
                                         "or respiration as the destination of a flow, not 'input'"},
        {e("from,to,weight\nA,B,1\n"), "e.csv, line 1, column 3: expected a column named from, to, "
                                      "value, not 'weight'"},
        {e("from,to\nA,B\n"), "e.csv, line 1: expected a column named value"},
        {e("# compartments: c.csv\nfrom,to,value\nA,B,1\n", "compartment\nA\n"),
         "e.csv, line 3, column 2: 'B' is not a compartment of the companion table"},
        {e("# compartments: c.csv\nfrom,to,value\nA,A,1\n", "name,living\nA,perhaps\n"),
         "c.csv, line 2, column 2: expected yes or no for whether A is living"},
        {nea("0,1,5\n0,0\n"), "n.nea, line 2: expected 3 cells in each row"},
        {nea("0,1,5\n3,1,0\n"), "n.nea, line 2, column 2: expected 0: the last row of an NEA"},
        {nea("0,1,5,2\n"), "n.nea, line 1: expected an NEA system matrix of n + 1 rows"},
        {nea("A,1,5\n3,0,0\n"), "n.nea, line 1, column 1: expected a number for the flow from "
                                   "compartment 1 to 1 where the cell holds 'A'"},
    };
    for (const auto& c : cases) {
        if (c.expected.empty()) {
            EXPECT_EQ(c.message, "");
        } else {
            EXPECT_EQ(c.message.substr(0, c.expected.size()), c.expected) << c.message;
        }
    }
}

TEST(Formats, LongNamesAreCutWhenTheyStayUniqueAndTheUserIsTold) {
    NetworkDraft d = matrix(",SUSPENSION FEEDING BIVALVES,DEPOSITED DETRITUS\n"
                            "SUSPENSION FEEDING BIVALVES,0,1\nDEPOSITED DETRITUS,0,0\n");
    const auto b = build(d);
    EXPECT_EQ(name(b->net, 1), "SUSPENSION FEEDING BIVALV");
    ASSERT_EQ(d.notices.size(), 2u);  // the name cut, and no living column
    EXPECT_NE(d.notices[1].find("'SUSPENSION FEEDING BIVALVES' is cut"), std::string::npos);
    EXPECT_EQ(b->numbering.givenNames[0], "SUSPENSION FEEDING BIVALVES");
}

// Each writer read back by its reader gives the record it was written from.
TEST(Formats, EachWriterReadsBack) {
    const auto b = build(matrix("# title: \" LEADING, AND QUOTED \"\"X\"\"\"\n# units: kcal\n"
                                "# precision exponent: -3\n"
                                ",\" A, B\",C,living,stock,export,respiration\n"
                                "\" A, B\",0.1234567,2,yes,1e-3,0,3.5\nC,1,0,no,7,2.25,0\n"
                                "input,2.5,0,,,,\n"));
    const NetworkView view = viewOf(b->net);
    std::ostringstream m, e, c, n;
    writeCsvMatrix(m, view, {"kcal", "", "file"});
    writeCsvEdges(e, view, {}, "c.csv");
    writeCsvCompartments(c, view);
    writeNea(n, view);
    const auto fromMatrix = build(matrix(m.str()));
    const auto fromEdges = build(edges(e.str(), c.str()));
    NetworkDraft nea = readNea("n.nea", n.str(), {2});
    const auto fromNea = build(nea, "n.nea");
    for (const Built* r : {fromMatrix.get(), fromEdges.get(), fromNea.get()}) {
        EXPECT_EQ(r->net.count, 2);
        EXPECT_EQ(r->net.livingCount, 1);
        for (int i = 1; i <= 4; ++i) {
            for (int j = 1; j <= 4; ++j) {
                // NEA sums exports (column 3) and respirations (column 4) into respirations.
                const float want = r == fromNea.get() && j >= 3 && i <= 2
                                       ? (j == 4 ? b->net.T(i, 3) + b->net.T(i, 4) : 0.0f)
                                       : b->net.T(i, j);
                EXPECT_EQ(r->net.T(i, j), want) << i << "," << j;
            }
        }
    }
    for (const Built* r : {fromMatrix.get(), fromEdges.get()}) {
        EXPECT_EQ(r->net.title, b->net.title);
        EXPECT_EQ(r->net.precisionExponent, -3);
        EXPECT_EQ(name(r->net, 1), " A, B                    ");
    }
    EXPECT_NE(m.str().find("# units: kcal\n"), std::string::npos);
    AnalysisNetwork unnamed = b->net;
    unnamed.names[2] = std::string(25, ' ');
    EXPECT_THROW(checkCsvNames("o.csv", viewOf(unnamed)), FormatError);
}
