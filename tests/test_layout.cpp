// The layout formatter and the fixed-column record reader: one value, one expected text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "layout.hpp"

using namespace flownet;

namespace {

// Reads one record and returns its fields; fails the test when the record is unreadable.
std::vector<Field> fields(std::string_view record, std::string_view layout) {
    std::vector<Field> f;
    std::string problem;
    EXPECT_TRUE(readLayout(record, layout, f, problem)) << problem;
    return f;
}

bool unreadable(std::string_view record, std::string_view layout) {
    std::vector<Field> f;
    std::string problem;
    bool ok = readLayout(record, layout, f, problem);
    return !ok && !problem.empty();
}

}  // namespace

TEST(Exponent, ThreeSignificantDigits) {
    EXPECT_EQ(formatExponent(100.0f, 9, 3), " .100E+03");
    EXPECT_EQ(formatExponent(0.0123f, 9, 3), " .123E-01");
    EXPECT_EQ(formatExponent(30.0f, 11, 5), " .30000E+02");
    EXPECT_EQ(formatExponent(100.0f, 14, 7), "  .1000000E+03");
    EXPECT_EQ(formatExponent(47.5489f, 12, 4), "   .4755E+02");
}

TEST(Exponent, RoundsTheExactBinaryValueAtADigitBoundary) {
    // 0.9995f is 0.99949997663..., just below the boundary; the double 0.9995 is just above it.
    EXPECT_EQ(formatExponent(0.9995f, 9, 3), " .999E+00");
    EXPECT_EQ(formatExponent(0.9995, 9, 3), " .100E+01");
    EXPECT_EQ(formatExponent(0.99949f, 9, 3), " .999E+00");
    // 9.9995f is 9.99950027...: the carry moves into the exponent.
    EXPECT_EQ(formatExponent(9.9995f, 9, 3), " .100E+02");
}

TEST(Exponent, ZeroSignsAndOverflow) {
    EXPECT_EQ(formatExponent(0.0f, 9, 3), " .000E+00");
    EXPECT_EQ(formatExponent(-0.0f, 9, 3), " .000E+00");
    EXPECT_EQ(formatExponent(0.0f, 12, 5), "  .00000E+00");
    // A negative value fills E9.3 and touches the field before it.
    EXPECT_EQ(formatExponent(-1.5f, 9, 3), "-.150E+01");
    EXPECT_EQ(formatExponent(-1.5f, 8, 3), "********");
    EXPECT_EQ(formatExponent(1.5f, 8, 3), ".150E+01");
    EXPECT_EQ(formatExponent(1.5f, 7, 3), "*******");
    // The smallest single-precision values still have two exponent digits.
    EXPECT_EQ(formatExponent(1.0e-40f, 9, 3), " .100E-39");
    EXPECT_EQ(formatExponent(std::numeric_limits<float>::max(), 9, 3), " .340E+39");
    EXPECT_EQ(formatExponent(1.0e120, 10, 3), "  .100+121");
}

TEST(Exponent, NotANumberPrintsAsNaN) {
    EXPECT_EQ(formatExponent(std::nanf(""), 11, 5), "        NaN");
    EXPECT_EQ(formatFixed(std::nanf(""), 4, 3), " NaN");
    EXPECT_EQ(formatFixed(std::numeric_limits<float>::infinity(), 4, 3), " Inf");
}

TEST(Fixed, Fields) {
    EXPECT_EQ(formatFixed(0.735f, 4, 3), ".735");
    EXPECT_EQ(formatFixed(1.0f, 4, 3), "****");
    EXPECT_EQ(formatFixed(0.0f, 4, 3), ".000");
    EXPECT_EQ(formatFixed(0.9996f, 4, 3), "****");  // rounds to 1.000
    EXPECT_EQ(formatFixed(-0.5f, 4, 3), "****");
    EXPECT_EQ(formatFixed(-0.5f, 6, 3), " -.500");
    EXPECT_EQ(formatFixed(2.0f, 7, 3), "  2.000");
    EXPECT_EQ(formatFixed(12345.678f, 10, 3), " 12345.678");  // 12345.677734375
    EXPECT_EQ(formatFixed(1.00001f, 9, 6), " 1.000010");
    EXPECT_EQ(formatFixed(0.3f, 3, 0), " 0.");
    EXPECT_EQ(formatFixed(7.0f, 3, 0), " 7.");
}

TEST(Integer, Fields) {
    EXPECT_EQ(formatInteger(80, 3), " 80");
    EXPECT_EQ(formatInteger(-1, 3), " -1");
    EXPECT_EQ(formatInteger(100, 2), "**");
    EXPECT_EQ(formatInteger(-10, 2), "**");
    EXPECT_EQ(formatInteger(0, 4), "   0");
}

TEST(Layout, LiteralsBlanksAndLineEnds) {
    EXPECT_EQ(formatLayout("(/)"), "\n\n");
    EXPECT_EQ(formatLayout("(/,1X,'TEXT',/)"), "\n TEXT\n\n");
    EXPECT_EQ(formatLayout("(1X,/,' The file')"), " \n The file\n");
    EXPECT_EQ(formatLayout("(/,' CHANGES (Y/N) ? ',$)"), "\n CHANGES (Y/N) ? ");
    EXPECT_EQ(formatLayout("(/,A,$)", {" Output?"}), "\n Output?");
    EXPECT_EQ(formatLayout("('it''s')"), "it's\n");
    EXPECT_EQ(formatLayout("('1',22X,'*** X ***',/)"),
              "1" + std::string(22, ' ') + "*** X ***\n\n");
    EXPECT_EQ(formatLayout("('0 ERROR NUMBER OF COMPARTMENTS MAX=',I3)", {80}),
              "0 ERROR NUMBER OF COMPARTMENTS MAX= 80\n");
    EXPECT_EQ(formatLayout("(2X,'ASCENDENCY = ',E11.5,5X,'(',F4.3,')',/)", {47.5489f, 1.0f}),
              "  ASCENDENCY =  .47549E+02     (****)\n\n");
}

TEST(Layout, TextFields) {
    EXPECT_EQ(formatLayout("(1X,A5,'|')", {"ab"}), "    ab|\n");
    EXPECT_EQ(formatLayout("(1X,A2,'|')", {"abcdef"}), " ab|\n");
    EXPECT_EQ(formatLayout("(A)", {"whole text"}), "whole text\n");
    std::vector<std::string> p = textPieces("NAME", 4, 6, 1);
    ASSERT_EQ(p.size(), 7u);
    EXPECT_EQ(p[0], "NAME");
    EXPECT_EQ(p[6], " ");
}

TEST(Layout, OutputStopsAtTheFirstDescriptorWithoutAValue) {
    // One number: the second I3 and the closing slash are never reached.
    EXPECT_EQ(formatLayout("(/,1X,'ENTRIES MUST BE NON-NEGATIVE! CHANGE ',2I3,/)", {4}),
              "\n ENTRIES MUST BE NON-NEGATIVE! CHANGE   4\n");
    EXPECT_EQ(formatLayout("(/,1X,'ENTRIES MUST BE NON-NEGATIVE! CHANGE ',2I3,/)", {4, 5}),
              "\n ENTRIES MUST BE NON-NEGATIVE! CHANGE   4  5\n\n");
    // A listing header: blanks after the last number; none at all with no numbers.
    EXPECT_EQ(formatLayout("(6X,14(I6,3X))", {9, 10}), "           9       10   \n");
    EXPECT_EQ(formatLayout("(6X,14(I6,3X))"), "      \n");
    EXPECT_EQ(formatLayout("(6X,14E9.3)"), "      \n");
}

TEST(Layout, ReversionToTheLastGroupForALongCycle) {
    // A cycle of 25 arcs: 26 nodes after its number. The line holds 20, the group of 20 starts
    // again on a new line with no leading blank or number.
    std::vector<Item> items{Item(7)};
    std::string first = "     7. ", second;
    for (int k = 1; k <= 26; ++k) {
        int node = k <= 25 ? k : 1;
        items.emplace_back(node);
        (k <= 20 ? first : second) += formatInteger(node, 2) + "-";
    }
    std::ostringstream out;
    writeLayout(out, "(1X,I5,'.',1X,20(I2,'-'))", items);
    EXPECT_EQ(out.str(), first + "\n" + second + "\n");
}

TEST(Layout, ReversionWithoutAGroupStartsTheLayoutAgain) {
    EXPECT_EQ(formatLayout("(1X,I3)", {1, 2, 3}), "   1\n   2\n   3\n");
    EXPECT_EQ(formatLayout("(3X,'MIGRATORY INPUT TO ',I3,' = ',E11.5)", {2, 20.0f}),
              "   MIGRATORY INPUT TO   2 =  .20000E+02\n");
}

TEST(Layout, RepeatedDescriptorsAndNestedGroups) {
    EXPECT_EQ(formatLayout("(2I3)", {3, 2}), "  3  2\n");
    EXPECT_EQ(formatLayout("(2(1X,2(I1,'-')),'|')", {1, 2, 3, 4}), " 1-2- 3-4-|\n");
}

TEST(Layout, MismatchedValueIsAProgrammingError) {
    EXPECT_THROW(formatLayout("(I3)", {1.5f}), std::logic_error);
    EXPECT_THROW(formatLayout("(I3"), std::logic_error);
    EXPECT_THROW(formatLayout("(Q3)"), std::logic_error);
}

TEST(Reader, EntryAndFlowRecords) {
    auto f = fields("  1  .1000000E+03", "(I3,E14.7)");
    EXPECT_EQ(f[0].i, 1);
    EXPECT_EQ(f[1].r, 100.0f);
    f = fields("  2  3  .2500000E+01", "(I3,I3,E14.7)");
    EXPECT_EQ(f[0].i, 2);
    EXPECT_EQ(f[1].i, 3);
    EXPECT_EQ(f[2].r, 2.5f);
    f = fields(" -1 -1  .0000000E+00", "(I3,I3,E14.7)");
    EXPECT_EQ(f[0].i, -1);
}

TEST(Reader, BlankFieldsShortLinesAndBlanksInsideFields) {
    auto f = fields("  5", "(I3,E14.7)");  // the value's columns are missing: blank, 0
    EXPECT_EQ(f[0].i, 5);
    EXPECT_EQ(f[1].r, 0.0f);
    f = fields("", "(2I3)");
    EXPECT_EQ(f[0].i, 0);
    EXPECT_EQ(f[1].i, 0);
    f = fields("1 2  1.5 E 3", "(I3,E14.7)");
    EXPECT_EQ(f[0].i, 12);
    EXPECT_EQ(f[1].r, 1500.0f);
    f = fields(" +7", "(I3)");
    EXPECT_EQ(f[0].i, 7);
}

TEST(Reader, EveryRealForm) {
    const std::pair<const char*, float> cases[] = {
        {"12", 12.0f},       {"12.", 12.0f},      {"-1.5E3", -1500.0f}, {"1.5D+03", 1500.0f},
        {"1.5+03", 1500.0f}, {".5", 0.5f},        {"1.5e-2", 0.015f},   {"1.5d3", 1500.0f},
        {"-.25", -0.25f},    {"3.4E38", 3.4e38f}, {"1E-50", 0.0f},
    };
    for (const auto& [text, value] : cases) {
        auto f = fields(text, "(E14.7)");
        EXPECT_EQ(f[0].r, value) << text;
    }
    auto z = fields("-0.0", "(E14.7)");
    EXPECT_TRUE(z[0].r == 0.0f && std::signbit(z[0].r));
}

TEST(Reader, UnreadableFields) {
    for (const char* text : {"abc", "1.2.3", "--1", "1E", "+", "1E39", "-1E39", "NaN", "Inf",
                             "1.5E+", "1,5", "0x10", "\t12"}) {
        EXPECT_TRUE(unreadable(text, "(E14.7)")) << text;
    }
    for (const char* text : {"3.0", "1-", "x", "1e1"})
        EXPECT_TRUE(unreadable(text, "(I3)")) << text;
    EXPECT_TRUE(unreadable("  1  2  .5", "(I3,I3,E14.7)") == false);
}

TEST(Reader, TitleRecordTextAndTrailingInteger) {
    std::string record = std::string("TITLE") + std::string(73, ' ') + " 6";
    auto f = fields(record, "(19A4,A2,I2)");
    ASSERT_EQ(f.size(), 21u);
    EXPECT_EQ(f[0].s, "TITL");
    EXPECT_EQ(f[1].s, "E   ");
    EXPECT_EQ(f[20].i, 6);
    f = fields("SHORT", "(19A4,A2,I2)");
    EXPECT_EQ(f[19].s, "  ");
    EXPECT_EQ(f[20].i, 0);
}

TEST(FreeForm, IntegersAndReals) {
    std::int32_t i = 0;
    float r = 0.0f;
    EXPECT_TRUE(parseInteger("-12", i));
    EXPECT_EQ(i, -12);
    EXPECT_FALSE(parseInteger("3.0", i));
    EXPECT_FALSE(parseInteger("three", i));
    EXPECT_FALSE(parseInteger("99999999999", i));
    EXPECT_TRUE(parseReal("0.01", r));
    EXPECT_EQ(r, 0.01f);
    EXPECT_TRUE(parseReal("5", r));
    EXPECT_EQ(r, 5.0f);
    EXPECT_FALSE(parseReal("five", r));
}
