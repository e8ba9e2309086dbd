// The fixed-column record reader and the free-form number reader, fed random lines.
//
// Every line is read through each record layout of the network file. Whatever the line, a read
// either fails with a description of the bad field or gives one field per descriptor, every real
// finite. An entry or flow record that reads is written again with its own layout and read back:
// the writer's text must read as the same compartment numbers and, within the seven digits of
// E14.7, the same value.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "layout.hpp"
#include "network.hpp"
#include "support.hpp"

using namespace flownet;

namespace {

// Reads the record; checks the shape of the result; returns whether it was read.
bool readChecked(std::string_view record, std::string_view layout, std::size_t fieldCount,
                 std::vector<Field>& fields) {
    std::string problem;
    const bool ok = readLayout(record, layout, fields, problem);
    if (!ok) {
        FUZZ_CHECK(!problem.empty());
        return false;
    }
    FUZZ_CHECK(fields.size() == fieldCount);
    for (const Field& f : fields) FUZZ_CHECK(f.kind != Field::Kind::Real || std::isfinite(f.r));
    return true;
}

// A value written with E14.7 and read back differs from it by rounding to seven digits only.
bool closeToSevenDigits(float written, float read) {
    const double a = written, b = read;
    return std::fabs(a - b) <= 1e-6 * std::fabs(a) + 1e-45;
}

// Writes the numbers with the layout and reads them back.
void roundTrip(std::string_view layout, std::vector<Item> items, std::size_t ints) {
    std::ostringstream s;
    writeLayout(s, layout, items);
    std::string text = s.str();
    FUZZ_CHECK(!text.empty() && text.back() == '\n');
    text.pop_back();
    std::vector<Field> back;
    std::string problem;
    FUZZ_CHECK(readLayout(text, layout, back, problem));
    for (std::size_t k = 0; k < ints; ++k) FUZZ_CHECK(back[k].i == items[k].i);
    FUZZ_CHECK(closeToSevenDigits(static_cast<float>(items[ints].r), back[ints].r));
}

void oneLine(std::string_view line) {
    std::vector<Field> f;
    readChecked(line, kTitleRecord, 21, f);
    readChecked(line, kCountsRecord, 2, f);
    readChecked(line, kNameRecord, 7, f);
    FUZZ_CHECK(parseNameRecord(line).size() == static_cast<std::size_t>(kNameLength));

    // Compartment numbers of one to three digits are written back as they were read.
    auto fits = [](std::int32_t i) { return i >= -99 && i <= 999; };
    if (readChecked(line, kEntryRecord, 2, f) && fits(f[0].i)) {
        roundTrip(kEntryRecord, {Item(f[0].i), Item(f[1].r)}, 1);
    }
    if (readChecked(line, kFlowRecord, 3, f) && fits(f[0].i) && fits(f[1].i)) {
        roundTrip(kFlowRecord, {Item(f[0].i), Item(f[1].i), Item(f[2].r)}, 2);
    }

    std::int32_t i = 0;
    float r = 0.0f;
    parseInteger(line, i);
    if (parseReal(line, r)) FUZZ_CHECK(std::isfinite(r));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = fuzz::asText(data, size);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        oneLine(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return 0;
}
