#include "textencoding.hpp"

#include <cstdint>

namespace flownet {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 bytes 0x80 to 0x9F; the unassigned ones (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their
// own number, as C1 controls.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence at `at` (1 to 4), with its code point; 0 when the
// bytes there are not one (a stray continuation byte, a sequence cut short, an overlong form, a
// surrogate, a code point above U+10FFFF).
std::size_t utf8Sequence(std::string_view s, std::size_t at, char32_t& c) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(s[at + k]); };
    const std::uint8_t b0 = byte(0);
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    std::size_t length = 0;
    char32_t least = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        least = 0x80;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        least = 0x800;
        c = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        least = 0x10000;
        c = b0 & 0x07;
    } else {
        return 0;
    }
    if (at + length > s.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(k) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

template <class Keep>
std::string recoded(std::string_view bytes, Keep keep) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t c = 0;
        std::size_t length = utf8Sequence(bytes, at, c);
        if (length == 0) {  // a byte of another encoding
            const auto b = static_cast<std::uint8_t>(bytes[at]);
            c = b < 0xA0 ? kWindows1252High[b - 0x80] : b;
            length = 1;
        }
        appendUtf8(out, keep(c) ? c : kReplacement);
        at += length;
    }
    return out;
}

}  // namespace

std::string utf8Text(std::string_view bytes) {
    return recoded(bytes, [](char32_t) { return true; });
}

std::string printableText(std::string_view bytes) {
    return recoded(bytes, [](char32_t c) {
        return c == '\t' || (c >= 0x20 && c < 0x7F) || c >= 0xA0;
    });
}

}  // namespace flownet
