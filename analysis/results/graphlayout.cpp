#include "graphlayout.hpp"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <memory>
#include <stdexcept>

namespace flownet {

namespace {

// One context for the whole run: the text layout of Graphviz caches font metrics beyond the life
// of a context, so that a second context would read what the first one freed. Pictures are laid
// out one at a time, on the thread of the run.
GVC_t* context() {
    static GVC_t* const c = gvContext();
    return c;
}
struct GraphCloser {
    void operator()(Agraph_t* g) const { agclose(g); }
};

// The drawing from its first element on: the page holds it inline.
std::string inlineSvg(const char* data, unsigned int length) {
    const std::string svg(data, length);
    const std::size_t start = svg.find("<svg");
    return start == std::string::npos ? svg : svg.substr(start);
}

}  // namespace

std::string layoutSvg(const std::string& dot) {
    agseterr(AGERR);  // warnings (a node that grew past its fixed size, ...) are not told
    GVC_t* const gvc = context();
    const std::unique_ptr<Agraph_t, GraphCloser> graph(agmemread(dot.c_str()));
    if (gvc == nullptr || graph == nullptr) throw std::runtime_error("Graphviz cannot read the picture");
    if (gvLayout(gvc, graph.get(), "dot") != 0) throw std::runtime_error("Graphviz cannot lay out the picture");
    char* data = nullptr;
    unsigned int length = 0;
    const int rendered = gvRenderData(gvc, graph.get(), "svg", &data, &length);
    std::string svg = rendered == 0 && data != nullptr ? inlineSvg(data, length) : std::string();
    gvFreeRenderData(data);
    gvFreeLayout(gvc, graph.get());
    if (svg.empty()) throw std::runtime_error("Graphviz cannot draw the picture");
    return svg;
}

}  // namespace flownet
