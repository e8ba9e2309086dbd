// The fixed-column record reader, and the reader of free-form numbers.
//
// A record is read through a layout in the notation of layout.hpp, for example "(I3,E14.7)":
// each data descriptor takes exactly its w columns of the record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace flownet {

// One field read from a fixed-column record.
struct Field {
    enum class Kind { Int, Real, Text };
    Kind kind = Kind::Text;
    std::int32_t i = 0;
    float r = 0.0f;
    std::string s;
};

// Reads one record (a line without its line end) through a reading layout: each data
// descriptor takes exactly its w columns, a short line is padded with blanks. Integer fields:
// optional sign and digits; real fields: any decimal or exponent form (12, 12., -1.5E3, 1.5D+03,
// 1.5+03, .5) without implied decimal scaling, within single precision; blanks inside a numeric
// field are ignored and an all-blank numeric field is 0. Returns false, with a description of the
// first bad field in `problem`, when the record cannot be read.
bool readLayout(std::string_view record, std::string_view layout, std::vector<Field>& fields,
                std::string& problem);

// Free-form numbers (console answers): the whole text must be one number.
bool parseInteger(std::string_view text, std::int32_t& value);
bool parseReal(std::string_view text, float& value);

}  // namespace flownet
