// The layout formatter and the fixed-column record reader: one value, one expected text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <latch>
#include <limits>
#include <random>
#include <sstream>
#include <thread>

#include "layout.hpp"
#include "records.hpp"

using namespace flownet;

namespace {

using Texts = std::vector<std::pair<std::string, std::string>>;  // {produced, worked out by hand}

void expectEach(const Texts& cases) {
    for (std::size_t k = 0; k < cases.size(); ++k) {
        EXPECT_EQ(cases[k].first, cases[k].second) << "case " << k;
    }
}

// The fields of a record, "|"-separated ("[text]" for text), or "unreadable".
std::string read(std::string_view record, std::string_view layout) {
    std::vector<Field> f;
    std::string problem, s;
    if (!readLayout(record, layout, f, problem))
        return problem.empty() ? "no problem told" : "unreadable";
    for (const Field& x : f) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", static_cast<double>(x.r));
        if (!s.empty()) s += '|';
        if (x.kind == Field::Kind::Int) {
            s += std::to_string(x.i);
        } else if (x.kind == Field::Kind::Real) {
            s += buf;
        } else {
            s.append("[").append(x.s).append("]");
        }
    }
    return s;
}

}  // namespace

// Each row: values through one descriptor after another, the expected fields side by side.
TEST(Layout, NumericFields) {
    const float nan = std::nanf(""), inf = std::numeric_limits<float>::infinity();
    const float big = std::numeric_limits<float>::max();
    expectEach({
        {formatLayout("(5E9.3)", {100.0f, 0.0123f, 1.0e8f, 1.0e-40f, big}),
         " .100E+03 .123E-01 .100E+09 .100E-39 .340E+39\n"},
        // 0.9995f is 0.99949997..., below the rounding boundary; the double 0.9995 is above it;
        // 9.9995f is 9.99950027..., and the carry reaches the exponent.
        {formatLayout("(4E9.3)", {0.9995f, 0.9995, 0.99949f, 9.9995f}),
         " .999E+00 .100E+01 .999E+00 .100E+02\n"},
        // A negative value fills E9.3 and touches the field before it.
        {formatLayout("(3E9.3,E12.5)", {0.0f, -0.0f, -1.5f, 0.0f}),
         " .000E+00 .000E+00-.150E+01  .00000E+00\n"},
        // Exponents up to 99 keep their letter; from 100 on the sign takes its place.
        {formatLayout("(E11.5,E14.7,E10.3,E10.3)", {30.0f, 100.0f, 1.0e98, 1.0e120}),
         " .30000E+02  .1000000E+03  .100E+99  .100+121\n"},
        {formatLayout("(2E8.3,E7.3)", {-1.5f, 1.5f, 1.5f}), "********.150E+01*******\n"},
        {formatLayout("(E11.5,2F4.3)", {nan, nan, inf}), "        NaN NaN Inf\n"},
        // 0.9996 rounds to 1.000; 12345.678f is 12345.677734375.
        {formatLayout("(5F4.3)", {0.735f, 1.0f, 0.0f, 0.9996f, -0.5f}), ".735****.000********\n"},
        {formatLayout("(F6.3,F7.3,F10.3,F9.6,2F3.0)",
                      {-0.5f, 2.0f, 12345.678f, 1.00001f, 0.3f, 7.0f}),
         " -.500  2.000 12345.678 1.000010 0. 7.\n"},
        {formatLayout("(2I3,2I2,I4)", {80, -1, 100, -10, 0}), " 80 -1****   0\n"},
    });
}

// Whole-line literals, '1' in column 1, $ and the report headings are also held against exact
// text by the end-to-end tests of the programs.
namespace {

// The fields as printf writes them, rearranged by the rules of the edit descriptors: the oracle
// for the formatter's own conversions.
std::string printfRight(const std::string& s, int w) {
    if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

std::string printfNonFinite(double x, int w) {
    return printfRight(std::isnan(x) ? "NaN" : x < 0 ? "-Inf" : "Inf", w);
}

std::string printfExponent(double x, int w, int d) {
    if (!std::isfinite(x)) return printfNonFinite(x, w);
    if (x == 0.0)
        return printfRight("." + std::string(static_cast<std::size_t>(d), '0') + "E+00", w);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.*e", d - 1, std::fabs(x));
    const char* e = std::strchr(buf, 'e');
    std::string digits;
    for (const char* c = buf; c < e; ++c) {
        if (*c != '.') digits += *c;
    }
    const int exponent = std::atoi(e + 1) + 1;
    char exp[16];
    std::snprintf(exp, sizeof exp, std::abs(exponent) <= 99 ? "E%+03d" : "%+04d", exponent);
    return printfRight((x < 0 ? "-." : ".") + digits + exp, w);
}

std::string printfFixed(double x, int w, int d) {
    if (!std::isfinite(x)) return printfNonFinite(x, w);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", d, std::fabs(x));
    std::string s(buf);
    if (d == 0) s += '.';
    if (d > 0 && s.rfind("0.", 0) == 0) s.erase(0, 1);
    return printfRight((x < 0 ? "-" : "") + s, w);
}

}  // namespace

// The conversions of E and F against printf, on every kind of float: random bit patterns (all
// magnitudes, denormals, NaN, infinities), the neighbours of decimal rounding boundaries
// (9.9995E5 and the like, where the carry reaches the next power of ten), and doubles.
TEST(Layout, ConversionsAgreeWithPrintf) {
    std::vector<double> values = {
        0.0,     -0.0, 1.0e-45, -1.0e-45, 1.17549435e-38, std::numeric_limits<float>::max(),
        1.0e300, 0.5,  2.5,     1.0e15};
    for (const char* text :
         {"9.9995e5", "9.995e-3", "0.9995",     "1.0005",    "0.0005",  "99.5",  "999.95",
          "1.5",      "0.0625",   "12345.6785", "9.99995e9", "4.35e-2", "0.125", "0.375",
          "7.5",      "1234.5",   "98765.5",    "2.5e-8",    "1e-15",   "1e15"}) {
        const float f = std::strtof(text, nullptr);
        for (float x : {std::nextafter(f, 0.0f), f, std::nextafter(f, 2.0f * f)}) {
            values.push_back(x);
            values.push_back(-x);
        }
        values.push_back(std::strtod(text, nullptr));
    }
    std::mt19937 random(20261207);
    for (int k = 0; k < 20000; ++k) {
        const std::uint32_t bits = static_cast<std::uint32_t>(random());
        float x;
        std::memcpy(&x, &bits, sizeof x);
        values.push_back(x);
    }
    std::uniform_real_distribution<double> wide(-1.0e6, 1.0e6);
    for (int k = 0; k < 2000; ++k) values.push_back(wide(random));

    const std::pair<int, int> exponentFields[] = {{9, 3},  {11, 4}, {12, 5},
                                                  {14, 7}, {6, 1},  {20, 12}};
    const std::pair<int, int> fixedFields[] = {{10, 3}, {4, 3}, {8, 2}, {6, 0}, {12, 5}, {45, 1}};
    int mismatches = 0;
    for (double x : values) {
        for (auto [w, d] : exponentFields) {
            if (formatExponent(x, w, d) != printfExponent(x, w, d) && ++mismatches <= 10)
                ADD_FAILURE() << "E" << w << "." << d << " of " << x << ": "
                              << formatExponent(x, w, d) << " against " << printfExponent(x, w, d);
        }
        for (auto [w, d] : fixedFields) {
            if (formatFixed(x, w, d) != printfFixed(x, w, d) && ++mismatches <= 10)
                ADD_FAILURE() << "F" << w << "." << d << " of " << x << ": " << formatFixed(x, w, d)
                              << " against " << printfFixed(x, w, d);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(Layout, LiteralsTextGroupsAndLineEnds) {
    expectEach({
        {formatLayout("(/,1X,'it''s',/,' x',$)"), "\n it's\n x"},
        {formatLayout("(1X,A5,'|',A2,'|',A)", {"ab", "abcdef", "whole text"}),
         "    ab|ab|whole text\n"},
        // Output stops at the first data descriptor without a value.
        {formatLayout("(/,1X,'CHANGE ',2I3,/)", {4}), "\n CHANGE   4\n"},
        {formatLayout("(/,1X,'CHANGE ',2I3,/)", {4, 5}), "\n CHANGE   4  5\n\n"},
        {formatLayout("(6X,14(I6,3X))", {9, 10}), "           9       10   \n"},
        {formatLayout("(6X,14(I6,3X))") + formatLayout("(6X,14E9.3)"), "      \n      \n"},
        // Values left at the end: a new line, and the last group (or the whole layout) again.
        {formatLayout("(1X,I3)", {1, 2, 3}), "   1\n   2\n   3\n"},
        {formatLayout("(2(1X,2(I1,'-')),'|')", {1, 2, 3, 4}), " 1-2- 3-4-|\n"},
    });
    EXPECT_EQ(textPieces("NAME", 4, 6, 1),
              (std::vector<std::string>{"NAME", "    ", "    ", "    ", "    ", "    ", " "}));
    EXPECT_THROW(formatLayout("(I3)", {1.5f}), std::logic_error);
    EXPECT_THROW(formatLayout("(I3"), std::logic_error);
    EXPECT_THROW(formatLayout("(Q3)"), std::logic_error);
    // A layout held in a buffer that is then overwritten in place is read afresh.
    std::string buffer = "(1X,I3)";
    const std::string first = formatLayout(buffer, {7});
    buffer.replace(1, 5, "I3,1X");
    EXPECT_EQ(first + formatLayout(buffer, {7}), "   7\n  7 \n");
}

// A text item made from a temporary string keeps its text: the strings freed and their memory
// reused before the line is written.
TEST(Layout, TextItemOfATemporaryKeepsItsText) {
    std::vector<Item> items;
    for (char c : {'a', 'b'}) items.emplace_back(std::string(40, c));
    const std::vector<std::string> reuse(2, std::string(40, 'z'));
    std::ostringstream out;
    writeLayout(out, "(A,1X,A)", items);
    EXPECT_EQ(out.str(), std::string(40, 'a') + ' ' + std::string(40, 'b') + '\n');
}

// Two threads write at once, each its own two layouts in turn, so that the layout looked up and
// the line built change at every line: every line must come out whole.
TEST(Layout, TwoThreadsWriteAtOnce) {
    std::vector<Item> cycle;
    std::string cycleLine;
    for (int k = 1; k <= 20; ++k) {
        cycle.emplace_back(k);
        cycleLine += (k < 10 ? " " : "") + std::to_string(k) + "-";
    }
    const char* const layouts[2][2] = {{"(20(I2,'-'))", "(1X,I3,2X,3E9.3)"},
                                       {"(1X,2(A8,F9.3))", "(/,1X,'CHANGE ',2I3)"}};
    const std::vector<Item> items[2][2] = {{cycle, {7, 0.5f, -1.5e-3f, 0.0f}},
                                           {{"WATER", 12.25, "FISH", 1234.5678}, {-4, 123}}};
    const std::string lines[2] = {cycleLine + "\n   7   .500E+00-.150E-02 .000E+00\n",
                                  "    WATER   12.250    FISH 1234.568\n\n CHANGE  -4123\n"};
    constexpr int kLines = 20000;
    std::string written[2];
    std::latch start(2);
    const auto write = [&](int t) {
        std::ostringstream out;
        start.arrive_and_wait();
        for (int n = 0; n < kLines; ++n) writeLayout(out, layouts[t][n % 2], items[t][n % 2]);
        written[t] = out.str();
    };
    std::thread first(write, 0), second(write, 1);
    first.join();
    second.join();
    for (int t = 0; t < 2; ++t) {
        std::string expected;
        for (int n = 0; n < kLines / 2; ++n) expected += lines[t];
        EXPECT_TRUE(written[t] == expected) << "thread " << t;
    }
}

TEST(Reader, RecordsBlankFieldsShortLinesAndBlanksInsideFields) {
    std::string blankWords;  // words 3 to 19 of a title
    for (int k = 3; k <= 19; ++k) blankWords += "|[    ]";
    expectEach({
        {read("  1  .1000000E+03", "(I3,E14.7)"), "1|100"},
        {read(" -1 -1  .0000000E+00", "(I3,I3,E14.7)"), "-1|-1|0"},
        {read("  5", "(I3,E14.7)"), "5|0"},  // missing columns are blank, and blank is 0
        {read("", "(2I3)"), "0|0"},
        {read("1 2  1.5 E 3", "(I3,E14.7)"), "12|1500"},
        {read(" +7", "(I3)"), "7"},
        {read("-0.0", "(E14.7)"), "-0"},
        {read("TITLE" + std::string(73, ' ') + " 6", "(19A4,A2,I2)"),
         "[TITL]|[E   ]" + blankWords + "|[  ]|6"},
        {read("SHORT", "(19A4,A2,I2)"), "[SHOR]|[T   ]" + blankWords + "|[  ]|0"},
    });
}

TEST(Reader, EveryRealForm) {
    const std::pair<const char*, float> cases[] = {
        {"12", 12.0f},       {"12.", 12.0f},      {"-1.5E3", -1500.0f}, {"1.5D+03", 1500.0f},
        {"1.5+03", 1500.0f}, {".5", 0.5f},        {"1.5e-2", 0.015f},   {"1.5d3", 1500.0f},
        {"-.25", -0.25f},    {"3.4E38", 3.4e38f}, {"1E-50", 0.0f},
    };
    for (const auto& [text, value] : cases) {
        std::vector<Field> f;
        std::string problem;
        ASSERT_TRUE(readLayout(text, "(E14.7)", f, problem)) << text;
        EXPECT_EQ(f[0].r, value) << text;
    }
}

TEST(Reader, UnreadableFields) {
    for (const char* text : {"abc", "1.2.3", "--1", "1E", "+", "1E39", "-1E39", "NaN", "Inf",
                             "1.5E+", "1,5", "0x10", "\t12"}) {
        EXPECT_EQ(read(text, "(E14.7)"), "unreadable") << text;
    }
    for (const char* text : {"3.0", "1-", "x", "1e1"})
        EXPECT_EQ(read(text, "(I3)"), "unreadable") << text;
    // Free-form console numbers (the other forms are run through the console tests).
    std::int32_t i = 0;
    EXPECT_FALSE(parseInteger("99999999999", i));
}
