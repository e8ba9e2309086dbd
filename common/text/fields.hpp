// Inside the formatter: the line being built, and the I, E and F fields appended to it. Not for
// callers outside common/layout*.cpp and fields.cpp: they include layout.hpp.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace flownet::layout_detail {

// The text of a layout's lines, built in place in a store that is kept from line to line: the
// room of a field is taken, then filled.
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

// Iw: an integer right-aligned in w columns; w asterisks when it does not fit. (Here, to be
// inlined into the writer: the cycle listings write millions of integer fields.)
inline void appendInteger(LineBuffer& out, long long value, int w) {
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

// Ew.d and Fw.d, as described in layout.hpp.
void appendExponent(LineBuffer& out, double x, int w, int d);
void appendFixed(LineBuffer& out, double x, int w, int d);

}  // namespace flownet::layout_detail
