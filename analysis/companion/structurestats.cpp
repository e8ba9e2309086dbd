#include "structurestats.hpp"

#include <algorithm>
#include <cmath>
#include <functional>

namespace flownet {

std::vector<int> strongComponents(const Eigen::MatrixXd& A, int& count) {
    // Tarjan's algorithm: a depth-first search that keeps the nodes not yet assigned on a stack;
    // a node whose lowest reachable index is its own closes a component.
    const int n = static_cast<int>(A.rows());
    std::vector<int> index(static_cast<std::size_t>(n), -1), low(index), component(index);
    std::vector<int> stack;
    std::vector<bool> onStack(static_cast<std::size_t>(n), false);
    int next = 0;
    count = 0;
    const auto at = [](int i) { return static_cast<std::size_t>(i); };
    std::function<void(int)> visit = [&](int v) {
        index[at(v)] = low[at(v)] = next++;
        stack.push_back(v);
        onStack[at(v)] = true;
        for (int w = 0; w < n; ++w) {
            if (A(v, w) == 0.0) continue;
            if (index[at(w)] < 0) {
                visit(w);
                low[at(v)] = std::min(low[at(v)], low[at(w)]);
            } else if (onStack[at(w)]) {
                low[at(v)] = std::min(low[at(v)], index[at(w)]);
            }
        }
        if (low[at(v)] != index[at(v)]) return;
        int w = -1;
        do {
            w = stack.back();
            stack.pop_back();
            onStack[at(w)] = false;
            component[at(w)] = count;
        } while (w != v);
        ++count;
    };
    for (int v = 0; v < n; ++v) {
        if (index[at(v)] < 0) visit(v);
    }
    return component;
}

namespace {

// The eigenvalues of each component's block, gathered; the spectral radius of each block.
void componentSpectra(const Eigen::MatrixXd& A, const std::vector<int>& component, int count,
                      std::vector<double>& moduli, std::vector<double>& radii) {
    for (int c = 0; c < count; ++c) {
        std::vector<int> members;
        for (int i = 0; i < static_cast<int>(component.size()); ++i) {
            if (component[static_cast<std::size_t>(i)] == c) members.push_back(i);
        }
        const int m = static_cast<int>(members.size());
        Eigen::MatrixXd B(m, m);
        for (int j = 0; j < m; ++j) {
            for (int i = 0; i < m; ++i) {
                B(i, j) =
                    A(members[static_cast<std::size_t>(i)], members[static_cast<std::size_t>(j)]);
            }
        }
        const Eigen::VectorXcd values = eigenvaluesOf(B);
        double radius = 0.0;
        for (Eigen::Index k = 0; k < values.size(); ++k) {
            moduli.push_back(std::abs(values(k)));
            radius = std::max(radius, std::abs(values(k)));
        }
        radii.push_back(radius);
    }
}

}  // namespace

StructureStatistics structureStatistics(const PeerNetwork& p) {
    StructureStatistics s;
    s.n = p.n;
    s.adjacency = (p.F.array() > 0.0).cast<double>().matrix();
    s.links = static_cast<int>(s.adjacency.sum());
    const double n = p.n;
    s.connectance = quotient(s.links, n * n);
    s.linkDensity = quotient(s.links, n);

    const std::vector<int> component = strongComponents(s.adjacency, s.components);
    std::vector<int> sizes(static_cast<std::size_t>(s.components), 0);
    for (int c : component) ++sizes[static_cast<std::size_t>(c)];
    int inBig = 0;
    for (int size : sizes) {
        if (size > 1) {
            ++s.bigComponents;
            inBig += size;
        }
    }
    s.componentShare = quotient(inBig, n);

    std::vector<double> moduli, radii;
    componentSpectra(s.adjacency, component, s.components, moduli, radii);
    std::sort(moduli.begin(), moduli.end(), std::greater<>());
    s.lambda1 = moduli.empty() ? kNaN : moduli.front();
    const double same = 1e-9 * std::max(1.0, s.lambda1);
    for (double radius : radii) {
        if (std::fabs(radius - s.lambda1) <= same) ++s.multiplicity;
    }
    if (moduli.size() > 1 && moduli[1] > same) s.dampingRatio = s.lambda1 / moduli[1];
    s.pathwayProliferation = s.lambda1;
    s.lambda1MinusLinkDensity = s.lambda1 - s.linkDensity;
    return s;
}

}  // namespace flownet
