// The fixed-column record reader and the reader of free-form numbers.
#include "records.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "layout_parse.hpp"

namespace flownet {

namespace {

using layout_detail::Step;

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
            case Step::Kind::Skip:
                col_ += static_cast<std::size_t>(n.w);
                return true;
            case Step::Kind::Literal:
                col_ += n.size;
                return true;
            case Step::Kind::Slash:
                throw std::logic_error("a reading layout reads one record");
            case Step::Kind::Text: {
                if (n.w < 0) throw std::logic_error("a reading layout needs text widths");
                Field f;
                f.kind = Field::Kind::Text;
                f.s = columns(n.w);
                fields_.push_back(std::move(f));
                return true;
            }
            case Step::Kind::Int: {
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

bool readLayout(std::string_view record, std::string_view layout, std::vector<Field>& fields,
                std::string& problem) {
    const layout_detail::Parsed& p = layout_detail::formatterState().layouts.find(layout);
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
