// The layout formatter fed random values: any bit pattern of a real (NaN, infinities, subnormal
// numbers, -0.0), any integer, any bytes of text, any count of values.
//
// Single fields always fill exactly their width; an integer field that is not all asterisks reads
// back as the integer, and an E or F field reads back as the value to within its digits. Whole
// layouts of the programs take any number of values (reversion included) without failing.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "layout.hpp"
#include "support.hpp"

using namespace flownet;

namespace {

// The bytes of the input, taken from the front.
struct Bytes {
    const std::uint8_t* p;
    std::size_t left;
    bool take(void* out, std::size_t n) {
        if (left < n) return false;
        std::memcpy(out, p, n);
        p += n;
        left -= n;
        return true;
    }
    int small(int bound) {  // 0..bound-1
        std::uint8_t b = 0;
        take(&b, 1);
        return b % bound;
    }
};

bool allAsterisks(const std::string& s) {
    return s.find_first_not_of('*') == std::string::npos;
}

std::string trimmed(const std::string& s) {
    const std::size_t b = s.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b);
}

void checkFields(Bytes& in) {
    float x = 0.0f;
    std::int32_t v = 0;
    if (!in.take(&x, sizeof x) || !in.take(&v, sizeof v)) return;
    const int w = 1 + in.small(40);
    const int d = 1 + in.small(std::min(w, 15));

    const std::string i = formatInteger(v, w);
    FUZZ_CHECK(static_cast<int>(i.size()) == w);
    std::int32_t back = 0;
    if (!allAsterisks(i)) FUZZ_CHECK(parseInteger(trimmed(i), back) && back == v);

    const std::string e = formatExponent(x, w, d);
    FUZZ_CHECK(static_cast<int>(e.size()) == w);
    float r = 0.0f;
    // Rounded to fewer digits, a value near the top of single precision may print above it.
    if (std::isfinite(x) && !allAsterisks(e) && std::fabs(x) < 3.0e38f) {
        FUZZ_CHECK(parseReal(trimmed(e), r));
        FUZZ_CHECK(std::fabs(double(r) - double(x)) <=
                   std::pow(10.0, 1 - d) * std::fabs(double(x)));
    }

    const std::string f = formatFixed(x, w, d);
    FUZZ_CHECK(static_cast<int>(f.size()) == w);
    if (std::isfinite(x) && !allAsterisks(f) && std::fabs(x) < 1e7f) {
        FUZZ_CHECK(parseReal(trimmed(f), r));
        FUZZ_CHECK(std::fabs(double(r) - double(x)) <=
                   std::pow(10.0, -d) + 1e-6 * std::fabs(double(x)));
    }
}

// Layouts of the programs, by the kind of value they take.
constexpr const char* kRealLayouts[] = {
    "(6X,14E9.3)",
    "(1X,'CURRENT PRECISION = ',E10.3,/)",
    "(2X,'ASCENDENCY = ',E11.5,5X,'(',F4.3,')',/)",
    "(2X,'OVERALL CONNECTANCE = ',F7.3,/)",
};
constexpr const char* kIntLayouts[] = {
    "(6X,14(I6,3X))",
    "(/,1X,'ENTRIES MUST BE NON-NEGATIVE! CHANGE ',2I3,/)",
    "(25X,I3,'? ',$)",
};
constexpr const char* kTextLayouts[] = {
    "(1X,19A4,A2)",
    "(/,' The file',/,1X,A41,/,' is to be read. OK? (y/n)',$)",
    "(12X,'NETWORK INFORMATION HAS BEEN WRITTEN TO FILE ',A64)",
};

void checkLayout(Bytes& in) {
    const int kind = in.small(3);
    const int count = in.small(40);
    std::vector<std::string> texts;
    std::vector<Item> items;
    texts.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        if (kind == 0) {
            float x = 0.0f;
            in.take(&x, sizeof x);
            items.emplace_back(x);
        } else if (kind == 1) {
            std::int32_t v = 0;
            in.take(&v, sizeof v);
            items.emplace_back(v);
        } else {
            const int n = in.small(70);
            std::string t(static_cast<std::size_t>(n), ' ');
            in.take(t.data(), t.size());
            texts.push_back(std::move(t));
            items.emplace_back(texts.back());
        }
    }
    const char* layout = kind == 0   ? kRealLayouts[in.small(4)]
                         : kind == 1 ? kIntLayouts[in.small(3)]
                                     : kTextLayouts[in.small(3)];
    std::ostringstream out;
    writeLayout(out, layout, items);
    FUZZ_CHECK(!out.str().empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in{data, size};
    checkFields(in);
    checkLayout(in);
    return 0;
}
