// The shared routines: console answers, record files, listings, inversion, small matrix routines
// and the network file writer.
#include <gtest/gtest.h>

#include <sstream>

#include "layout.hpp"
#include "listing.hpp"
#include "matrix.hpp"
#include "network.hpp"
#include "runend.hpp"
#include "support/run.hpp"
#include "textio.hpp"

using namespace flownet;
using flownet::testing::lines;

// ---------------------------------------------------------------------------------------------
// Console answers

TEST(Console, FreeFormNumbersSkipBlankLinesAndTakeTheFirstItem) {
    std::istringstream in("\n   \n  12, 5\n7 8\n3.0\nword\n");
    std::ostringstream out;
    Console con(in, out);
    std::int32_t i = 0;
    EXPECT_EQ(askInteger(con, i), Answer::Ok);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(askInteger(con, i), Answer::Ok);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(askInteger(con, i), Answer::Unreadable);  // an integer must be a plain integer
    float r = 0.0f;
    EXPECT_EQ(askReal(con, r), Answer::Unreadable);
    EXPECT_EQ(askReal(con, r), Answer::End);
}

TEST(Console, TextAndOneCharacterAnswers) {
    std::istringstream in("a name that is rather long for the field\r\n\nyes\n");
    std::ostringstream out;
    Console con(in, out);
    std::string text;
    ASSERT_TRUE(askText(con, 10, text));
    EXPECT_EQ(text, "a name tha");
    char c = 'x';
    ASSERT_TRUE(askChar(con, c));
    EXPECT_EQ(c, ' ');  // an empty line answers with a blank
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
    std::string longLine(100000, '7');
    flownet::testing::writeFile(dir / "f", "one\r\ntwo\n" + longLine + "\nlast without end");
    RecordFile f;
    ASSERT_TRUE(f.open((dir / "f").string()));
    std::string r;
    ASSERT_TRUE(f.next(r));
    EXPECT_EQ(r, "one");
    ASSERT_TRUE(f.next(r));
    EXPECT_EQ(r, "two");
    ASSERT_TRUE(f.next(r));
    EXPECT_EQ(r.size(), 4096u);
    ASSERT_TRUE(f.next(r));
    EXPECT_EQ(r, "last without end");
    EXPECT_EQ(f.lineNumber(), 4);
    EXPECT_FALSE(f.next(r));
    try {
        f.fail("not an integer");
        FAIL();
    } catch (const RunEnd& e) {
        EXPECT_EQ(e.status, 2);
        EXPECT_EQ(e.line, (dir / "f").string() + ", line 4: not an integer");
    }
}

// ---------------------------------------------------------------------------------------------
// Listings

namespace {

std::vector<std::string> vectorListing(int n) {
    Vector<80> v;
    for (int i = 1; i <= 80; ++i) v(i) = static_cast<float>(i);
    std::ostringstream out;
    VECPRT(out, v.view(), n);
    return lines(out.str());
}

std::vector<std::string> matrixListing(int n) {
    Matrix<83> a;
    for (int j = 1; j <= 83; ++j)
        for (int i = 1; i <= 83; ++i) a(i, j) = static_cast<float>(100 * i + j);
    std::ostringstream out;
    MATPRT(out, a.view(), n);
    return lines(out.str());
}

}  // namespace

TEST(Listing, VectorBlocksOfEight) {
    const std::vector<std::string> ten = {
        "",
        "",
        "           1        2        3        4        5        6        7        8   ",
        "       .100E+01 .200E+01 .300E+01 .400E+01 .500E+01 .600E+01 .700E+01 .800E+01",
        "",
        "",
        "           9       10   ",
        "       .900E+01 .100E+02",
        "",
        ""};
    EXPECT_EQ(vectorListing(10), ten);
    EXPECT_EQ(vectorListing(8).size(), 6u);
    EXPECT_EQ(vectorListing(0), (std::vector<std::string>{"", "", "      ", "      ", "", ""}));
}

TEST(Listing, MatrixShapes) {
    // N = 0: two empty lines, an empty header, no rows, two empty lines.
    EXPECT_EQ(matrixListing(0), (std::vector<std::string>{"", "", "      ", "", ""}));

    // N = 8: one block; N = 9: a second block with column 9 alone.
    auto eight = matrixListing(8);
    EXPECT_EQ(eight.size(), 2u + 1 + 8 + 2);
    EXPECT_EQ(eight[3],
              "   1   .101E+03 .102E+03 .103E+03 .104E+03 .105E+03 .106E+03 .107E+03 .108E+03");
    auto nine = matrixListing(9);
    ASSERT_EQ(nine.size(), 2u + 2 * (1 + 9 + 2));
    EXPECT_EQ(nine[2 + 12], "           9   ");
    EXPECT_EQ(nine[2 + 12 + 9], "   9   .909E+03");

    // N = 65: one row block; N = 66: all column blocks again for row 66 alone.
    EXPECT_EQ(matrixListing(65).size(), 2u + 9 * (1 + 65 + 2));
    auto sixtySix = matrixListing(66);
    ASSERT_EQ(sixtySix.size(), 2u + 9 * (1 + 65 + 2) + 9 * (1 + 1 + 2));
    std::size_t second = 2 + 9 * (1 + 65 + 2);
    EXPECT_EQ(sixtySix[second],
              "           1        2        3        4        5        6        7        8   ");
    EXPECT_EQ(sixtySix[second + 1].substr(0, 15), "  66   .660E+04");

    // N = 80: ten column blocks for rows 1-65, then ten for rows 66-80.
    auto eighty = matrixListing(80);
    ASSERT_EQ(eighty.size(), 2u + 10 * (1 + 65 + 2) + 10 * (1 + 15 + 2));
    EXPECT_EQ(eighty.back(), "");
    EXPECT_EQ(eighty[eighty.size() - 3].substr(0, 6), "  80  ");
    EXPECT_EQ(eighty[eighty.size() - 3].size(), 6u + 9 * 8);  // columns 73-80
}

// ---------------------------------------------------------------------------------------------
// Inversion and the small matrix routines

namespace {

using M3 = Matrix<5>;  // leading dimension 5 for matrices of order up to 3: only n x n is used

M3 matrix(std::initializer_list<std::initializer_list<float>> rows) {
    M3 m;
    int i = 1;
    for (auto row : rows) {
        int j = 1;
        for (float x : row) m(i, j++) = x;
        ++i;
    }
    return m;
}

}  // namespace

TEST(Inverse, OneByOneAndDiagonal) {
    std::ostringstream out;
    Vector<5> w;
    M3 a = matrix({{4.0f}});
    INV(out, a.view(), a.view(), w.view(), 1);
    EXPECT_EQ(a(1, 1), 0.25f);

    M3 d = matrix({{2.0f, 0, 0}, {0, -4.0f, 0}, {0, 0, 0.5f}}), b;
    INV(out, b.view(), d.view(), w.view(), 3);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(b(1, 1), 0.5f);
    EXPECT_EQ(b(2, 2), -0.25f);
    EXPECT_EQ(b(3, 3), 2.0f);
    EXPECT_EQ(b(1, 2), 0.0f);
    EXPECT_EQ(b(3, 1), 0.0f);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(w(i), 0.0f);
}

TEST(Inverse, InPlaceEqualsSeparateAndTimesAGivesIdentity) {
    // I - G for a small network: every pivot positive.
    M3 a = matrix({{1.0f, -0.5f, 0.0f}, {-0.2f, 1.0f, -0.3f}, {-0.1f, -0.4f, 1.0f}});
    M3 b, inPlace = a, product;
    Vector<5> w;
    std::ostringstream out;
    INV(out, b.view(), a.view(), w.view(), 3);
    INV(out, inPlace.view(), inPlace.view(), w.view(), 3);
    EXPECT_EQ(out.str(), "");
    MATMUL(product.view(), a.view(), b.view(), 3);
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) {
            EXPECT_EQ(b(i, j), inPlace(i, j));
            EXPECT_NEAR(product(i, j), i == j ? 1.0f : 0.0f, 1e-6f);
        }
    }
}

TEST(Inverse, ExactZeroPivotIsReportedWithItsRow) {
    std::ostringstream out;
    Vector<5> w;
    M3 zero = matrix({{0.0f}});
    INV(out, zero.view(), zero.view(), w.view(), 1);
    EXPECT_EQ(out.str(), "\n\n TROUBLE DURING MATRIX INVERSION AT ROW   1\n\n\n");

    // Invertible, but without row exchanges the first pivot is zero.
    std::ostringstream out2;
    M3 swap = matrix({{0.0f, 1.0f}, {1.0f, 0.0f}});
    INV(out2, swap.view(), swap.view(), w.view(), 2);
    EXPECT_EQ(out2.str(), "\n\n TROUBLE DURING MATRIX INVERSION AT ROW   1\n\n\n");
    EXPECT_EQ(w(1), 1.0f);  // step 1 began

    // A singular matrix whose second pivot becomes exactly zero.
    std::ostringstream out3;
    M3 singular = matrix({{1.0f, 2.0f}, {2.0f, 4.0f}});
    INV(out3, singular.view(), singular.view(), w.view(), 2);
    EXPECT_EQ(out3.str(), "\n\n TROUBLE DURING MATRIX INVERSION AT ROW   2\n\n\n");
}

TEST(MatrixRoutines, ProductsAndTranspose) {
    M3 a = matrix({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}),
       id = matrix({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    M3 c;
    MATMUL(c.view(), id.view(), a.view(), 3);
    EXPECT_EQ(c.a, a.a);

    Vector<5> x, y;
    x(1) = 1;
    x(2) = -1;
    x(3) = 2;
    MATVEC(y.view(), a.view(), x.view(), 3);
    EXPECT_EQ(y(1), 1 - 2 + 6);
    EXPECT_EQ(y(3), 7 - 8 + 20);

    M3 t = a;
    TRANSP(t.view(), t.view(), 3);
    EXPECT_EQ(t(1, 3), 7.0f);
    EXPECT_EQ(t(3, 1), 3.0f);
    EXPECT_EQ(t(2, 2), 5.0f);
    TRANSP(t.view(), t.view(), 3);
    EXPECT_EQ(t.a, a.a);
}

// ---------------------------------------------------------------------------------------------
// The network file writer

TEST(NetworkFile, WrittenRecordByRecord) {
    Network net;
    net.title = "TEST";
    net.title.resize(78, ' ');
    net.count = 3;
    net.livingCount = 2;
    net.precisionExponent = 6;
    net.names[1] = "ALGAE                    ";
    net.names[2] = "GRAZERS                  ";
    net.names[3] = "DETRITUS                 ";
    const int n = 3;
    net.T(n + 2, 1) = 5.0f;   // stock of 1
    net.T(n + 1, 1) = 10.0f;  // input to 1
    net.T(2, n + 1) = 1.5f;   // export from 2
    net.T(1, n + 2) = 2.0f;   // respiration of 1
    net.T(3, n + 2) = 0.25f;  // respiration of 3
    net.T(1, 2) = 8.0f;
    net.T(2, 3) = 6.5f;
    net.T(3, 3) = 0.0f;  // zero entries are not written
    std::ostringstream out;
    writeNetwork(out, net);
    const std::string expected = "TEST" + std::string(74, ' ') +
                                 " 6\n"
                                 "  3  2\n"
                                 "ALGAE                    \n"
                                 "GRAZERS                  \n"
                                 "DETRITUS                 \n"
                                 "  1  .5000000E+01\n"
                                 " -1  .0000000E+00\n"
                                 "  1  .1000000E+02\n"
                                 " -1  .0000000E+00\n"
                                 "  2  .1500000E+01\n"
                                 " -1  .0000000E+00\n"
                                 "  1  .2000000E+01\n"
                                 "  3  .2500000E+00\n"
                                 " -1  .0000000E+00\n"
                                 "  1  2  .8000000E+01\n"
                                 "  2  3  .6500000E+01\n"
                                 " -1 -1  .0000000E+00\n";
    EXPECT_EQ(out.str(), expected);
}

TEST(NetworkFile, RecordsReadBackAsWritten) {
    std::string title;
    int k = -1, n = 0, nl = 0;
    std::string problem;
    ASSERT_TRUE(parseTitleRecord("A TITLE", title, k, problem));
    EXPECT_EQ(title, "A TITLE" + std::string(71, ' '));
    EXPECT_EQ(k, 0);
    EXPECT_FALSE(parseTitleRecord(std::string(78, 'x') + "xx", title, k, problem));
    ASSERT_TRUE(parseCountsRecord("  3  2", n, nl, problem));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(nl, 2);
    EXPECT_EQ(parseNameRecord("SHORT"), "SHORT" + std::string(20, ' '));
    EXPECT_EQ(parseNameRecord(std::string(30, 'N')), std::string(25, 'N'));
}
