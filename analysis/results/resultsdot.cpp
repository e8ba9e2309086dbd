#include "resultsdot.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "textencoding.hpp"
#include "textio.hpp"

namespace flownet {

namespace {

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

std::string quoted(const std::string& text) {
    return '"' + escaped(text) + '"';
}

// Four significant digits, enough to read a flow off the picture.
std::string label(float x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", static_cast<double>(x));
    return text;
}

// Widths from 0.5 to 6 points, growing with the square root of the flow so that small flows stay
// visible beside the large ones.
std::string width(float value, float largest) {
    const double w = 0.5 + 5.5 * std::sqrt(static_cast<double>(value) / largest);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", w);
    return text;
}

void arc(std::ostream& out, const std::string& from, const std::string& to, float value,
         float largest, const char* colour) {
    out << "  " << from << " -> " << to << " [penwidth=" << width(value, largest) << ", color=\""
        << colour << "\", xlabel=" << quoted(label(value)) << "];\n";
}

// The largest flow of the picture, inputs, exports and respirations included (1 when there is
// none): the flow of the widest arc.
float largestFlow(const NetworkResults& r) {
    float largest = 0.0f;
    for (int i = 1; i <= r.N; ++i) {
        largest = std::max({largest, r.IN(i), r.EX(i), r.RE(i)});
        for (int j = 1; j <= r.N; ++j) largest = std::max(largest, r.flows(i, j));
    }
    return largest > 0.0f ? largest : 1.0f;
}

// The compartments, named and with their throughputs: ellipses for the living, boxes for the
// others.
void writeNodes(std::ostream& out, const NetworkResults& r) {
    for (int i = 1; i <= r.N; ++i) {
        const bool living = i <= r.NL;
        out << "  c" << i << " [label=" << '"'
            << escaped(withoutTrailingBlanks((*r.names)[static_cast<std::size_t>(i - 1)])) << "\\n"
            << label(r.steady->inflow(i)) << '"'
            << (living ? ", shape=ellipse, fillcolor=\"#c7e9c0\""
                       : ", shape=box, fillcolor=\"#e6d5b8\"")
            << "];\n";
    }
}

// The living compartments, rank by rank of their effective trophic level rounded to the nearest
// whole level; the non-living ones together at the bottom.
void writeRanks(std::ostream& out, const NetworkResults& r) {
    std::map<long, std::vector<int>> ranks;
    for (int i = 1; i <= r.NL; ++i) ranks[std::lround(r.trophic->levels(i))].push_back(i);
    for (const auto& [level, members] : ranks) {
        out << "  { rank=same;";
        for (int i : members) out << " c" << i << ";";
        out << " }\n";
    }
    if (r.NL < r.N) {
        out << "  { rank=min;";
        for (int i = r.NL + 1; i <= r.N; ++i) out << " c" << i << ";";
        out << " }\n";
    }
}

// The boundary: one point for each input, export and respiration.
void writeBoundary(std::ostream& out, const NetworkResults& r, float largest) {
    for (int i = 1; i <= r.N; ++i) {
        const std::string c = "c" + std::to_string(i), k = std::to_string(i);
        if (r.IN(i) > 0.0f) {
            out << "  in" << k << " [shape=point, label=\"\"];\n";
            arc(out, "in" + k, c, r.IN(i), largest, "#238b45");
        }
        if (r.EX(i) > 0.0f) {
            out << "  ex" << k << " [shape=point, label=\"\"];\n";
            arc(out, c, "ex" + k, r.EX(i), largest, "#2171b5");
        }
        if (r.RE(i) > 0.0f) {
            out << "  re" << k << " [shape=point, label=\"\"];\n";
            arc(out, c, "re" + k, r.RE(i), largest, "#cb181d");
        }
    }
}

}  // namespace

void writeDot(std::ostream& out, const NetworkResults& r) {
    const float largest = largestFlow(r);
    out << "digraph " << quoted("network " + std::to_string(r.ordinal)) << " {\n"
        << "  label=" << quoted(withoutTrailingBlanks(*r.title)) << "; labelloc=t; rankdir=BT;\n"
        << "  node [fontname=\"Helvetica\", style=filled];\n"
        << "  edge [fontname=\"Helvetica\", fontsize=9];\n";
    writeNodes(out, r);
    writeRanks(out, r);
    for (int i = 1; i <= r.N; ++i) {
        for (int j = 1; j <= r.N; ++j) {
            if (r.flows(i, j) > 0.0f) {
                arc(out, "c" + std::to_string(i), "c" + std::to_string(j), r.flows(i, j), largest,
                    "black");
            }
        }
    }
    writeBoundary(out, r, largest);
    out << "}\n";
}

}  // namespace flownet
