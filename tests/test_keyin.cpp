// Keyboard entry: scripted answers in, the console transcript and the network out.
#include <gtest/gtest.h>

#include <sstream>

#include "entry.hpp"
#include "entrydialog.hpp"
#include "support/expect.hpp"
#include "support/run.hpp"

using namespace flownet;
using namespace flownet::testing;

namespace {

// Runs keyboard entry on the answers; returns the console transcript.
std::string keyIn(const std::string& answers, Network& net) {
    std::istringstream in(answers);
    std::ostringstream out;
    Console con(in, out);
    KEYIN(con, net);
    return out.str();
}

// Title, counts, names, stocks without changes and precision 0.01, for two compartments.
const std::string kHead = "TWO BOXES\n2\n1\nALGAE\nDETRITUS\n100\n50\nn\n0.01\n";

const std::string kIdErrorLine = "    \n ERROR - COMPARTMENT ID MUST BE AN INTEGER < OR =";
const std::string kValueErrorLine = "    \n ERROR - INCORRECT ENTRY ... PLEASE RE-ENTER...\n";

}  // namespace

TEST(KeyIn, CountsAreAskedAgainUntilTheyFitAndTheInputEndEndsTheEntry) {
    Network net;
    // A word, too many and too few compartments; then living counts N + 1 and -1. The answers end
    // at the first stock.
    const std::string console = keyIn("T\nabc\n126\n0\n2\n3\n-1\n2\nA\nB\n", net);
    expectInOrder(console, {kIdErrorLine + "  0\n",
                            "    \n THE NUMBER OF COMPARTMENTS MUST BE FROM 1 TO 125.\n",
                            "    \n THE NUMBER OF COMPARTMENTS MUST BE FROM 1 TO 125.\n",
                            " VALUE TOO BIG. MUST BE < OR = N. TRY AGAIN.\n\n",
                            " VALUE MAY NOT BE NEGATIVE. TRY AGAIN.\n\n",
                            "                               2.  B                        \n",
                            "                            DATA ENTRY IS COMPLETE.\n            "
                            "NETWORK INFORMATION HAS BEEN WRITTEN TO FILE " +
                                std::string(64, ' ') + "\n"});
    EXPECT_EQ(occurrences(console, "HOW MANY COMPARTMENTS ARE IN THE SYSTEM ? "), 4);
    EXPECT_EQ(occurrences(console, "HOW MANY OF THEM REPRESENT LIVING COMPONENTS ? "), 3);
    EXPECT_EQ(occurrences(console, "LIST THE NON-LIVING COMPARTMENTS LAST."), 0);  // NL = N
    EXPECT_EQ(net.count, 2);
    EXPECT_EQ(net.livingCount, 2);
    EXPECT_EQ(net.title, "T" + std::string(77, ' '));
    EXPECT_EQ(net.names[2], "B" + std::string(24, ' '));
    EXPECT_EQ(net.precisionExponent, 6);
}

TEST(KeyIn, ARefusedStockRestartsTheEntryAndAChangeIsListed) {
    Network net;
    // Stock -5 at compartment 3 restarts; then compartment 2 is changed to 20 after a word and a
    // negative value are refused. Precisions -1 and 1E12 (K = -11 does not fit two columns) are
    // refused, 0 keeps K = 6.
    const std::string console =
        keyIn("T\n3\n2\nA\nB\nC\n1\n2\n-5\n1\n2\n3\ny\nword\n2\n-4\n20\n-1\n-1\n1E12\n0\n", net);
    expectInOrder(console, {" LIST THE NON-LIVING COMPARTMENTS LAST.\n",
                            "    \n ERROR ENTERING STANDING STOCKS...BEGIN AGAIN.\n",
                            " ENTER STANDING STOCK VALUES FOR EACH COMPARTMENT AT",
                            " CHANGES (Y/N) ? ", kIdErrorLine + "  3\n", kValueErrorLine,
                            "STANDING STOCK VECTOR \n\n\n           1        2        3   \n"
                            "       .100E+01 .200E+02 .300E+01\n\n\n\n\n",
                            " TO WHAT PRECISION WILL YOUR FLOWS BE SPECIFIED?",
                            " ENTER PRECISION HERE. PRECISION MAY NOT BE NEGATIVE. TRY AGAIN!\n",
                            " ENTER PRECISION HERE. PRECISION TOO LARGE. TRY AGAIN!\n",
                            " ENTER PRECISION HERE."});
    EXPECT_EQ(occurrences(console, "ENTER STANDING STOCK VALUES"), 2);
    EXPECT_EQ(occurrences(console, "CHANGES (Y/N) ?"), 1);
    EXPECT_EQ(occurrences(console, "ENTER PRECISION HERE."), 3);
    MatView T = net.T.view();
    EXPECT_EQ(T(5, 1), 1.0f);
    EXPECT_EQ(T(5, 2), 20.0f);
    EXPECT_EQ(T(5, 3), 3.0f);
    EXPECT_EQ(net.precisionExponent, 6);
}

TEST(KeyIn, VectorAndFlowEntriesRefuseBadNumbersAndZeroRemovesAnEntry) {
    TempDir dir;
    Network net;
    // Input 5 to compartment 2, a word, then 0 to compartment 2 after a refused -3; the listing
    // is all zero; changes: compartment 3 (N + 1) refused, input 10 to 1. No exports or
    // respirations. Flow from 1: receivers 0 and 3 refused, then 2 with 8.
    const std::string answers = kHead + "2\n5\nword\n2\n-3\n0\n-1\ny\n3\n1\n10\n-1\nn\n" +
                                "-1\nn\n-1\nn\n" + "1\n0\n3\n2\n8\n-1\nn\n" +
                                (dir / "copy.dat").string() + "\n";
    const std::string console = keyIn(answers, net);
    expectInOrder(console,
                  {kIdErrorLine + "  2\n", kValueErrorLine,
                   "INPUT VECTOR               \n\n\n           1        2   \n"
                   "       .000E+00 .000E+00\n",
                   kIdErrorLine + "  2\n", "       .100E+02 .000E+00\n", kIdErrorLine + "  2\n",
                   kIdErrorLine + "  2\n", "   1   .000E+00 .800E+01\n   2   .000E+00 .000E+00\n"});
    // The heading comes at both openings, after 3 entries and, in keyboard entry, after each of
    // the 2 refused numbers.
    EXPECT_EQ(occurrences(console, "ENTER INPUT INFORMATION AT PROMPTS. "), 7);
    EXPECT_EQ(occurrences(console, "    FROM ? "), 2);
    EXPECT_EQ(occurrences(console, "    TO ? "), 3);  // only the receiver is asked again
    MatView T = net.T.view();
    EXPECT_EQ(T(3, 1), 10.0f);
    EXPECT_EQ(T(3, 2), 0.0f);
    EXPECT_EQ(T(1, 2), 8.0f);
    EXPECT_EQ(net.precisionExponent, 3);
    // The temporary copy holds no input for compartment 2.
    expectInOrder(readFile(dir / "copy.dat"),
                  {" -1  .0000000E+00\n  1  .1000000E+02\n -1  .0000000E+00\n -1  .0000000E+00\n"});
}
