// The shared routines: console answers, record files, listings, inversion, small matrix routines
// and the network file records.
#include <gtest/gtest.h>

#include <sstream>

#include "listing.hpp"
#include "matrix.hpp"
#include "network.hpp"
#include "runend.hpp"
#include "support/run.hpp"
#include "textio.hpp"

using namespace flownet;
using flownet::testing::lines;
using Lines = std::vector<std::string>;

TEST(Console, FreeFormNumbersSkipBlankLinesAndTakeTheFirstItem) {
    std::istringstream in("\n   \n  12, 5\n7 8\n3.0\nword\n");
    std::ostringstream out;
    Console con(in, out);
    std::int32_t i = 0, j = 0;
    float r = 0.0f;
    EXPECT_TRUE(askInteger(con, i) == Answer::Ok && askInteger(con, j) == Answer::Ok);
    EXPECT_EQ(std::make_pair(i, j), std::make_pair(12, 7));
    EXPECT_EQ(askInteger(con, i), Answer::Unreadable);  // an integer must be a plain integer
    EXPECT_EQ(askReal(con, r), Answer::Unreadable);
    EXPECT_EQ(askReal(con, r), Answer::End);
}

TEST(Console, TextAndOneCharacterAnswers) {
    std::istringstream in("a name that is rather long for the field\r\n\nyes\n");
    std::ostringstream out;
    Console con(in, out);
    std::string text;
    char c = 'x';
    ASSERT_TRUE(askText(con, 10, text) && askChar(con, c));
    EXPECT_EQ(text + c, "a name tha ");  // an empty line answers with a blank
    EXPECT_EQ(requireText(con, 5), "yes  ");
    EXPECT_FALSE(askChar(con, c));
    try {
        requireChar(con);
        FAIL() << "the end of input must end the run";
    } catch (const RunEnd& e) {
        EXPECT_EQ(e.status, 2);
    }
}

TEST(RecordFile, LinesAreNumberedCarriageReturnsDroppedLongLinesCut) {
    flownet::testing::TempDir dir;
    flownet::testing::writeFile(dir / "f", "one\r\ntwo\n" + std::string(100000, '7') + "\nlast");
    RecordFile f;
    ASSERT_TRUE(f.open((dir / "f").string()));
    Lines read(4);
    for (std::string& r : read) ASSERT_TRUE(f.next(r));
    EXPECT_EQ(read, (Lines{"one", "two", std::string(4096, '7'), "last"}));
    EXPECT_EQ(f.lineNumber(), 4);
    EXPECT_FALSE(f.next(read[0]));
    try {
        f.fail("not an integer");
        FAIL();
    } catch (const RunEnd& e) {
        EXPECT_EQ(e.status, 2);
        EXPECT_EQ(e.line, (dir / "f").string() + ", line 4: not an integer");
    }
}

// Listings of a vector v(i) = i and a matrix A(i, j) = 100 i + j: blocks of 8 columns, and of
// 65 rows for a matrix, each block after a header of column numbers and before two empty lines.
TEST(Listing, VectorAndMatrixShapes) {
    Vector<80> v;
    Matrix<83> a;
    for (int i = 1; i <= 80; ++i) v(i) = static_cast<float>(i);
    for (int j = 1; j <= 83; ++j)
        for (int i = 1; i <= 83; ++i) a(i, j) = static_cast<float>(100 * i + j);
    auto vector = [&](int n) {
        std::ostringstream out;
        VECPRT(out, v.view(), n);
        return lines(out.str());
    };
    auto matrix = [&](int n) {
        std::ostringstream out;
        MATPRT(out, a.view(), n);
        return lines(out.str());
    };
    const std::string header8 =
        "           1        2        3        4        5        6        7        8   ";
    EXPECT_EQ(vector(10),
              (Lines{"", "", header8,
                     "       .100E+01 .200E+01 .300E+01 .400E+01 .500E+01 .600E+01 "
                     ".700E+01 .800E+01",
                     "", "", "           9       10   ", "       .900E+01 .100E+02", "", ""}));
    EXPECT_EQ(vector(8).size(), 6u);
    EXPECT_EQ(vector(0), (Lines{"", "", "      ", "      ", "", ""}));
    EXPECT_EQ(matrix(0), (Lines{"", "", "      ", "", ""}));
    const Lines eight = matrix(8), nine = matrix(9), sixtyFive = matrix(65);
    EXPECT_EQ(eight.size(), 2u + 1 + 8 + 2);
    EXPECT_EQ(eight[3],
              "   1   .101E+03 .102E+03 .103E+03 .104E+03 .105E+03 .106E+03 .107E+03 .108E+03");
    ASSERT_EQ(nine.size(), 2u + 2 * (1 + 9 + 2));  // column 9 alone in a second block
    EXPECT_EQ(nine[2 + 12], "           9   ");
    EXPECT_EQ(nine[2 + 12 + 9], "   9   .909E+03");
    EXPECT_EQ(sixtyFive.size(), 2u + 9 * (1 + 65 + 2));
    // N = 66: all column blocks again for row 66 alone.
    const Lines sixtySix = matrix(66);
    const std::size_t second = 2 + 9 * (1 + 65 + 2);
    ASSERT_EQ(sixtySix.size(), second + 9 * (1 + 1 + 2));
    EXPECT_EQ(sixtySix[second], header8);
    EXPECT_EQ(sixtySix[second + 1].substr(0, 15), "  66   .660E+04");
    // N = 80: ten column blocks for rows 1-65, then ten for rows 66-80.
    const Lines eighty = matrix(80);
    ASSERT_EQ(eighty.size(), 2u + 10 * (1 + 65 + 2) + 10 * (1 + 15 + 2));
    EXPECT_EQ(eighty[eighty.size() - 3].substr(0, 15), "  80   .807E+04");  // columns 73-80
    EXPECT_EQ(eighty[eighty.size() - 3].size(), 6u + 9 * 8);
}

// Inversion by elimination without row exchanges: an exact zero pivot stops it with its row.
TEST(Inverse, PivotsDiagonalInPlaceAndZeroPivots) {
    using M = Matrix<5>;  // leading dimension 5 for matrices of order up to 3
    auto matrix = [](std::initializer_list<std::initializer_list<float>> rows) {
        M m;
        int i = 1;
        for (auto row : rows) {
            int j = 1;
            for (float x : row) m(i, j++) = x;
            ++i;
        }
        return m;
    };
    Vector<5> w;
    auto inverse = [&](const M& a, M& b, int n) {
        std::ostringstream out;
        INV(out, b.view(), a.view(), w.view(), n);
        return out.str();
    };
    M b;
    EXPECT_EQ(inverse(matrix({{4.0f}}), b, 1), "");
    EXPECT_EQ(b(1, 1), 0.25f);
    EXPECT_EQ(inverse(matrix({{2, 0, 0}, {0, -4, 0}, {0, 0, 0.5f}}), b, 3), "");
    EXPECT_EQ(std::vector<float>(b.a.begin(), b.a.begin() + 15),
              (std::vector<float>{0.5f, 0, 0, 0, 0, 0, -0.25f, 0, 0, 0, 0, 0, 2, 0, 0}));
    EXPECT_EQ(std::vector<float>(w.a.begin(), w.a.begin() + 3), (std::vector<float>{0, 0, 0}));
    // I - G of a small network; in place it gives the same, and A times its inverse is I.
    const M a = matrix({{1.0f, -0.5f, 0.0f}, {-0.2f, 1.0f, -0.3f}, {-0.1f, -0.4f, 1.0f}});
    M inPlace = a, product;
    EXPECT_EQ(inverse(a, b, 3), "");
    EXPECT_EQ(inverse(inPlace, inPlace, 3), "");
    EXPECT_EQ(inPlace.a, b.a);
    MATMUL(product.view(), a.view(), b.view(), 3);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(product(i, j), i == j ? 1.0f : 0.0f, 1e-6f);
    const std::string trouble = "\n\n TROUBLE DURING MATRIX INVERSION AT ROW   ";
    EXPECT_EQ(inverse(matrix({{0.0f}}), b, 1), trouble + "1\n\n\n");
    EXPECT_EQ(inverse(matrix({{0, 1}, {1, 0}}), b, 2), trouble + "1\n\n\n");  // invertible
    EXPECT_EQ(w(1), 1.0f);                                                    // step 1 began
    EXPECT_EQ(inverse(matrix({{1, 2}, {2, 4}}), b, 2), trouble + "2\n\n\n");  // singular
    // The other routines on A = [1 2 3; 4 5 6; 7 8 10] and x = (1, -1, 2).
    M c = matrix({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}), t = c;
    Vector<5> x, y;
    x.a = {1, -1, 2};
    MATVEC(y.view(), c.view(), x.view(), 3);
    EXPECT_EQ(std::vector<float>(y.a.begin(), y.a.begin() + 3), (std::vector<float>{5, 11, 19}));
    TRANSP(t.view(), t.view(), 3);
    EXPECT_EQ((std::vector<float>{t(1, 3), t(3, 1), t(2, 2), t(2, 3)}),
              (std::vector<float>{7, 3, 5, 8}));
}

TEST(NetworkFile, WrittenRecordByRecordAndReadBack) {
    Network net;
    net.title = "TEST" + std::string(74, ' ');
    net.count = 3;
    net.livingCount = 2;
    net.precisionExponent = 6;
    net.names[1] = "ALGAE                    ";
    net.names[2] = "GRAZERS                  ";
    net.names[3] = "DETRITUS                 ";
    net.T(5, 1) = 5.0f;   // stock of 1 (row n + 2)
    net.T(4, 1) = 10.0f;  // input to 1 (row n + 1)
    net.T(2, 4) = 1.5f;   // export from 2 (column n + 1)
    net.T(1, 5) = 2.0f;   // respirations (column n + 2); zero entries are not written
    net.T(3, 5) = 0.25f;
    net.T(1, 2) = 8.0f;
    net.T(2, 3) = 6.5f;
    std::ostringstream out;
    writeNetwork(out, net);
    const std::string end = " -1  .0000000E+00\n";
    EXPECT_EQ(out.str(), "TEST" + std::string(74, ' ') + " 6\n  3  2\n" + net.names[1] + "\n" +
                             net.names[2] + "\n" + net.names[3] + "\n  1  .5000000E+01\n" + end +
                             "  1  .1000000E+02\n" + end + "  2  .1500000E+01\n" + end +
                             "  1  .2000000E+01\n  3  .2500000E+00\n" + end +
                             "  1  2  .8000000E+01\n  2  3  .6500000E+01\n -1 -1  .0000000E+00\n");
    std::string title, problem;
    int k = -1, n = 0, nl = 0;
    ASSERT_TRUE(parseTitleRecord("A TITLE", title, k, problem));
    EXPECT_EQ(title + std::to_string(k), "A TITLE" + std::string(71, ' ') + "0");
    EXPECT_FALSE(parseTitleRecord(std::string(80, 'x'), title, k, problem));
    ASSERT_TRUE(parseCountsRecord("  3  2", n, nl, problem));
    EXPECT_EQ(std::make_pair(n, nl), std::make_pair(3, 2));
    EXPECT_EQ(parseNameRecord("SHORT"), "SHORT" + std::string(20, ' '));
    EXPECT_EQ(parseNameRecord(std::string(30, 'N')), std::string(25, 'N'));
}
