// Inside the formatter: a layout as it is run, and the cache of parsed layouts. Not for callers
// outside common/layout*.cpp, fields.cpp and records.cpp: they include layout.hpp or records.hpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace flownet::layout_detail {

// One descriptor as it is run: its kind, width and decimals, and its text (a literal, or the E
// field of a zero) as a piece of the layout's text pool.
struct Step {
    enum class Kind { Int, Exp, Fix, Text, Skip, Literal, Slash };
    Kind kind = Kind::Literal;
    int w = -1;                      // field width; -1 for A without a width
    int d = 0;                       // decimals of E and F
    std::uint32_t at = 0, size = 0;  // the text in Parsed::text
};

// A layout as it is run: its descriptors one after the other, every repeat count and group
// written out (20(I2,'-') becomes forty descriptors), none of them a group.
struct Parsed {
    std::vector<Step> steps;
    std::string text;           // the texts of the steps
    std::size_t again = 0;      // where the layout starts again: the last top-level group
    bool keepLineOpen = false;  // trailing $

    std::string_view textOf(const Step& s) const { return {text.data() + s.at, s.size}; }
};

// Parses a layout; throws std::logic_error, naming the column, when it is not one.
Parsed parseLayout(std::string_view layout);

// Every layout is parsed once: the programs write their layouts again and again (a cycle line for
// every cycle listed), so the parsed form of each is kept, looked up by the layout's text. Not
// safe to share between threads: each thread has its own (see FormatterState).
class LayoutCache {
public:
    const Parsed& find(std::string_view layout);

private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    // The layouts are mostly string literals, and a listing alternates between a few of them:
    // the last eight are found again by their address, and their text, before any hashing.
    struct Recent {
        const char* data = nullptr;
        const std::string* text = nullptr;  // the key in the map
        const Parsed* parsed = nullptr;
    };

    std::unordered_map<std::string, Parsed, TextHash, std::equal_to<>> parsed_;
    std::array<Recent, 8> recent_{};
    std::size_t replace_ = 0, last_ = 0;
};

// What the formatter keeps from one call to the next: the parsed layouts, and the store in which
// the writer builds a layout's lines before handing them to the stream. One per thread, so that
// threads writing (or reading) at once share nothing; defined in layout.cpp.
struct FormatterState {
    LayoutCache layouts;
    std::string line;
};
FormatterState& formatterState();  // this thread's

}  // namespace flownet::layout_detail
