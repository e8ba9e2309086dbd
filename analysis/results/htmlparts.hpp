// The pieces an HTML page of results is written from: escaped text, and numbers that carry the
// value the JSON document gives them (data-json: its path within the network's object, data-value:
// the same number in full), shown in ordinary notation.
#pragma once

#include <string>
#include <string_view>

#include "plainnumber.hpp"
#include "shortest.hpp"
#include "textencoding.hpp"

namespace flownet {

// Text with the characters that begin markup escaped, & < > always and " where the text may stand
// in an attribute value; `text` is valid UTF-8 already.
inline std::string escapedMarkup(std::string_view text, bool quotes) {
    std::string e;
    for (char c : text) {
        switch (c) {
            case '&': e += "&amp;"; break;
            case '<': e += "&lt;"; break;
            case '>': e += "&gt;"; break;
            case '"':
                if (quotes) e += "&quot;";
                else e += c;
                break;
            default: e += c;
        }
    }
    return e;
}

// Text for HTML, attribute values included: valid UTF-8, no control characters, & < > " escaped.
inline std::string htmlText(const std::string& bytes) { return escapedMarkup(printableText(bytes), true); }

// data-json and data-value attributes for a number of the JSON document at `path`; "" for NaN,
// which the document holds as null.
inline std::string dataAttributes(const std::string& path, const std::string& full) {
    return " data-json=\"" + path + "\" data-value=\"" + full + "\"";
}
inline std::string dataOf(const std::string& path, float x) {
    return dataAttributes(path, x != x ? "" : shortestText(x));
}
inline std::string dataOf(const std::string& path, double x) {
    return dataAttributes(path, x != x ? "" : shortestText(x));
}

}  // namespace flownet
