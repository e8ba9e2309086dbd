#include "resultscsv.hpp"

#include <cmath>
#include <string>
#include <variant>

#include "shortest.hpp"
#include "textencoding.hpp"
#include "textio.hpp"

namespace flownet {

namespace {

// A text field in standard CSV quoting, as valid UTF-8 (see utf8Text) with any NUL, which no CSV
// reader holds, replaced by U+FFFD: quoted when it holds a comma, a quote, a line feed or a
// carriage return, every quote doubled.
std::string csvField(const std::string& bytes) {
    std::string text;
    for (char c : utf8Text(bytes)) {
        if (c == '\0') {
            text += "\xEF\xBF\xBD";
        } else {
            text += c;
        }
    }
    if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// A number as R and Python read it back: NaN and Inf spelt so.
template <class Real>
std::string csvNumber(Real x) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
    return shortestText(x);
}

// A value of the summary: TRUE and FALSE for truths, as R and pandas read them; an empty cell for
// none.
struct CsvCellText {
    std::string operator()(std::monostate) const { return ""; }
    std::string operator()(bool b) const { return b ? "TRUE" : "FALSE"; }
    std::string operator()(long long k) const { return std::to_string(k); }
    std::string operator()(float x) const { return csvNumber(x); }
    std::string operator()(double x) const { return csvNumber(x); }
    std::string operator()(const std::string& t) const { return csvField(t); }
};

}  // namespace

void writeSummaryHeader(std::ostream& out) {
    const char* separator = "";
    for (const SummaryColumn& c : summaryColumns()) {
        out << separator << c.name;
        separator = ",";
    }
    out << '\n';
}

void writeSummaryRow(std::ostream& out, const NetworkResults& r) {
    const char* separator = "";
    for (const SummaryColumn& c : summaryColumns()) {
        out << separator << std::visit(CsvCellText{}, c.value(r));
        separator = ",";
    }
    out << '\n';
}

}  // namespace flownet
