// The layout formatter fed random values: any bit pattern of a real (NaN, infinities, subnormal
// numbers, -0.0), any integer, any bytes of text, any count of values.
//
// Single fields always fill exactly their width; an integer field that is not all asterisks reads
// back as the integer, and an E or F field reads back as the value to within its digits. Whole
// layouts of the programs take any number of values (reversion included) without failing.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "layout.hpp"
#include "records.hpp"
#include "support.hpp"

using namespace flownet;

namespace {

// Layouts of the programs, by the kind of value they take: reals, integers, texts.
const std::vector<const char*> kLayouts[] = {
    {"(6X,14E9.3)", "(1X,'CURRENT PRECISION = ',E10.3,/)",
     "(2X,'ASCENDENCY = ',E11.5,5X,'(',F4.3,')',/)", "(2X,'OVERALL CONNECTANCE = ',F7.3,/)"},
    {"(6X,14(I6,3X))", "(/,1X,'ENTRIES MUST BE NON-NEGATIVE! CHANGE ',2I3,/)", "(25X,I3,'? ',$)"},
    {"(1X,19A4,A2)", "(/,' The file',/,1X,A41,/,' is to be read. OK? (y/n)',$)",
     "(12X,'NETWORK INFORMATION HAS BEEN WRITTEN TO FILE ',A64)"},
};

// The field without its leading blanks; false when it is all asterisks.
bool digits(const std::string& field, std::string& text) {
    text = field.substr(std::min(field.find_first_not_of(' '), field.size()));
    return field.find_first_not_of('*') != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto real = [&in] { return std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>()); };

    // Single fields of a random width and number of digits.
    const float x = real();
    const std::int32_t v = in.ConsumeIntegral<std::int32_t>();
    const int w = in.ConsumeIntegralInRange(1, 40);
    const int d = in.ConsumeIntegralInRange(1, std::min(w, 15));
    const std::string i = formatInteger(v, w), e = formatExponent(x, w, d),
                      f = formatFixed(x, w, d);
    FUZZ_CHECK(static_cast<int>(i.size()) == w && static_cast<int>(e.size()) == w &&
               static_cast<int>(f.size()) == w);
    std::string text;
    std::int32_t back = 0;
    if (digits(i, text)) FUZZ_CHECK(parseInteger(text, back) && back == v);
    float r = 0.0f;
    const double ax = std::fabs(double(x));
    // Rounded to fewer digits, a value near the top of single precision may print above it.
    if (digits(e, text) && std::isfinite(x) && ax < 3.0e38) {
        FUZZ_CHECK(parseReal(text, r) && std::fabs(double(r) - x) <= std::pow(10.0, 1 - d) * ax);
    }
    if (digits(f, text) && std::isfinite(x) && ax < 1e7) {
        FUZZ_CHECK(parseReal(text, r) &&
                   std::fabs(double(r) - x) <= std::pow(10.0, -d) + 1e-6 * ax);
    }

    // A whole layout of the programs with any number of values of its kind.
    const std::size_t kind = in.ConsumeIntegralInRange<std::size_t>(0, 2);
    std::vector<std::string> texts(in.ConsumeIntegralInRange<std::size_t>(0, 39));
    std::vector<Item> items;  // a text item refers to its string in `texts`
    for (std::string& t : texts) {
        if (kind == 0) items.emplace_back(real());
        if (kind == 1) items.emplace_back(in.ConsumeIntegral<std::int32_t>());
        if (kind == 2)
            items.emplace_back(t = in.ConsumeBytesAsString(in.ConsumeIntegralInRange(0, 69)));
    }
    std::ostringstream out;
    const std::vector<const char*>& layouts = kLayouts[kind];
    writeLayout(out, layouts[in.ConsumeIntegralInRange<std::size_t>(0, layouts.size() - 1)], items);
    FUZZ_CHECK(!out.str().empty());
    return 0;
}
