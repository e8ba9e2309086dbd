// The layout formatter (the reader of fixed-column records is in records.hpp).
//
// Every printed line and every record read from a file is described by a layout written in the
// classic edit-descriptor notation, for example "(1X,I3,2X,14E9.3)" or "(I3,E14.7)":
//   Iw      an integer right-aligned in w columns
//   Ew.d    a real in scientific notation, no zero before the point: .DDDE+XX
//   Fw.d    a real in fixed notation with d decimals
//   Aw, A   text: w characters, or the whole item
//   nX      n blanks;  'text'  a literal;  /  ends the current line
//   r(...)  a group repeated r times;  rIw, rEw.d, rAw  a repeated descriptor
//   $       (last) the line is left open after a prompt
// Output rules: every layout starts a new line and its end ends the last line (unless it ends
// in $). Output stops at the first data descriptor for which no value remains. When values
// remain at the end of the layout, the line ends and the last top-level group (or the whole
// layout when there is none) starts again on a new line. A value too wide for its field prints
// as w asterisks; a NaN prints as NaN right-aligned.
#pragma once

#include <initializer_list>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace flownet {

// One value handed to the formatter. A text item made from a std::string that is a temporary
// keeps the string (shared by its copies); any other text item refers to its text, which must
// outlive it, as a std::string_view would.
struct Item {
    enum class Kind { Int, Real, Text };
    Kind kind;
    union {  // the value of the kind
        long long i;
        double r;
        std::string_view s;
    };

    Item(int v) : kind(Kind::Int), i(v) {}
    Item(long v) : kind(Kind::Int), i(v) {}
    Item(long long v) : kind(Kind::Int), i(v) {}
    Item(float v) : kind(Kind::Real), r(v) {}
    Item(double v) : kind(Kind::Real), r(v) {}
    Item(std::string_view v) : kind(Kind::Text), s(v) {}
    Item(const char* v) : kind(Kind::Text), s(v) {}
    Item(const std::string& v) : kind(Kind::Text), s(v) {}
    Item(std::string&& v) : Item(std::make_shared<const std::string>(std::move(v))) {}
    Item(const std::string&& v) : Item(std::make_shared<const std::string>(v)) {}

private:
    std::shared_ptr<const std::string> owned_;  // the text of s, when the item keeps it

    explicit Item(std::shared_ptr<const std::string> text)
        : kind(Kind::Text), s(*text), owned_(std::move(text)) {}
};

// Writes the values through the layout to the stream.
void writeLayout(std::ostream& out, std::string_view layout, std::span<const Item> items);
void writeLayout(std::ostream& out, std::string_view layout,
                 std::initializer_list<Item> items = {});

// The same, into a string (for tests and for building messages).
std::string formatLayout(std::string_view layout, std::initializer_list<Item> items = {});

// Single fields, as the formatter writes them.
std::string formatInteger(long long value, int width);
std::string formatExponent(double value, int width, int decimals);  // Ew.d
std::string formatFixed(double value, int width, int decimals);     // Fw.d

// Splits text into n pieces of w characters and one last piece of lastWidth characters, padding
// with blanks: a title of 78 characters is written with 19A4,A2, a name of 25 with 6A4,A1.
std::vector<std::string> textPieces(std::string_view text, int w, int n, int lastWidth);

}  // namespace flownet
