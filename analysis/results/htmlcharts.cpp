#include "htmlcharts.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "htmlparts.hpp"

namespace flownet {

namespace {

std::string px(double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", x);
    return text;
}

std::string svgStart(const std::string& id, double width, double height, const std::string& label) {
    return "<svg id=\"" + id + "\" class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           px(width) + "\" height=\"" + px(height) + "\" viewBox=\"0 0 " + px(width) + " " +
           px(height) + "\" role=\"img\" aria-label=\"" + htmlText(label) + "\">";
}

std::string text(double x, double y, const std::string& t, const char* anchor, const char* extra = "") {
    return "<text x=\"" + px(x) + "\" y=\"" + px(y) + "\" text-anchor=\"" + anchor + "\"" + extra +
           ">" + htmlText(t) + "</text>";
}

// Red (positive) or blue (negative) of a strength from 0 to 1: the ends of a diverging scheme
// that colour-blind readers tell apart.
std::string shade(double v) {
    if (std::isnan(v)) return "#cccccc";
    const double s = std::clamp(std::fabs(v), 0.0, 1.0);
    const int r0 = v >= 0 ? 178 : 33, g0 = v >= 0 ? 24 : 102, b0 = v >= 0 ? 43 : 172;
    char c[16];
    std::snprintf(c, sizeof c, "#%02x%02x%02x", static_cast<int>(255 + (r0 - 255) * s),
                  static_cast<int>(255 + (g0 - 255) * s), static_cast<int>(255 + (b0 - 255) * s));
    return c;
}

}  // namespace

std::string barChart(const std::string& id, const std::vector<Bar>& bars, const std::string& axis) {
    const double barWidth = std::clamp(480.0 / std::max<std::size_t>(bars.size(), 1), 8.0, 40.0);
    const double left = 56, top = 16, height = 160, width = left + barWidth * bars.size() + 16;
    double largest = 0.0;
    for (const Bar& b : bars) largest = std::max(largest, b.value);
    if (largest <= 0.0) largest = 1.0;
    std::ostringstream s;
    s << svgStart(id, std::max(width, 240.0), top + height + 40, axis);
    s << "<line x1=\"" << left << "\" y1=\"" << top + height << "\" x2=\"" << px(width - 8) << "\" y2=\""
      << top + height << "\" stroke=\"#333\"/>";
    s << text(left - 4, top + 8, plainNumber(largest), "end") << text(left - 4, top + height, "0", "end");
    for (std::size_t k = 0; k < bars.size(); ++k) {
        const Bar& b = bars[k];
        const double h = std::max(0.0, b.value) / largest * height, x = left + barWidth * k + 1;
        s << "<rect class=\"bar\" x=\"" << px(x) << "\" y=\"" << px(top + height - h) << "\" width=\""
          << px(barWidth - 2) << "\" height=\"" << px(h) << "\" fill=\"#0072B2\"" << b.data << "><title>"
          << htmlText(b.label + ": " + plainNumber(b.value)) << "</title></rect>";
        s << text(x + barWidth / 2 - 1, top + height + 14, b.label, "middle");
    }
    s << text(left, top + height + 34, axis, "start") << "</svg>";
    return s.str();
}

std::string rowChart(const std::string& id, const std::vector<Bar>& bars, double from,
                     const std::string& axis) {
    const double left = 190, top = 8, row = 16, plot = 360;
    double largest = from + 1.0;
    for (const Bar& b : bars) largest = std::max(largest, std::ceil(b.value));
    const double scale = plot / (largest - from), height = top + row * bars.size() + 36;
    std::ostringstream s;
    s << svgStart(id, left + plot + 60, height, axis);
    for (double tick = from; tick <= largest; tick += 1.0) {
        const double x = left + (tick - from) * scale;
        s << "<line x1=\"" << px(x) << "\" y1=\"" << top << "\" x2=\"" << px(x) << "\" y2=\""
          << px(height - 30) << "\" stroke=\"#ddd\"/>" << text(x, height - 18, plainNumber(tick), "middle");
    }
    for (std::size_t k = 0; k < bars.size(); ++k) {
        const Bar& b = bars[k];
        const double y = top + row * k, w = std::max(0.0, b.value - from) * scale;
        s << text(left - 6, y + 12, b.label, "end") << "<rect class=\"bar\" x=\"" << left << "\" y=\""
          << px(y + 2) << "\" width=\"" << px(std::max(w, 1.0)) << "\" height=\"" << row - 4
          << "\" fill=\"#009E73\"" << b.data << "><title>" << htmlText(b.label + ": " + plainNumber(b.value))
          << "</title></rect>" << text(left + w + 4, y + 12, plainNumber(b.value), "start");
    }
    s << text(left, height - 4, axis, "start") << "</svg>";
    return s.str();
}

std::string intervalStrip(const std::string& id, const Interval& v, double from, double to) {
    const double width = 160, height = 16, pad = 6;
    std::ostringstream s;
    s << svgStart(id, width, height, v.label + ": 95 % interval of the samples, and the given value");
    if (!(to > from)) {  // one value only: widen the scale around it
        from -= 0.5;
        to += 0.5;
    }
    const auto x = [&](double t) { return pad + (t - from) / (to - from) * (width - 2 * pad); };
    s << "<line x1=\"" << px(pad) << "\" y1=\"8\" x2=\"" << px(width - pad) << "\" y2=\"8\" stroke=\"#ddd\"/>";
    if (!std::isnan(v.low) && !std::isnan(v.high)) {
        s << "<rect class=\"interval\" x=\"" << px(x(v.low)) << "\" y=\"4\" width=\""
          << px(std::max(x(v.high) - x(v.low), 1.0)) << "\" height=\"8\" fill=\"#9ecae1\"><title>"
          << htmlText("95 % of the samples: " + plainNumber(v.low) + " to " + plainNumber(v.high))
          << "</title></rect>";
    }
    if (!std::isnan(v.median)) {
        s << "<rect class=\"median\" x=\"" << px(x(v.median) - 1) << "\" y=\"2\" width=\"2\" height=\"12\" "
          << "fill=\"#08519c\"><title>" << htmlText("median " + plainNumber(v.median)) << "</title></rect>";
    }
    if (!std::isnan(v.value)) {
        const double c = x(v.value);
        s << "<polygon class=\"given\" points=\"" << px(c) << ",2 " << px(c + 5) << ",8 " << px(c) << ",14 "
          << px(c - 5) << ",8\" fill=\"#D55E00\"><title>" << htmlText("the given network: " + plainNumber(v.value))
          << "</title></polygon>";
    }
    s << "</svg>";
    return s.str();
}

std::string heatMap(const std::string& id, const std::vector<std::string>& names,
                    const std::vector<HeatCell>& cells) {
    const std::size_t n = names.size();
    const double cell = std::clamp(560.0 / std::max<std::size_t>(n, 1), 5.0, 28.0);
    const bool labelled = cell >= 10.0;
    const double margin = labelled ? 150 : 20, size = margin + cell * n;
    std::ostringstream s;
    s << svgStart(id, size + 10, size + 10, "mixed trophic impact");
    for (std::size_t i = 0; i < n; ++i) {
        if (!labelled) break;
        const double mid = margin + cell * i + cell / 2 + 4;
        s << text(margin - 4, mid, names[i], "end", " font-size=\"10\"");
        s << "<text transform=\"translate(" << px(mid - 2) << "," << px(margin - 4)
          << ") rotate(-60)\" font-size=\"10\">" << htmlText(names[i]) << "</text>";
    }
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            const HeatCell& c = cells[i * n + j];
            s << "<rect class=\"cell\" x=\"" << px(margin + cell * j) << "\" y=\"" << px(margin + cell * i)
              << "\" width=\"" << px(cell) << "\" height=\"" << px(cell) << "\" fill=\"" << shade(c.value)
              << "\"" << c.data << "><title>" << htmlText(names[i] + " on " + names[j] + ": " + plainNumber(c.value))
              << "</title></rect>";
        }
    }
    s << "</svg>";
    return s.str();
}

}  // namespace flownet
