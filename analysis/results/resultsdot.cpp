#include "resultsdot.hpp"

#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "htmlparts.hpp"
#include "plainnumber.hpp"
#include "textencoding.hpp"

namespace flownet {

namespace {

// Okabe-Ito colours: told apart by readers with any common colour vision.
constexpr const char* kInputColour = "#0072B2";        // blue
constexpr const char* kExportColour = "#E69F00";       // orange
constexpr const char* kRespirationColour = "#CC79A7";  // reddish purple
constexpr const char* kFlowColour = "#555555";
constexpr const char* kLivingFill = "#A6DBC8";  // a light bluish green
constexpr const char* kPoolFill = "#E8D9B5";    // sand

// Text for a DOT string: valid UTF-8 without control characters (see printableText), quotes and
// backslashes escaped.
std::string escaped(const std::string& bytes) {
    std::string e;
    for (char c : printableText(bytes)) {
        if (c == '"' || c == '\\') e += '\\';
        e += c;
    }
    return e;
}

// A quoted DOT string of one line, or of several (each line '\n'-separated in `text`).
std::string quoted(const std::string& text) {
    std::string q = "\"";
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        q += escaped(text.substr(start, end - start)) + "\\n";
    return q + escaped(text.substr(start)) + '"';
}

std::string inches(double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", x);
    return text;
}

// Widths from 0.6 to 6 points, growing with the square root of the flow so that small flows stay
// visible beside the large ones.
std::string penWidth(double value, double largest) {
    return inches(0.6 + 5.4 * std::sqrt(value / largest));
}

struct BoundaryStyle {
    const char* prefix;
    const char* word;
    const char* colour;
    const char* style;
};

BoundaryStyle boundaryStyle(ArcKind kind) {
    switch (kind) {
        case ArcKind::Input:
            return {"in_", "input", kInputColour, "solid"};
        case ArcKind::Export:
            return {"ex_", "export", kExportColour, "dashed"};
        case ArcKind::Respiration:
            return {"re_", "respiration", kRespirationColour, "dotted"};
        case ArcKind::Flow:
            break;
    }
    return {"", "flow", kFlowColour, "solid"};
}

void writeNode(std::ostream& out, const PictureNode& n) {
    const bool living = n.kind == NodeKind::Living;
    std::string tooltip = n.name + ": throughput " + plainNumber(n.value);
    if (n.stock > 0.0) tooltip += ", stock " + plainNumber(n.stock);
    out << "  " << n.id << " [id=" << n.id << ", label=" << quoted(n.name + "\n" + plainNumber(n.value))
        << ", tooltip=" << quoted(tooltip)
        << (living ? ", shape=ellipse, class=\"living\", fillcolor=\"" : ", shape=box, class=\"pool\", fillcolor=\"")
        << (living ? kLivingFill : kPoolFill) << '"';
    if (n.width > 0.0) {
        out << ", width=" << inches(n.width)
            << ", height=" << inches(living ? 0.65 * n.width : 0.6 * n.width);
    }
    out << "];\n";
}

int rowOf(const Picture& p, const std::string& id) {
    for (const PictureNode& n : p.nodes) {
        if (n.id == id) return n.row;
    }
    return -1;
}

std::string arcLabel(const Picture& p, const PictureArc& a, const char* word) {
    std::string text = a.kind == ArcKind::Flow ? plainNumber(a.value)
                                               : std::string(word) + " " + plainNumber(a.value);
    if (!a.note.empty()) text += "\n" + a.note;
    return p.arcLabels || a.kind != ArcKind::Flow ? text : "";
}

// A flow between two nodes, or a boundary flow with its marker: an arrow-shaped box beside the
// node, entering from the left for an input, leaving to the right for an export or respiration.
void writeArc(std::ostream& out, const Picture& p, const PictureArc& a, std::size_t k) {
    const BoundaryStyle s = boundaryStyle(a.kind);
    const std::string width = penWidth(a.value, p.largest);
    const std::string tip = (a.kind == ArcKind::Flow ? a.from + " to " + a.to : std::string(s.word)) +
                            ": " + plainNumber(a.value);
    if (a.kind == ArcKind::Flow) {
        // The label of an arrow within a row is placed once the layout is done, where it overlaps
        // nothing, or left out (its value stays in the tooltip).
        const bool flat = a.from != a.to && rowOf(p, a.from) == rowOf(p, a.to);
        out << "  " << a.from << " -> " << a.to << " [id=\"f" << k << "\", penwidth=" << width
            << (flat ? ", xlabel=" : ", label=") << quoted(arcLabel(p, a, s.word))
            << ", tooltip=" << quoted(tip) << ", constraint=false];\n";
        return;
    }
    const std::string marker = s.prefix + a.from;
    out << "  " << marker << " [shape=rarrow, style=\"filled," << s.style << "\", color=\""
        << s.colour << "\", fillcolor=white, fontcolor=\"" << s.colour << "\", fontsize=8, label="
        << quoted(arcLabel(p, a, s.word)) << ", tooltip=" << quoted(tip) << "];\n";
    const bool in = a.kind == ArcKind::Input;
    out << "  " << (in ? marker : a.from) << " -> " << (in ? a.from : marker) << " [id=\"f" << k
        << "\", penwidth=" << width << ", color=\"" << s.colour << "\", style=" << s.style
        << ", arrowhead=" << (in ? "normal" : "empty") << ", tooltip=" << quoted(tip) << "];\n";
}

// The members of each row from left to right: its label, then for each node its input marker,
// the node, and its respiration and export markers.
std::map<int, std::vector<std::string>> rowMembers(const Picture& p) {
    std::map<int, std::vector<std::string>> rows;
    for (const PictureNode& n : p.nodes) {
        std::vector<std::string>& row = rows[n.row];
        const auto marker = [&](ArcKind kind) {
            for (const PictureArc& a : p.arcs) {
                if (a.kind == kind && a.from == n.id) row.push_back(boundaryStyle(kind).prefix + n.id);
            }
        };
        marker(ArcKind::Input);
        row.push_back(n.id);
        marker(ArcKind::Respiration);
        marker(ArcKind::Export);
    }
    return rows;
}

// Each row holds its label and its members, kept in order by invisible edges within the row;
// invisible edges between the labels keep the rows in order, bottom to top.
void writeRows(std::ostream& out, const Picture& p) {
    const std::map<int, std::vector<std::string>> rows = rowMembers(p);
    std::string previous;
    for (const auto& [row, members] : rows) {
        const std::string label = "row" + std::to_string(row);
        out << "  " << label << " [shape=plaintext, style=\"\", fontsize=11, fontcolor=\"#444444\", label="
            << quoted(row == 0 ? "non-living" : "level " + std::to_string(row)) << "];\n";
        out << "  { rank=same; " << label << ";";
        for (const std::string& m : members) out << ' ' << m << ';';
        out << " }\n  " << label;
        for (const std::string& m : members) out << " -> " << m;
        out << " [style=invis];\n";
        if (!previous.empty()) out << "  " << previous << " -> " << label << " [style=invis, weight=10];\n";
        previous = label;
    }
    if (!rows.empty()) out << "  legend -> row" << rows.begin()->first << " [style=invis];\n";
}

// The legend, in a row of its own below the picture: a swatch or an arrow, and what it means.
void writeLegend(std::ostream& out, const Picture& p) {
    const auto row = [&](const std::string& sample, const std::string& text) {
        out << "<tr><td align=\"left\"" << sample << "</td><td align=\"left\">" << escapedMarkup(printableText(text), false)
            << "</td></tr>";
    };
    const auto arrow = [](const char* colour, const char* glyphs) {
        return std::string("><font color=\"") + colour + "\">" + glyphs + "</font>";
    };
    out << "  legend [id=legend, shape=plaintext, style=\"\", fontsize=9, label=<<table border=\"0\" "
           "cellborder=\"0\" cellspacing=\"2\">";
    row(std::string(" bgcolor=\"") + kLivingFill + "\" style=\"rounded\" border=\"1\">",
        "living compartment (ellipse), in the row of its effective trophic level");
    row(std::string(" bgcolor=\"") + kPoolFill + "\" border=\"1\">", "non-living pool (box), in the bottom row");
    row(arrow(kInputColour, "━━▶"), "input: solid, entering from the left");
    row(arrow(kExportColour, "╌╌▷"), "export: dashed, leaving to the right");
    row(arrow(kRespirationColour, "┈┈▷"), "respiration: dotted, leaving to the right");
    row(arrow(kFlowColour, "━━▶"), "flow between compartments; widths grow with the flow");
    if (p.sizedByStock) row(">", "node areas grow with the standing stocks (each at least as large as its label)");
    if (!p.units.empty()) row(">", "flows in " + p.units);
    for (const std::string& note : p.notes) row(">", note);
    out << "</table>>];\n  { rank=source; legend; }\n";
}

}  // namespace

void writeDot(std::ostream& out, const Picture& p, const std::string& graphName) {
    out << "digraph " << quoted(graphName) << " {\n"
        << "  graph [label=" << quoted(p.title) << ", labelloc=t, fontname=\"Helvetica\", "
        << "fontsize=14, rankdir=BT, newrank=true, nodesep=0.2, ranksep=0.45, forcelabels=false];\n"
        << "  node [fontname=\"Helvetica\", fontsize=10, style=filled, penwidth=0.8];\n"
        << "  edge [fontname=\"Helvetica\", fontsize=8, color=\"" << kFlowColour
        << "\", fontcolor=\"#333333\", arrowsize=0.6];\n";
    for (const PictureNode& n : p.nodes) writeNode(out, n);
    writeRows(out, p);
    for (std::size_t k = 0; k < p.arcs.size(); ++k) writeArc(out, p, p.arcs[k], k + 1);
    writeLegend(out, p);
    out << "}\n";
}

void writeDot(std::ostream& out, const NetworkResults& r, const PictureOptions& o) {
    writeDot(out, describePicture(r, o), "network " + std::to_string(r.ordinal));
}

}  // namespace flownet
