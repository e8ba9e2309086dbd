#include "layout.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <unordered_map>

namespace flownet {

namespace {

// ---------------------------------------------------------------------------------------------
// Parsing a layout into a tree of descriptors.

struct Node {
    enum class Kind { Group, Int, Exp, Fix, Text, Skip, Literal, Slash };
    Kind kind = Kind::Literal;
    int repeat = 1;
    int w = -1;                  // field width; -1 for A without a width
    int d = 0;                   // decimals of E and F
    std::string text;            // literal text; for E, the field of a zero
    std::vector<Node> children;  // group members
};

// One descriptor as it is run: its kind, width and decimals, and its text (a literal, or the E
// field of a zero) as a piece of the layout's text pool.
struct Step {
    Node::Kind kind = Node::Kind::Literal;
    int w = -1;
    int d = 0;
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

// Writes out the repeats of the nodes, appending to the steps of p.
void flatten(const std::vector<Node>& nodes, Parsed& p) {
    for (const Node& n : nodes) {
        for (int r = 0; r < n.repeat; ++r) {
            if (n.kind == Node::Kind::Group) {
                flatten(n.children, p);
            } else {
                p.steps.push_back({n.kind, n.w, n.d, static_cast<std::uint32_t>(p.text.size()),
                                   static_cast<std::uint32_t>(n.text.size())});
                p.text += n.text;
            }
        }
    }
}

[[noreturn]] void badLayout(std::string_view layout, std::size_t pos) {
    throw std::logic_error("bad layout at column " + std::to_string(pos + 1) + ": " +
                           std::string(layout));
}

class LayoutParser {
public:
    explicit LayoutParser(std::string_view layout) : s_(layout) {}

    Parsed parse() {
        Parsed p;
        skipBlanks();
        if (!eat('(')) badLayout(s_, pos_);
        const std::vector<Node> top = parseList(p.keepLineOpen);
        skipBlanks();
        if (pos_ != s_.size()) badLayout(s_, pos_);
        for (const Node& n : top) {
            if (n.kind == Node::Kind::Group) p.again = p.steps.size();
            flatten({n}, p);
        }
        return p;
    }

private:
    std::string_view s_;
    std::size_t pos_ = 0;

    void skipBlanks() {
        while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    }
    bool eat(char c) {
        skipBlanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool atDigit() const { return pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9'; }
    int number() {
        if (!atDigit()) badLayout(s_, pos_);
        int v = 0;
        while (atDigit()) v = v * 10 + (s_[pos_++] - '0');
        return v;
    }

    // Items up to and including the closing parenthesis of the current group.
    std::vector<Node> parseList(bool& keepLineOpen) {
        std::vector<Node> nodes;
        for (;;) {
            skipBlanks();
            if (pos_ >= s_.size()) badLayout(s_, pos_);
            char c = s_[pos_];
            if (c == ')') {
                ++pos_;
                return nodes;
            }
            if (c == ',') {
                ++pos_;
                continue;
            }
            if (c == '/') {
                ++pos_;
                Node slash;
                slash.kind = Node::Kind::Slash;
                nodes.push_back(std::move(slash));
                continue;
            }
            if (c == '$') {
                ++pos_;
                keepLineOpen = true;
                continue;
            }
            if (c == '\'') {
                nodes.push_back(literal());
                continue;
            }
            int repeat = atDigit() ? number() : 1;
            skipBlanks();
            if (pos_ >= s_.size()) badLayout(s_, pos_);
            Node n;
            n.repeat = repeat;
            char k = s_[pos_++];
            switch (k) {
                case '(':
                    n.kind = Node::Kind::Group;
                    n.children = parseList(keepLineOpen);
                    break;
                case 'X':
                    n.kind = Node::Kind::Skip;
                    n.w = repeat;
                    n.repeat = 1;
                    break;
                case 'I':
                    n.kind = Node::Kind::Int;
                    n.w = number();
                    break;
                case 'E':
                case 'F':
                    n.kind = k == 'E' ? Node::Kind::Exp : Node::Kind::Fix;
                    n.w = number();
                    if (!eat('.')) badLayout(s_, pos_);
                    n.d = number();
                    if (k == 'E' && n.d < 1) badLayout(s_, pos_);
                    if (k == 'E') n.text = formatExponent(0.0, n.w, n.d);
                    break;
                case 'A':
                    n.kind = Node::Kind::Text;
                    n.w = atDigit() ? number() : -1;
                    break;
                default:
                    badLayout(s_, pos_ - 1);
            }
            nodes.push_back(std::move(n));
        }
    }

    Node literal() {
        Node n;  // a literal
        ++pos_;  // opening quote
        for (;;) {
            if (pos_ >= s_.size()) badLayout(s_, pos_);
            char c = s_[pos_++];
            if (c == '\'') {
                if (pos_ < s_.size() && s_[pos_] == '\'') {  // '' stands for one quote
                    n.text += '\'';
                    ++pos_;
                    continue;
                }
                return n;
            }
            n.text += c;
        }
    }
};

// Every layout is parsed once: the programs write their layouts again and again (a cycle line
// for every cycle listed), so the tree of each is kept, looked up by the layout's text.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

const Parsed& parsedLayout(std::string_view layout) {
    static std::unordered_map<std::string, Parsed, TextHash, std::equal_to<>> parsed;
    // The layouts are mostly string literals, and a listing alternates between a few of them:
    // the last eight are found again by their address, and their text, before any hashing.
    struct Recent {
        const char* data = nullptr;
        const std::string* text = nullptr;  // the key in the map
        const Parsed* tree = nullptr;
    };
    static std::array<Recent, 8> recent{};
    static std::size_t replace = 0, last = 0;
    auto same = [&](const Recent& r) {
        return r.data == layout.data() && r.text != nullptr && r.text->size() == layout.size() &&
               std::memcmp(r.text->data(), layout.data(), layout.size()) == 0;
    };
    if (same(recent[last])) return *recent[last].tree;
    for (std::size_t k = 0; k < recent.size(); ++k) {
        if (same(recent[k])) {
            last = k;
            return *recent[k].tree;
        }
    }
    auto it = parsed.find(layout);
    if (it == parsed.end()) {
        it = parsed.emplace(std::string(layout), LayoutParser(layout).parse()).first;
    }
    last = replace++ % recent.size();
    recent[last] = {layout.data(), &it->first, &it->second};
    return it->second;
}

// ---------------------------------------------------------------------------------------------
// Output.

// The text of a layout's lines, built in place: the room of a field is taken, then filled.
class LineBuffer {
public:
    explicit LineBuffer(std::string& store) : s_(store), base_(store.data()), end_(s_.size()) {}

    char* room(std::size_t k) {
        if (n_ + k > end_) [[unlikely]]
            grow(k);
        char* p = base_ + n_;
        n_ += k;
        return p;
    }
    void put(char c) { *room(1) = c; }
    void put(std::string_view t) {
        char* p = room(t.size());
        if (t.size() == 1) {
            *p = t[0];  // the hyphens of the cycle lines
        } else if (!t.empty()) {
            std::memcpy(p, t.data(), t.size());
        }
    }
    void fill(std::size_t k, char c) { std::memset(room(k), c, k); }
    std::string_view text() const { return {base_, n_}; }

private:
    std::string& s_;
    char* base_;
    std::size_t end_;
    std::size_t n_ = 0;

    void grow(std::size_t k) {
        s_.resize(std::max(2 * s_.size(), n_ + k + 256));
        base_ = s_.data();
        end_ = s_.size();
    }
};

// w asterisks: a value too wide for its field.
void appendStars(LineBuffer& out, int w) {
    out.fill(static_cast<std::size_t>(w), '*');
}

// Text right-aligned in w columns, appended to out; w asterisks when it does not fit.
void appendRight(LineBuffer& out, std::string_view s, int w) {
    const std::size_t width = static_cast<std::size_t>(w);
    if (s.size() > width) return appendStars(out, w);
    char* p = out.room(width);
    char* text = p + (width - s.size());
    while (p < text) *p++ = ' ';
    for (char c : s) *p++ = c;
}

// An integer right-aligned in w columns, appended to out; w asterisks when it does not fit.
void appendInteger(LineBuffer& out, long long value, int w) {
    const std::size_t width = static_cast<std::size_t>(w);
    char* const field = out.room(width);
    // The digits from the right end of the field, then the sign, then blanks.
    char* p = field + width;
    unsigned long long m = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                     : static_cast<unsigned long long>(value);
    bool fits = true;
    do {
        if (p == field) {
            fits = false;
            break;
        }
        *--p = static_cast<char>('0' + m % 10);
        m /= 10;
    } while (m != 0);
    if (fits && value < 0) {
        if (p == field) {
            fits = false;
        } else {
            *--p = '-';
        }
    }
    if (!fits) {
        std::memset(field, '*', width);
        return;
    }
    while (p > field) *--p = ' ';
}

// NaN, Inf or -Inf right-aligned, for a value that is not finite.
void appendNonFinite(LineBuffer& out, double x, int w) {
    appendRight(out, std::isnan(x) ? "NaN" : x < 0 ? "-Inf" : "Inf", w);
}

// Room for any double in fixed notation with a sensible number of decimals (a double below
// 2^1024 has at most 309 digits before the point). A conversion that does not fit is wider than
// any field, and prints as asterisks.
constexpr std::size_t kConversionRoom = 400;

// The d significant digits of ax > 0, rounded to nearest, as an integer D of d digits, and the
// exponent of the field (ax is about .D x 10^exponent), without a full decimal conversion: ax is
// scaled by a power of ten, exact up to 10^22, so that the scaled value is off the exact one by
// a few units in its last place at most, which decides the rounding unless the value lies within
// a millionth of a half; then, and for values out of that range or more than 7 digits, false.
bool quickDigits(double ax, int d, long long& D, int& exponent) {
    static constexpr std::array<double, 23> kTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    static constexpr std::array<long long, 9> kWholeTen = {
        1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    if (d > 7 || !(ax >= 1e-15 && ax < 1e15)) return false;
    // The decimal exponent from the binary one, floor(e2 x log10 2), low by one at most.
    const int e2 = static_cast<int>((std::bit_cast<std::uint64_t>(ax) >> 52) & 0x7ff) - 1023;
    int k = d - 1 - ((e2 * 78913) >> 18);  // ax x 10^k has d digits, or d + 1
    double scaled = 0.0;
    for (int tries = 0; tries < 3; ++tries) {
        if (k > 22 || k < -22) return false;
        scaled = k >= 0 ? ax * kTen[static_cast<std::size_t>(k)]
                        : ax / kTen[static_cast<std::size_t>(-k)];
        if (scaled < kTen[static_cast<std::size_t>(d - 1)]) {
            ++k;
        } else if (scaled >= kTen[static_cast<std::size_t>(d)]) {
            --k;
        } else {
            break;
        }
    }
    if (!(scaled >= kTen[static_cast<std::size_t>(d - 1)] &&
          scaled < kTen[static_cast<std::size_t>(d)]))
        return false;
    const double whole = std::floor(scaled), part = scaled - whole;
    if (std::fabs(part - 0.5) < 1e-6) return false;
    D = static_cast<long long>(whole) + (part > 0.5 ? 1 : 0);
    if (D == kWholeTen[static_cast<std::size_t>(d)]) {  // 999.6 rounds to 1000: .100 one up
        D = kWholeTen[static_cast<std::size_t>(d - 1)];
        --k;
    }
    exponent = d - k;
    return true;
}

// Ew.d: .DDDE+XX, the d significant digits rounded to nearest on the exact binary value (the
// shortest-first conversion of std::to_chars with a precision is correctly rounded, as printf
// is; quickDigits gives the same digits when it can). A three-digit exponent drops the E
// (.DDD+XXX); a wider one fills the field with asterisks.
void appendExponent(LineBuffer& out, double x, int w, int d) {
    if (!std::isfinite(x)) return appendNonFinite(out, x, w);
    if (x == 0.0) {
        // .000E+00, the most common field of the matrix listings
        if (d + 5 > w) return appendStars(out, w);
        char* p = out.room(static_cast<std::size_t>(w));
        char* point = p + (w - d - 5);
        while (p < point) *p++ = ' ';
        *p++ = '.';
        for (int k = 0; k < d; ++k) *p++ = '0';
        for (char c : {'E', '+', '0', '0'}) *p++ = c;
        return;
    }
    char s[kConversionRoom + 8];
    std::size_t n = 0;
    if (x < 0) s[n++] = '-';
    s[n++] = '.';
    int exponent = 0;
    long long D = 0;
    if (quickDigits(std::fabs(x), d, D, exponent)) {
        for (int k = d - 1; k >= 0; --k, D /= 10)
            s[n + static_cast<std::size_t>(k)] = static_cast<char>('0' + D % 10);
        n += static_cast<std::size_t>(d);
    } else {
        // d.ddd...e+XX: the first digit, then (with d > 1) the point and d - 1 digits.
        char t[kConversionRoom];
        const auto r =
            std::to_chars(t, t + sizeof t, std::fabs(x), std::chars_format::scientific, d - 1);
        if (r.ec != std::errc{}) return appendStars(out, w);
        const char* e = t + 1 + (d > 1 ? d : 0);  // the 'e'
        std::from_chars(e + 2, r.ptr, exponent);
        exponent = (e[1] == '-' ? -exponent : exponent) + 1;
        s[n++] = t[0];
        for (const char* c = t + 2; c < e; ++c) s[n++] = *c;
    }
    const int mag = exponent < 0 ? -exponent : exponent;
    if (mag > 999) return appendStars(out, w);
    if (mag <= 99) s[n++] = 'E';
    s[n++] = exponent < 0 ? '-' : '+';
    if (mag > 99) s[n++] = static_cast<char>('0' + mag / 100);
    s[n++] = static_cast<char>('0' + mag / 10 % 10);
    s[n++] = static_cast<char>('0' + mag % 10);
    appendRight(out, std::string_view(s, n), w);
}

// Fw.d: no zero before the point for a magnitude below 1 unless no digit would remain.
void appendFixed(LineBuffer& out, double x, int w, int d) {
    if (!std::isfinite(x)) return appendNonFinite(out, x, w);
    char s[kConversionRoom + 2];
    char* digits = s + 1;  // room for the sign
    const auto r =
        std::to_chars(digits, s + sizeof s - 1, std::fabs(x), std::chars_format::fixed, d);
    if (r.ec != std::errc{}) return appendStars(out, w);
    char* end = r.ptr;
    if (d == 0) {
        *end++ = '.';
    } else if (end - digits > 1 && digits[0] == '0' && digits[1] == '.') {
        ++digits;  // no zero before the point
    }
    if (x < 0) *--digits = '-';
    appendRight(out, std::string_view(digits, static_cast<std::size_t>(end - digits)), w);
}

// Writes into a line buffer; the caller hands the buffer to the stream in one piece.
class Writer {
public:
    Writer(LineBuffer& out, const Parsed& layout, std::span<const Item> items)
        : out_(out), layout_(layout), items_(items) {}

    // Runs the steps from `from` on; false when output stopped at a data descriptor without a
    // value. (Through a pointer: a character stored into the line may alias the vector of steps,
    // which the loop would otherwise read again after every field.)
    bool run(std::size_t from = 0) {
        const Step* const end = layout_.steps.data() + layout_.steps.size();
        for (const Step* step = layout_.steps.data() + from; step < end; ++step) {
            if (!one(*step)) return false;
        }
        return true;
    }
    bool valuesLeft() const { return next_ < items_.size(); }
    bool tookValue() const { return took_; }
    void resetTook() { took_ = false; }

private:
    LineBuffer& out_;
    const Parsed& layout_;
    std::span<const Item> items_;
    std::size_t next_ = 0;
    bool took_ = false;

    const Item& take(Item::Kind kind) {
        const Item& it = items_[next_++];
        took_ = true;
        if (it.kind != kind) throw std::logic_error("layout descriptor does not match its value");
        return it;
    }

    bool one(const Step& n) {
        switch (n.kind) {
            case Node::Kind::Skip:
                out_.fill(static_cast<std::size_t>(n.w), ' ');
                return true;
            case Node::Kind::Literal:
                out_.put(layout_.textOf(n));
                return true;
            case Node::Kind::Slash:
                out_.put('\n');
                return true;
            case Node::Kind::Int:
                if (!valuesLeft()) return false;
                if (const long long v = take(Item::Kind::Int).i; v >= 0 && v < 100 && n.w == 2) {
                    // the compartments of the cycle lines
                    char* p = out_.room(2);
                    p[0] = v < 10 ? ' ' : static_cast<char>('0' + v / 10);
                    p[1] = static_cast<char>('0' + v % 10);
                } else {
                    appendInteger(out_, v, n.w);
                }
                return true;
            case Node::Kind::Exp:
                if (!valuesLeft()) return false;
                if (const double x = take(Item::Kind::Real).r; x == 0.0) {
                    out_.put(layout_.textOf(n));  // most fields of the matrix listings
                } else {
                    appendExponent(out_, x, n.w, n.d);
                }
                return true;
            case Node::Kind::Fix:
                if (!valuesLeft()) return false;
                appendFixed(out_, take(Item::Kind::Real).r, n.w, n.d);
                return true;
            default: {  // Text
                if (!valuesLeft()) return false;
                std::string_view s = take(Item::Kind::Text).s;
                if (n.w < 0) {
                    out_.put(s);
                } else if (static_cast<int>(s.size()) >= n.w) {
                    out_.put(s.substr(0, static_cast<std::size_t>(n.w)));
                } else {
                    out_.fill(static_cast<std::size_t>(n.w) - s.size(), ' ');
                    out_.put(s);
                }
            }
        }
        return true;
    }
};

// ---------------------------------------------------------------------------------------------
// Input.

std::string withoutBlanks(std::string_view field) {
    std::string s;
    for (char c : field) {
        if (c != ' ') s += c;
    }
    return s;
}

bool digitsOnly(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A real without blanks: [sign] (digits [. [digits]] | . digits) [(E|D) [sign] digits | sign
// digits]
bool realFromText(const std::string& s, float& value) {
    std::size_t p = 0;
    std::string mantissa;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) mantissa += s[p++];
    std::size_t digitsBefore = 0, digitsAfter = 0;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') {
        mantissa += s[p++];
        ++digitsBefore;
    }
    if (p < s.size() && s[p] == '.') {
        mantissa += s[p++];
        while (p < s.size() && s[p] >= '0' && s[p] <= '9') {
            mantissa += s[p++];
            ++digitsAfter;
        }
    }
    if (digitsBefore + digitsAfter == 0) return false;
    std::string exponent;
    if (p < s.size()) {
        char c = s[p];
        if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
            ++p;
        } else if (c != '+' && c != '-') {
            return false;
        }
        if (p < s.size() && (s[p] == '+' || s[p] == '-')) exponent += s[p++];
        std::string_view rest(s.data() + p, s.size() - p);
        if (!digitsOnly(rest)) return false;
        exponent += rest;
    }
    std::string normal = mantissa + (exponent.empty() ? "" : "e" + exponent);
    errno = 0;
    char* end = nullptr;
    float v = std::strtof(normal.c_str(), &end);
    if (end != normal.c_str() + normal.size()) return false;
    if (std::isinf(v)) return false;  // beyond single precision
    value = v;                        // values below the range come back as 0 or subnormal
    return true;
}

bool integerFromText(const std::string& s, std::int32_t& value) {
    std::size_t p = 0;
    bool negative = false;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) negative = s[p++] == '-';
    std::string_view digits(s.data() + p, s.size() - p);
    if (!digitsOnly(digits)) return false;
    long long v = 0;
    for (char c : digits) {
        v = v * 10 + (c - '0');
        if (v > 2147483648LL) return false;
    }
    if (negative) v = -v;
    if (v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

class Reader {
public:
    Reader(std::string_view record, std::vector<Field>& fields, std::string& problem)
        : rec_(record), fields_(fields), problem_(problem) {}

    bool run(const std::vector<Step>& steps) {
        for (const Step& n : steps) {
            if (!one(n)) return false;
        }
        return true;
    }

private:
    std::string_view rec_;
    std::vector<Field>& fields_;
    std::string& problem_;
    std::size_t col_ = 0;  // next column, from 0

    std::string columns(int w) {
        std::string s;
        for (int k = 0; k < w; ++k) {
            std::size_t c = col_ + static_cast<std::size_t>(k);
            s += c < rec_.size() ? rec_[c] : ' ';
        }
        col_ += static_cast<std::size_t>(w);
        return s;
    }

    bool bad(const std::string& raw, int w, const char* what) {
        problem_ = std::string(what) + " '" + raw + "' in columns " +
                   std::to_string(col_ - static_cast<std::size_t>(w) + 1) + "-" +
                   std::to_string(col_);
        return false;
    }

    bool one(const Step& n) {
        switch (n.kind) {
            case Node::Kind::Skip:
                col_ += static_cast<std::size_t>(n.w);
                return true;
            case Node::Kind::Literal:
                col_ += n.size;
                return true;
            case Node::Kind::Slash:
                throw std::logic_error("a reading layout reads one record");
            case Node::Kind::Text: {
                if (n.w < 0) throw std::logic_error("a reading layout needs text widths");
                Field f;
                f.kind = Field::Kind::Text;
                f.s = columns(n.w);
                fields_.push_back(std::move(f));
                return true;
            }
            case Node::Kind::Int: {
                std::string raw = columns(n.w);
                Field f;
                f.kind = Field::Kind::Int;
                std::string s = withoutBlanks(raw);
                if (!s.empty() && !integerFromText(s, f.i)) return bad(raw, n.w, "not an integer");
                fields_.push_back(f);
                return true;
            }
            default: {  // Exp, Fix
                std::string raw = columns(n.w);
                Field f;
                f.kind = Field::Kind::Real;
                std::string s = withoutBlanks(raw);
                if (!s.empty() && !realFromText(s, f.r))
                    return bad(raw, n.w, "not a single-precision number");
                fields_.push_back(f);
                return true;
            }
        }
    }
};

}  // namespace

// ---------------------------------------------------------------------------------------------

std::string formatInteger(long long value, int width) {
    std::string s;
    LineBuffer b(s);
    appendInteger(b, value, width);
    return std::string(b.text());
}

std::string formatExponent(double x, int w, int d) {
    std::string s;
    LineBuffer b(s);
    appendExponent(b, x, w, d);
    return std::string(b.text());
}

std::string formatFixed(double x, int w, int d) {
    std::string s;
    LineBuffer b(s);
    appendFixed(b, x, w, d);
    return std::string(b.text());
}

void writeLayout(std::ostream& out, std::string_view layout, std::span<const Item> items) {
    const Parsed& p = parsedLayout(layout);
    static std::string store;  // the text of the layout's lines, written at the end
    LineBuffer line(store);
    Writer w(line, p, items);
    bool going = w.run();
    // Reversion: values remain at the end of the layout, so the line ends and the last
    // top-level group (or the whole layout) starts again.
    while (going && w.valuesLeft() && w.tookValue()) {
        line.put('\n');
        w.resetTook();
        going = w.run(p.again);
    }
    if (!p.keepLineOpen) line.put('\n');
    // Straight into the stream's buffer, doing what write does around it (a listing writes tens
    // of thousands of lines): a stream in error takes nothing (and fails), a tied stream is
    // flushed first, a short write marks the stream bad, and a stream with unitbuf is flushed
    // after.
    const std::string_view text = line.text();
    const auto size = static_cast<std::streamsize>(text.size());
    std::streambuf* buffer = out.rdbuf();
    if (!out.good() || buffer == nullptr) {
        out.setstate(std::ios::failbit);
        return;
    }
    if (out.tie() != nullptr) out.tie()->flush();
    if (buffer->sputn(text.data(), size) != size) out.setstate(std::ios::badbit);
    if ((out.flags() & std::ios::unitbuf) != 0 && buffer->pubsync() == -1)
        out.setstate(std::ios::badbit);
}

void writeLayout(std::ostream& out, std::string_view layout, std::initializer_list<Item> items) {
    writeLayout(out, layout, std::span<const Item>(items.begin(), items.size()));
}

std::string formatLayout(std::string_view layout, std::initializer_list<Item> items) {
    std::ostringstream s;
    writeLayout(s, layout, items);
    return s.str();
}

std::vector<std::string> textPieces(std::string_view text, int w, int n, int lastWidth) {
    std::string padded(text);
    std::size_t total = static_cast<std::size_t>(w * n + lastWidth);
    padded.resize(std::max(total, padded.size()), ' ');
    std::vector<std::string> pieces;
    for (int k = 0; k <= n; ++k) {
        std::size_t width = static_cast<std::size_t>(k < n ? w : lastWidth);
        pieces.push_back(padded.substr(static_cast<std::size_t>(k * w), width));
    }
    return pieces;
}

bool readLayout(std::string_view record, std::string_view layout, std::vector<Field>& fields,
                std::string& problem) {
    const Parsed& p = parsedLayout(layout);
    fields.clear();
    problem.clear();
    return Reader(record, fields, problem).run(p.steps);
}

bool parseInteger(std::string_view text, std::int32_t& value) {
    return integerFromText(std::string(text), value);
}

bool parseReal(std::string_view text, float& value) {
    return realFromText(std::string(text), value);
}

}  // namespace flownet
