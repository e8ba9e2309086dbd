#include "resultshtml.hpp"

#include <sstream>
#include <stdexcept>

#include "commandline.hpp"
#include "graphlayout.hpp"
#include "htmlcharts.hpp"
#include "htmlparts.hpp"
#include "htmltables.hpp"
#include "htmluncertainty.hpp"
#include "resultsdot.hpp"
#include "textio.hpp"

namespace flownet {

namespace {

constexpr const char* kStyle = R"(
body { font-family: "DejaVu Sans", Helvetica, Arial, sans-serif; margin: 1.5em; color: #222; max-width: 80em; }
h1 { font-size: 1.5em; } h2 { border-top: 2px solid #0072B2; padding-top: .5em; }
.meta { color: #555; }
.warnings { border: 2px solid #D55E00; background: #fff3e8; padding: .4em 1em; margin: 1em 0; }
.warnings li { margin: .3em 0; }
figure { margin: 1em 0; overflow-x: auto; } figcaption { color: #555; font-size: .9em; }
table { border-collapse: collapse; margin: 1em 0; font-size: .9em; }
caption { text-align: left; font-weight: bold; padding: .3em 0; }
th, td { border-bottom: 1px solid #ddd; padding: .2em .6em; text-align: left; vertical-align: top; }
td.value { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
.chart text { font-size: 11px; fill: #333; }
details pre { font-size: .75em; overflow-x: auto; background: #f6f6f6; padding: .5em; }
)";

std::string name(const NetworkResults& r, int i) {
    return withoutTrailingBlanks((*r.names)[static_cast<std::size_t>(i - 1)]);
}

std::string figure(const std::string& id, const std::string& body, const std::string& caption) {
    return "<figure id=\"" + id + "\">" + body + "<figcaption>" + htmlText(caption) + "</figcaption></figure>";
}

// The picture of the network (or of its levels) laid out in-process from its DOT description.
std::string picture(const std::string& id, const NetworkResults& r, const PictureOptions& o,
                    const std::string& caption) {
    std::ostringstream dot;
    writeDot(dot, describePicture(r, o), id);
    try {
        return figure(id, "<div class=\"picture\">" + layoutSvg(dot.str()) + "</div>", caption);
    } catch (const std::runtime_error& e) {
        return figure(id, "<p class=\"warnings\">" + htmlText(e.what()) + "</p>", caption);
    }
}

// What the analysis warned of, and what the cycle searches tell about the flows they worked on.
std::vector<std::string> warnings(const NetworkResults& r) {
    std::vector<std::string> w;
    const SteadyState& s = *r.steady;
    if (!s.steady) {
        w.push_back("Out of steady state: the largest imbalance, inflow minus outflow, is " +
                    plainNumber(s.largestImbalance) + " at compartment " + std::to_string(s.largestImbalanceAt) +
                    " (" + name(r, s.largestImbalanceAt) + "), above the tolerance " + plainNumber(r.tolerance) +
                    ". The analysis went on as for a balanced network: read its results with care.");
    }
    if (r.feeding->found) {
        w.push_back(std::to_string(r.feeding->count) +
                    " feeding cycles among the living compartments were removed before the trophic "
                    "aggregation: its levels hold the flows that remain.");
    }
    for (const CycleRemoval* c : {r.feeding, r.whole}) {
        if (c == nullptr) continue;
        int disagree = 0;
        for (const Nexus& x : c->nexuses.nexuses) disagree += x.removed >= 0 && x.removed != x.counted;
        if (disagree > 0)
            w.push_back("Nexus counts do not agree at " + std::to_string(disagree) + " nexus(es) (see the report).");
        if (!c->nexuses.complete) w.push_back("The cycle table is cut short; the report lists every cycle.");
    }
    if (r.structure->contributionTrouble != 0 || r.structure->dependencyTrouble != 0)
        w.push_back("Trouble during matrix inversion: the total contributions or dependencies are not meaningful.");
    if (r.migratory != nullptr && r.migratory->noPrimaryProducer)
        w.push_back("No unambiguous primary producer: every input is taken as primary production.");
    if (r.companion->impactSingular) w.push_back("The total mixed trophic impact is singular; the direct impact is shown.");
    return w;
}

std::string warningList(const NetworkResults& r) {
    const std::vector<std::string> w = warnings(r);
    if (w.empty()) return "";
    std::string s = "<div class=\"warnings\" role=\"alert\"><strong>Warnings</strong><ul>";
    for (const std::string& line : w) s += "<li>" + htmlText(line) + "</li>";
    return s + "</ul></div>";
}

std::string cell(const std::string& path, float x) {
    return "<td class=\"value\"" + dataOf(path, x) + ">" + plainNumber(x) + "</td>";
}

std::string compartments(const NetworkResults& r) {
    std::ostringstream s;
    s << "<table class=\"compartments\"><caption>The compartments</caption><thead><tr><th>#</th><th>name</th>"
         "<th>kind</th><th>stock</th><th>input</th><th>export</th><th>respiration</th><th>throughput</th>"
         "<th>effective trophic level</th></tr></thead><tbody>";
    for (int i = 1; i <= r.N; ++i) {
        const std::string p = "compartments." + std::to_string(i - 1) + ".";
        s << "<tr><td>" << i << "</td><th scope=\"row\">" << htmlText(name(r, i)) << "</th><td>"
          << (i <= r.NL ? "living" : "non-living") << "</td>" << cell(p + "stock", r.stocks(i))
          << cell(p + "input", r.IN(i)) << cell(p + "export", r.EX(i)) << cell(p + "respiration", r.RE(i))
          << cell(p + "throughput", r.steady->inflow(i)) << cell(p + "effectiveTrophicLevel", r.trophic->levels(i))
          << "</tr>";
    }
    s << "</tbody></table>";
    return s.str();
}

std::string trophicLevels(const NetworkResults& r, const std::string& id) {
    std::ostringstream s;
    const TrophicAggregation& t = *r.trophic;
    s << picture("spine-" + id, r, {0.0, true},
                 "The Lindeman spine: what enters each trophic level, the detrital pool beside level 1, "
                 "with the efficiency of each transfer");
    s << "<table class=\"efficiencies\"><caption>Trophic efficiencies</caption><thead><tr><th>from level</th>"
         "<th>to level</th><th>efficiency</th></tr></thead><tbody>";
    for (int k = 1; k <= t.nEfficiencies; ++k) {
        s << "<tr><td>" << k << "</td><td>" << k + 1 << "</td>"
          << cell("trophicAggregation.efficiencies." + std::to_string(k - 1), t.efficiencies(k)) << "</tr>";
    }
    s << "</tbody></table>";
    std::vector<Bar> bars;
    for (int i = 1; i <= r.NL; ++i) {
        bars.push_back({name(r, i), t.levels(i),
                        dataOf("compartments." + std::to_string(i - 1) + ".effectiveTrophicLevel", t.levels(i))});
    }
    s << figure("levels-" + id, rowChart("levels-chart-" + id, bars, 1.0, "effective trophic level"),
                "The effective trophic level of each living compartment");
    return s.str();
}

std::string cycleChart(const NetworkResults& r, const std::string& id) {
    if (r.whole == nullptr || !r.whole->found)
        return "<p id=\"cycles-" + id + "\" class=\"none\">No cycles were found in the whole network.</p>";
    int longest = 1;
    for (int L = 1; L <= r.N; ++L) {
        if (r.whole->normalised(L) != 0.0f) longest = L;
    }
    std::vector<Bar> bars;
    for (int L = 1; L <= longest; ++L) {
        bars.push_back({std::to_string(L), r.whole->normalised(L),
                        dataOf("cycles.wholeNetwork.normalisedCycledFlow." + std::to_string(L - 1), r.whole->normalised(L))});
    }
    return figure("cycles-" + id, barChart("cycles-chart-" + id, bars, "cycle length (arcs); flow cycled over TSTp"),
                  "The cycle distribution: the flow removed on cycles of each length, over the total system throughput");
}

std::string impactMap(const NetworkResults& r, const std::string& id) {
    const CompanionIndices& c = *r.companion;
    const bool total = !c.impactSingular;
    const SquareMatrix& m = total ? c.totalImpact : c.directImpact;
    const std::string path = std::string("companionIndices.mixedTrophicImpact.") + (total ? "total." : "direct.");
    std::vector<std::string> names;
    std::vector<HeatCell> cells;
    for (int i = 1; i <= m.n; ++i) {
        names.push_back(name(r, i));
        for (int j = 1; j <= m.n; ++j)
            cells.push_back({m(i, j), dataOf(path + std::to_string(i - 1) + "." + std::to_string(j - 1), m(i, j))});
    }
    return figure("impact-" + id, heatMap("impact-chart-" + id, names, cells),
                  std::string("The ") + (total ? "total" : "direct") +
                      " mixed trophic impact of each compartment (row) on each other (column): red "
                      "positive, blue negative, white none; point at a cell for its value");
}

}  // namespace

void writeHtmlHead(std::ostream& out, const char* program) {
    out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>" << program
        << " results</title><style>" << kStyle << "</style></head><body>\n<h1>Results of " << program << ' '
        << suiteVersion() << "</h1>\n";
}

void writeHtmlNetwork(std::ostream& out, const NetworkResults& r, const PictureOptions& o, int number,
                      const std::string& report) {
    const std::string id = std::to_string(number);
    out << "<section class=\"network\" id=\"network-" << id << "\" data-file=\"" << htmlText(r.file)
        << "\" data-ordinal=\"" << r.ordinal << "\"><h2>" << htmlText(withoutTrailingBlanks(*r.title))
        << "</h2><p class=\"meta\">" << htmlText(r.file) << ", network " << r.ordinal << ": " << r.N
        << " compartments, " << r.NL << " living";
    if (r.source != nullptr && !r.source->flowUnits.empty()) out << "; flows in " << htmlText(r.source->flowUnits);
    out << "</p>" << warningList(r) << "<h3>The network</h3>"
        << picture("picture-" + id, r, o, "The network: point at a node or an arrow for its values")
        << "<h3>Trophic levels</h3>" << trophicLevels(r, id) << "<h3>Cycles</h3>" << cycleChart(r, id)
        << "<h3>Mixed trophic impact</h3>" << impactMap(r, id) << "<h3>Compartments</h3>" << compartments(r)
        << "<h3>Indices</h3>" << indexTables(r) << uncertaintyTables(r, id) << "<details><summary>The text report</summary><pre>"
        << escapedMarkup(utf8Text(report), false) << "</pre></details></section>\n";
}

void writeHtmlTail(std::ostream& out, const std::vector<RunProblem>& problems) {
    if (!problems.empty()) {
        out << "<div class=\"warnings\" id=\"problems\"><strong>Problems of the run</strong><ul>";
        for (const RunProblem& p : problems) out << "<li>" << htmlText(p.message) << "</li>";
        out << "</ul></div>\n";
    }
    out << "</body></html>\n";
}

}  // namespace flownet
