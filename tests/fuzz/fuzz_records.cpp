// The fixed-column record reader and the free-form number reader, fed random lines.
//
// Every line is read through each record layout of the network file. Whatever the line, a read
// either fails with a description of the bad field or gives one field per descriptor, every real
// finite. An entry or flow record that reads is written again with its own layout and read back:
// the writer's text must read as the same compartment numbers and, within the seven digits of
// E14.7, the same value.
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "layout.hpp"
#include "network.hpp"
#include "records.hpp"
#include "support.hpp"

using namespace flownet;

namespace {

// Reads the record; checks the shape of the result; returns whether it was read.
bool readChecked(std::string_view record, std::string_view layout, std::size_t fieldCount,
                 std::vector<Field>& fields) {
    std::string problem;
    const bool read = readLayout(record, layout, fields, problem);
    FUZZ_CHECK(read ? fields.size() == fieldCount : !problem.empty());
    for (const Field& f : fields)
        FUZZ_CHECK(!read || f.kind != Field::Kind::Real || std::isfinite(f.r));
    return read;
}

// Reads the line as a record of the layout; an entry or flow record with compartment numbers of
// at most three columns is written again and read back.
void readAndWriteBack(std::string_view line, std::string_view layout, std::size_t fieldCount,
                      bool writeBack) {
    std::vector<Field> read, back;
    if (!readChecked(line, layout, fieldCount, read) || !writeBack) return;
    std::vector<Item> items;
    for (const Field& f : read) {
        if (f.kind == Field::Kind::Int && (f.i < -99 || f.i > 999)) return;
        items.push_back(f.kind == Field::Kind::Int ? Item(f.i) : Item(f.r));
    }
    std::ostringstream s;
    writeLayout(s, layout, items);
    const std::string text = s.str();
    FUZZ_CHECK(text.ends_with('\n'));
    FUZZ_CHECK(
        readChecked(std::string_view(text).substr(0, text.size() - 1), layout, fieldCount, back));
    for (std::size_t k = 0; k + 1 < fieldCount; ++k) FUZZ_CHECK(back[k].i == read[k].i);
    const double value = read.back().r;
    FUZZ_CHECK(std::fabs(value - back.back().r) <= 1e-6 * std::fabs(value) + 1e-45);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (!text.empty()) {
        const std::string_view line = text.substr(0, text.find('\n'));
        readAndWriteBack(line, kTitleRecord, 21, false);
        readAndWriteBack(line, kCountsRecord, 2, false);
        readAndWriteBack(line, kNameRecord, 7, false);
        readAndWriteBack(line, kEntryRecord, 2, true);
        readAndWriteBack(line, kFlowRecord, 3, true);
        FUZZ_CHECK(parseNameRecord(line).size() == static_cast<std::size_t>(kNameLength));
        std::int32_t i = 0;
        float r = 0.0f;
        parseInteger(line, i);
        if (parseReal(line, r)) FUZZ_CHECK(std::isfinite(r));
        text.remove_prefix(std::min(line.size() + 1, text.size()));
    }
    return 0;
}
