#include "htmluncertainty.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string_view>

#include "htmlcharts.hpp"
#include "htmlparts.hpp"

namespace flownet {

namespace {

constexpr std::string_view kLevelPrefix = "effectiveTrophicLevel[";

std::string cell(const std::string& path, double x) {
    return "<td class=\"value\"" + dataOf(path, x) + ">" + plainNumber(x) + "</td>";
}

Interval intervalOf(const UncertaintyResult& u, std::size_t q) {
    const QuantitySummary& s = u.summaries[q];
    return {u.quantityNames[q], u.given[q], s.median, s.low, s.high};
}

// The cells of quantity q: the given value and its summary.
std::string summaryCells(const UncertaintyResult& u, std::size_t q) {
    const QuantitySummary& s = u.summaries[q];
    const std::string p = "uncertainty.quantities." + std::to_string(q) + ".";
    return cell(p + "value", u.given[q]) + cell(p + "mean", s.mean) + cell(p + "sd", s.sd) +
           cell(p + "median", s.median) + cell(p + "q2.5", s.low) + cell(p + "q97.5", s.high);
}

const char* kHeader =
    "<th>value</th><th>mean</th><th>sd</th><th>median</th><th>2.5&nbsp;%</th><th>97.5&nbsp;%</th>"
    "<th>95 % of the samples (bar), median (line), the given network (diamond)</th></tr></thead><tbody>";

// Each network-wide quantity on a scale of its own.
std::string networkTable(const UncertaintyResult& u, const std::string& id) {
    std::ostringstream s;
    s << "<table id=\"uncertainty-" << id << "\" class=\"uncertainty\"><caption>The network-wide "
         "quantities over the plausible networks</caption><thead><tr><th>quantity</th>" << kHeader;
    for (std::size_t q = 0; q < u.quantityNames.size(); ++q) {
        if (u.quantityNames[q].find('[') != std::string::npos) continue;
        const Interval v = intervalOf(u, q);
        // Centred on the given value, the interval's farther end at 80 % of the half-width.
        const double half = 1.25 * std::fmax(std::fabs(v.high - v.value), std::fabs(v.value - v.low));
        const double from = v.value - half, to = v.value + half;
        s << "<tr><th scope=\"row\">" << htmlText(v.label) << "</th>" << summaryCells(u, q) << "<td>"
          << intervalStrip("uncertainty-strip-" + id + "-" + std::to_string(q), v, from, to) << "</td></tr>";
    }
    s << "</tbody></table>";
    return s.str();
}

// The effective trophic levels on one scale, from level 1.
std::string levelTable(const UncertaintyResult& u, const std::string& id) {
    std::vector<std::size_t> rows;
    double top = 2.0;
    for (std::size_t q = 0; q < u.quantityNames.size(); ++q) {
        if (u.quantityNames[q].rfind(kLevelPrefix, 0) != 0) continue;
        rows.push_back(q);
        for (double x : {u.summaries[q].high, u.given[q]}) {
            if (std::isfinite(x)) top = std::max(top, std::ceil(x));
        }
    }
    if (rows.empty()) {
        return "<p class=\"none\">The living compartments hold feeding cycles: their effective trophic "
               "levels were not sampled.</p>";
    }
    std::ostringstream s;
    s << "<table id=\"uncertainty-levels-" << id << "\" class=\"uncertainty\"><caption>The effective "
         "trophic levels over the plausible networks (the strips from level 1 to "
      << top << ")</caption><thead><tr><th>compartment</th>" << kHeader;
    for (std::size_t q : rows) {
        const std::string& name = u.quantityNames[q];
        const std::string compartment = name.substr(kLevelPrefix.size(), name.size() - kLevelPrefix.size() - 1);
        s << "<tr><th scope=\"row\">" << htmlText(compartment) << "</th>" << summaryCells(u, q) << "<td>"
          << intervalStrip("uncertainty-strip-" + id + "-" + std::to_string(q), intervalOf(u, q), 1.0, top)
          << "</td></tr>";
    }
    s << "</tbody></table>";
    return s.str();
}

}  // namespace

std::string uncertaintyTables(const NetworkResults& r, const std::string& id) {
    if (r.uncertainty == nullptr) return "";
    const UncertaintyResult& u = *r.uncertainty;
    const UncertaintyOptions& o = u.options;
    std::ostringstream s;
    s << "<h3>Uncertainty</h3><p class=\"meta\">" << o.samples << " plausible networks within the ranges of "
      << u.polytope.unknowns.size() << " flows (" << u.polytope.dimension << " free dimensions), drawn by "
      << o.chains << " hit-and-run chains from seed " << o.seed << "; " << plainNumber(100.0 * u.acceptance)
      << " % of the steps moved. The effective sample size of each quantity is in the JSON document."
      << "</p>" << networkTable(u, id) << levelTable(u, id);
    return s.str();
}

}  // namespace flownet
