// A picture of a network, before it is drawn: its nodes in rows and its arrows, with what each
// stands for. The DOT writer renders it as a Graphviz graph, and the HTML page lays that graph out
// in-process; both draw from this one description.
//
// Two views: the compartments (the living ones in rows by effective trophic level, rounded to the
// nearest whole level, the non-living pools in a row of their own at the bottom) and the trophic
// levels of the Lindeman aggregation (the chain of levels with the detrital pool), the view to
// take of a network too large to read compartment by compartment.
#pragma once

#include <string>
#include <vector>

#include "results.hpp"

namespace flownet {

struct PictureOptions {
    // Flows (and compartments with a throughflow) below this share of the total system throughflow
    // TST are left out; 0 draws everything.
    double minFlowShare = 0.0;
    bool levels = false;  // the trophic levels rather than the compartments
};

enum class NodeKind { Living, Pool };
enum class ArcKind { Flow, Input, Export, Respiration };

struct PictureNode {
    std::string id, name;
    double value = 0.0;   // its throughput (what enters a level)
    double stock = 0.0;   // its standing stock, 0 when not known
    NodeKind kind = NodeKind::Living;
    int row = 0;          // 0: the non-living row; k: trophic level k
    double width = 0.0;   // inches, from the stock; 0: as large as the label needs
};

struct PictureArc {
    std::string from, to;  // node ids; for a boundary arc the other end is the boundary
    double value = 0.0;
    ArcKind kind = ArcKind::Flow;
    std::string note;      // a second line of the label (a trophic efficiency), or empty
};

struct Picture {
    std::string title, units;
    std::vector<PictureNode> nodes;
    std::vector<PictureArc> arcs;
    double largest = 1.0;          // the largest arc value: the widest arrow
    bool sizedByStock = false;
    bool arcLabels = true;         // labels on the arrows (else their values are tooltips only)
    std::vector<std::string> notes;  // what the legend adds: what was left out
};

Picture describeCompartments(const NetworkResults& r, const PictureOptions& o);
Picture describeLevels(const NetworkResults& r, const PictureOptions& o);
inline Picture describePicture(const NetworkResults& r, const PictureOptions& o) {
    return o.levels ? describeLevels(r, o) : describeCompartments(r, o);
}

}  // namespace flownet
