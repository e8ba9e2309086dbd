// File editing: network files written by hand, scripted answers, the transcript and the network.
#include <gtest/gtest.h>

#include <sstream>

#include "entry.hpp"
#include "support/expect.hpp"
#include "support/run.hpp"

using namespace flownet;
using namespace flownet::testing;

namespace {

// A title record: the title in columns 1-78, K in columns 79-80.
std::string titleRecord(const std::string& title, const std::string& k) {
    std::string t = title;
    t.resize(78, ' ');
    return t + k + "\n";
}

// Runs file editing on the file, answering with its name and then the answers.
struct Edit {
    TempDir dir;
    Network net;
    RecordFile file;
    std::ostringstream out;
    int answersRead = 0;

    std::string run(const std::string& contents, const std::string& answers) {
        writeFile(dir / "net.dat", contents);
        std::istringstream in((dir / "net.dat").string() + "\n" + answers);
        Console con(in, out);
        READIN(con, net, file);
        answersRead = con.answersRead();
        return out.str();
    }
};

// Four compartments, K = 6: a negative input for 4, an input record for compartment 7 and a
// negative flow from 3 to 4.
const std::string kFourBoxes = titleRecord("FOUR BOXES", " 6") +
                               "  4  3\nA\nB\nC\nD\n"
                               "  1  .1000000E+02\n  4  .4000000E+01\n -1  .0000000E+00\n"
                               "  1  .5000000E+01\n  4 -.2500000E+01\n  7  .1000000E+01\n"
                               " -1  .0000000E+00\n"
                               "  2  .1000000E+01\n -1  .0000000E+00\n"
                               "  3  .2000000E+01\n -1  .0000000E+00\n"
                               "  1  2  .3000000E+01\n  2  3  .1000000E+01\n  3  4 -.5000000E+00\n"
                               " -1 -1  .0000000E+00\n";

// One compartment, columns 79-80 blank.
const std::string kOneBox =
    "ONE BOX\n  1  1\nONLY\n  1  .5000000E+01\n -1  .0000000E+00\n"
    "  1  .1000000E+01\n -1  .0000000E+00\n -1  .0000000E+00\n"
    " -1  .0000000E+00\n -1 -1  .0000000E+00\n";

}  // namespace

TEST(ReadIn, WithoutChangesEveryPartIsListedAndNothingIsAsked) {
    Edit e;
    const std::string console = e.run(kFourBoxes, "n\n");
    expectInOrder(
        console,
        {"STANDING STOCK VECTOR ", "       .100E+02 .000E+00 .000E+00 .400E+01\n",
         "\n CURRENT PRECISION =   .100E-05\n\n", "\n ENTRIES MUST BE NON-NEGATIVE! CHANGE   4\n",
         "    \n LINE    12: COMPARTMENT   7 OUT OF RANGE 1 TO   4. RECORD SKIPPED.\n",
         "INPUT VECTOR", "       .500E+01 .000E+00 .000E+00 .000E+00\n", "EXPORT VECTOR",
         "RESPIRATION VECTOR", "\n ENTRIES MUST BE NON-NEGATIVE! CHANGE   3  4\n\n", "FLOW MATRIX",
         "   3   .000E+00 .000E+00 .000E+00 .000E+00\n"});
    EXPECT_EQ(occurrences(console, "CHANGES (Y/N) ?"), 0);
    EXPECT_EQ(e.answersRead, 2);
    EXPECT_EQ(e.net.count, 4);
    EXPECT_EQ(e.net.livingCount, 3);
    EXPECT_EQ(e.net.precisionExponent, 6);
    EXPECT_EQ(e.net.names[4], "D" + std::string(24, ' '));
    MatView T = e.net.T.view();
    EXPECT_EQ(T(6, 1), 10.0f);  // stock
    EXPECT_EQ(T(6, 4), 4.0f);
    EXPECT_EQ(T(5, 1), 5.0f);  // inputs
    EXPECT_EQ(T(5, 4), 0.0f);
    EXPECT_EQ(T(2, 5), 1.0f);  // export
    EXPECT_EQ(T(3, 6), 2.0f);  // respiration
    EXPECT_EQ(T(1, 2), 3.0f);
    EXPECT_EQ(T(2, 3), 1.0f);
    EXPECT_EQ(T(3, 4), 0.0f);
}

TEST(ReadIn, ChangesToEachPartWithBlankPrecisionColumns) {
    Edit e;
    // Stock 1 becomes 6 (listing and question again); precision 0 keeps the file's K = 0; input 7
    // after the refused compartment 2; no exports after a refused 2; flow 4 from 1 to 1.
    const std::string console = e.run(kOneBox,
                                      "y\ny\n1\n6\nn\ny\n0\n"
                                      "y\n2\n1\n7\n-1\nn\n"
                                      "y\n2\n-1\nn\n"
                                      "n\n"
                                      "y\n1\n1\n4\n-1\nn\n");
    expectInOrder(console,
                  {" DO YOU WANT TO MAKE CHANGES TO THE DATA IN THIS FILE? (Y/N)",
                   "STANDING STOCK VECTOR ", " CHANGES (Y/N) ? ", "NEW STANDING STOCK ? ",
                   "STANDING STOCK VECTOR ", "       .600E+01\n", " CHANGES (Y/N) ?     \n",
                   "\n CURRENT PRECISION =   .100E+01\n\n", " DO YOU WANT TO CHANGE IT ? (Y/N)",
                   "ENTER NON-ZERO INPUT VALUES BY SUPPLYING THE     ID ",
                   "    \n ERROR - COMPARTMENT ID MUST BE AN INTEGER < OR =  1\n",
                   "LOSSES TO THE ENVIRONMENT INCLUDE 2 ELEMENTS:", "RESPIRATION VECTOR",
                   "ENTER NON-ZERO FLOW VALUES BY GIVING THE ID # OF THE", "FLOW MATRIX",
                   "   1   .400E+01\n"});
    // File editing asks "INPUT TO ?" again without its heading; the export heading comes back.
    EXPECT_EQ(occurrences(console, "ENTER INPUT INFORMATION AT PROMPTS. "), 2);
    EXPECT_EQ(occurrences(console, "ENTER EXPORT VALUES AS PROMPTED..."), 2);
    EXPECT_EQ(e.answersRead, 25);  // the file name and every answer
    MatView T = e.net.T.view();
    EXPECT_EQ(T(3, 1), 6.0f);
    EXPECT_EQ(T(2, 1), 7.0f);
    EXPECT_EQ(T(1, 1), 4.0f);
    EXPECT_EQ(e.net.precisionExponent, 0);
}

TEST(ReadIn, ListsCutOffAtTheirBoundOpenTheirChangeDialog) {
    // One compartment: 10 input records without a terminator; the next record starts the
    // exports. 5001 flow records: after the 5000th the flow dialog opens.
    std::string contents = titleRecord("BOUNDS", " 3") + "  1  1\nONLY\n -1  .0000000E+00\n";
    for (int r = 0; r < 10; ++r) contents += "  1  .1000000E+01\n";
    contents += "  1  .2000000E+01\n -1  .0000000E+00\n -1  .0000000E+00\n";
    for (int r = 0; r < 5001; ++r) contents += "  1  1  .3000000E+01\n";
    Edit e;
    const std::string console = e.run(contents, "n\n-1\n-1\n");
    expectInOrder(console, {"ENTER NON-ZERO INPUT VALUES BY SUPPLYING THE     ID ", "INPUT TO ? ",
                            "INPUT VECTOR", "EXPORT VECTOR", "       .200E+01\n",
                            "ENTER NON-ZERO FLOW VALUES", "FROM ? ", "FLOW MATRIX"});
    EXPECT_EQ(occurrences(console, "CHANGES (Y/N) ?"), 0);
    MatView T = e.net.T.view();
    EXPECT_EQ(T(2, 1), 1.0f);
    EXPECT_EQ(T(1, 2), 2.0f);
    EXPECT_EQ(T(1, 1), 3.0f);
}
