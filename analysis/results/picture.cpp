#include "picture.hpp"

#include <algorithm>
#include <cmath>

#include "plainnumber.hpp"
#include "textio.hpp"

namespace flownet {

namespace {

// The largest node is 1.6 inches wide; the others have areas in proportion to their stocks, but
// none smaller than its label.
void sizeByStock(Picture& p) {
    double largest = 0.0;
    for (const PictureNode& n : p.nodes) largest = std::max(largest, n.stock);
    p.sizedByStock = largest > 0.0;
    if (!p.sizedByStock) return;
    for (PictureNode& n : p.nodes) n.width = 1.6 * std::sqrt(n.stock / largest);
}

// The widest arrow, and labels on the arrows when there are few enough to be read.
void finish(Picture& p) {
    p.largest = 0.0;
    for (const PictureArc& a : p.arcs) p.largest = std::max(p.largest, a.value);
    if (p.largest <= 0.0) p.largest = 1.0;
    p.arcLabels = p.arcs.size() <= 80;
    if (!p.arcLabels) p.notes.push_back("values of the arrows shown on pointing at them");
}

void boundary(Picture& p, const std::string& id, double in, double ex, double re, double least) {
    const std::pair<ArcKind, double> kinds[] = {
        {ArcKind::Input, in}, {ArcKind::Export, ex}, {ArcKind::Respiration, re}};
    for (const auto& [kind, value] : kinds) {
        if (value > 0.0 && value >= least) p.arcs.push_back({id, "", value, kind, ""});
    }
}

std::string head(const NetworkResults& r, Picture& p) {
    p.title = withoutTrailingBlanks(*r.title);
    if (r.source != nullptr) p.units = r.source->flowUnits;
    return p.title;
}

std::string leftOut(double share, double least) {
    return "flows below " + plainNumber(share * 100.0) + "% of TST (" + plainNumber(least) +
           ") not drawn";
}

}  // namespace

Picture describeCompartments(const NetworkResults& r, const PictureOptions& o) {
    Picture p;
    head(r, p);
    const double least = o.minFlowShare * r.companion->TST;
    std::vector<bool> drawn(static_cast<std::size_t>(r.N) + 1, false);
    int hidden = 0;
    for (int i = 1; i <= r.N; ++i) {
        const double throughput = r.steady->inflow(i);
        if (o.minFlowShare > 0.0 && throughput < least) {
            ++hidden;
            continue;
        }
        drawn[static_cast<std::size_t>(i)] = true;
        const bool living = i <= r.NL;
        const long level = std::max(1L, std::lround(r.trophic->levels(i)));
        p.nodes.push_back({"c" + std::to_string(i),
                           withoutTrailingBlanks((*r.names)[static_cast<std::size_t>(i - 1)]),
                           throughput, std::max(0.0, static_cast<double>(r.stocks(i))),
                           living ? NodeKind::Living : NodeKind::Pool,
                           living ? static_cast<int>(level) : 0, 0.0});
    }
    sizeByStock(p);
    for (int i = 1; i <= r.N; ++i) {
        if (!drawn[static_cast<std::size_t>(i)]) continue;
        const std::string from = "c" + std::to_string(i);
        for (int j = 1; j <= r.N; ++j) {
            const double f = r.flows(i, j);
            if (f > 0.0 && f >= least && drawn[static_cast<std::size_t>(j)])
                p.arcs.push_back({from, "c" + std::to_string(j), f, ArcKind::Flow, ""});
        }
        boundary(p, from, r.IN(i), r.EX(i), r.RE(i), least);
    }
    if (o.minFlowShare > 0.0) {
        p.notes.push_back(leftOut(o.minFlowShare, least));
        if (hidden > 0) {
            p.notes.push_back(std::to_string(hidden) + " compartment" + (hidden > 1 ? "s" : "") +
                              " of smaller throughput not drawn");
        }
    }
    finish(p);
    return p;
}

namespace {

// The levels that receive anything along the spine (the grazing chain without a pool).
int levelsDrawn(const NetworkResults& r) {
    const TrophicAggregation& t = *r.trophic;
    const bool pool = r.NL < r.N;
    int m = 0;
    while (m < r.NL && (pool ? t.spine(m + 1) : t.chain(m + 1)) > 0.0f) ++m;
    return m;
}

}  // namespace

Picture describeLevels(const NetworkResults& r, const PictureOptions& o) {
    Picture p;
    head(r, p);
    const TrophicAggregation& t = *r.trophic;
    const bool pool = r.NL < r.N;
    const double least = o.minFlowShare * r.companion->TST;
    const int m = levelsDrawn(r);
    for (int k = 1; k <= m; ++k) {
        const std::string id = "L" + std::to_string(k);
        p.nodes.push_back({id, "level " + std::to_string(k), pool ? t.spine(k) : t.chain(k), 0.0,
                           NodeKind::Living, k, 0.0});
        if (k < m && t.chain(k + 1) >= least) {
            p.arcs.push_back({id, "L" + std::to_string(k + 1), t.chain(k + 1), ArcKind::Flow,
                              "efficiency " + plainNumber(100.0 * t.efficiencies(k)) + "%"});
        }
        boundary(p, id, t.inputs(k), t.exports(k), t.respirations(k), least);
        if (pool && t.returns(k) > 0.0f && t.returns(k) >= least)
            p.arcs.push_back({id, "D", t.returns(k), ArcKind::Flow, ""});
    }
    if (pool) {
        double throughput = 0.0;
        for (int i = r.NL + 1; i <= r.N; ++i) throughput += r.steady->inflow(i);
        p.nodes.push_back({"D", "detrital pool", throughput, 0.0, NodeKind::Pool, 0, 0.0});
        if (m >= 2 && t.detritivory > 0.0f && t.detritivory >= least)
            p.arcs.push_back({"D", "L2", t.detritivory, ArcKind::Flow, "detritivory"});
        if (t.circulation > 0.0f && t.circulation >= least)
            p.arcs.push_back({"D", "D", t.circulation, ArcKind::Flow, "circulation"});
        boundary(p, "D", t.poolInput, t.exports(r.N), t.respirations(r.N), least);
    }
    if (o.minFlowShare > 0.0) p.notes.push_back(leftOut(o.minFlowShare, least));
    finish(p);
    return p;
}

}  // namespace flownet
