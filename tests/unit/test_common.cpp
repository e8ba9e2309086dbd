// The shared routines: console answers, the frame of a run, record files, listings and inversion.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "listing.hpp"
#include "matrix.hpp"
#include "runend.hpp"
#include "support/run.hpp"
#include "textio.hpp"

using namespace flownet;
using flownet::testing::lines;
using Lines = std::vector<std::string>;

TEST(Console, FreeFormNumbersSkipBlankLinesAndTakeTheFirstItem) {
    std::istringstream in("\n   \n  12, 5\n7 8\n3.0\nword\n");
    std::ostringstream out;
    Console con(in, out, out, "test");
    std::int32_t i = 0, j = 0;
    float r = 0.0f;
    EXPECT_TRUE(askInteger(con, i) == Answer::Ok && askInteger(con, j) == Answer::Ok);
    EXPECT_EQ(std::make_pair(i, j), std::make_pair(12, 7));
    EXPECT_EQ(askInteger(con, i), Answer::Unreadable);  // an integer must be a plain integer
    EXPECT_EQ(askReal(con, r), Answer::Unreadable);
    EXPECT_EQ(askReal(con, r), Answer::End);
}

TEST(Console, TextAndOneCharacterAnswers) {
    std::istringstream in("a name that is rather long for the field\r\n\ryes\n");
    std::ostringstream out;
    Console con(in, out, out, "test");
    std::string text;
    char c = 'x';
    ASSERT_TRUE(askText(con, 10, text) && askChar(con, c));
    EXPECT_EQ(text + c, "a name tha ");  // an empty line answers with a blank
    EXPECT_EQ(requireText(con, 5), "yes  ");
    EXPECT_FALSE(askChar(con, c));
    try {
        requireChar(con);
        FAIL() << "the end of input must end the run";
    } catch (const RunEnd& e) {  // the end of input is named by the answer line it came at
        EXPECT_EQ(e.status, 2);
        EXPECT_EQ(e.line,
                  "standard input, line 4: the console input ended where an answer was expected");
    }
}

// The frame of a run: how the body ended, then the closing step, decide the line and the status.
TEST(RunFrame, LineAndStatusOfEachEnd) {
    std::istringstream in;
    auto run = [&](const std::function<void()>& body, const std::function<void()>& finish) {
        std::ostringstream console, errors;
        const int status = runProgram(
            "prog", in, console, errors, [&](Console&) { body(); }, finish);
        return std::to_string(status) + "|" + console.str() + "|" + errors.str();
    };
    const auto natural = [] {};
    const auto orderly = [] { stopOrderly("done"); };
    const auto failure = [] { stopFailure("broken"); };
    const auto unclosed = [] { stopFailure("not closed"); };
    EXPECT_EQ(run(natural, {}), "0||");
    EXPECT_EQ(run(orderly, natural), "0|done\n|");
    EXPECT_EQ(run(failure, {}), "2||prog: broken\n");
    // A closing step that fails outweighs an orderly or natural end, not an earlier failure.
    EXPECT_EQ(run(orderly, unclosed), "2||prog: not closed\n");
    EXPECT_EQ(run(natural, unclosed), "2||prog: not closed\n");
    EXPECT_EQ(run(failure, unclosed), "2||prog: broken\n");
}

// Inversion by elimination without row exchanges: an exact zero pivot stops it with its row.
TEST(Inverse, DiagonalInPlaceAndZeroPivots) {
    Matrix<5> b, d, a, inPlace, product;  // leading dimension 5 for matrices of order up to 3
    Vector<5> w;
    auto inverse = [&](Matrix<5>& into, std::vector<float> rows, int n) {
        Matrix<5> m;
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) m(i, j) = rows[(i - 1) * n + j - 1];
        return INV(into.view(), m.view(), w.view(), n);
    };
    EXPECT_EQ(inverse(d, {2, 0, 0, 0, -4, 0, 0, 0, 0.5f}, 3), 0);
    EXPECT_EQ(std::vector<float>(d.a.begin(), d.a.begin() + 13),
              (std::vector<float>{0.5f, 0, 0, 0, 0, 0, -0.25f, 0, 0, 0, 0, 0, 2}));
    EXPECT_EQ(w(1) + w(2) + w(3), 0.0f);
    // I - G of a small network; in place the same, and A times its inverse is I.
    const std::vector<float> ig{1, -0.5f, 0, -0.2f, 1, -0.3f, -0.1f, -0.4f, 1};
    EXPECT_EQ(inverse(b, ig, 3), 0);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) inPlace(i, j) = a(i, j) = ig[(i - 1) * 3 + j - 1];
    EXPECT_EQ(INV(inPlace.view(), inPlace.view(), w.view(), 3), 0);
    EXPECT_TRUE(inPlace.a == b.a) << "in place differs";
    MATMUL(product.view(), a.view(), b.view(), 3);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(product(i, j), i == j ? 1.0f : 0.0f, 1e-6f);
    EXPECT_EQ(inverse(b, {0}, 1), 1);
    EXPECT_EQ(inverse(b, {0, 1, 1, 0}, 2), 1);  // invertible, zero (1, 1)
    EXPECT_EQ(w(1), 1.0f);                      // step 1 began
    EXPECT_EQ(inverse(b, {1, 2, 2, 4}, 2), 2);  // singular
    std::ostringstream trouble;
    writeInversionTrouble(trouble, 2);
    EXPECT_EQ(trouble.str(), "\n\n TROUBLE DURING MATRIX INVERSION AT ROW   2\n\n\n");
}
