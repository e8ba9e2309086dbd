// Small charts for an HTML page, written as inline SVG: a bar chart and a heat map. Every mark
// carries its value (htmlparts.hpp) and a tooltip.
#pragma once

#include <string>
#include <vector>

namespace flownet {

struct Bar {
    std::string label;  // under the bar
    double value = 0.0;
    std::string data;   // its data attributes
};

// Vertical bars from 0, the largest filling the height; `axis` names the values.
std::string barChart(const std::string& id, const std::vector<Bar>& bars, const std::string& axis);

// Horizontal bars, one per row, for values from `from` up (effective trophic levels from 1).
std::string rowChart(const std::string& id, const std::vector<Bar>& bars, double from,
                     const std::string& axis);

// What a sampled quantity's strip shows: the value of the given network and the median and the
// 2.5 and 97.5 % quantiles over the samples.
struct Interval {
    std::string label;  // in the tooltip
    double value = 0.0, median = 0.0, low = 0.0, high = 0.0;
};

// A small strip for one row of a table, scaled from `from` to `to`: the interval from low to high
// as a bar, the median a line across it, the given value a diamond. A NaN draws nothing.
std::string intervalStrip(const std::string& id, const Interval& v, double from, double to);

struct HeatCell {
    double value = 0.0;
    std::string data;
};

// A square matrix of values between -1 and 1 (beyond, the colours saturate): blue for negative,
// red for positive, white for 0; names[i] labels row and column i; cells[i * n + j].
std::string heatMap(const std::string& id, const std::vector<std::string>& names,
                    const std::vector<HeatCell>& cells);

}  // namespace flownet
