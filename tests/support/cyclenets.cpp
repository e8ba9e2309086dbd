#include "support/cyclenets.hpp"

#include <algorithm>
#include <cctype>

#include "support/run.hpp"

namespace flownet::testing {

namespace {

// Depth-first over compartments above the start, recursively.
void extend(ConstMatView T, int n, std::vector<int>& path, std::vector<bool>& on,
            std::vector<std::vector<int>>& out) {
    int start = path.front(), v = path.back();
    for (int j = start; j <= n; ++j) {
        if (!(T(v, j) > 0.0f)) continue;
        if (j == start) {
            out.push_back(path);
        } else if (!on[static_cast<std::size_t>(j)]) {
            on[static_cast<std::size_t>(j)] = true;
            path.push_back(j);
            extend(T, n, path, on, out);
            path.pop_back();
            on[static_cast<std::size_t>(j)] = false;
        }
    }
}

}  // namespace

std::vector<std::vector<int>> bruteForceCycles(ConstMatView T, int n) {
    std::vector<std::vector<int>> out;
    std::vector<bool> on(static_cast<std::size_t>(n) + 1, false);
    for (int s = 1; s <= n; ++s) {
        std::vector<int> path{s};
        on[static_cast<std::size_t>(s)] = true;
        extend(T, n, path, on, out);
        on[static_cast<std::size_t>(s)] = false;
    }
    return out;
}

std::vector<int> canonicalCycle(std::vector<int> nodes) {
    if (nodes.size() > 1 && nodes.front() == nodes.back()) nodes.pop_back();
    auto low = std::min_element(nodes.begin(), nodes.end());
    std::rotate(nodes.begin(), low, nodes.end());
    return nodes;
}

void randomFlows(MatView T, const RandomFlows& r, std::mt19937& rng) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int i = 1; i <= r.n; ++i) {
        for (int j = 1; j <= r.n; ++j) {
            double chance = i == j ? r.selfLoops : r.density;
            float flow = 0.0f;
            if (u(rng) < chance) {
                flow = r.ties > 0 ? static_cast<float>(1 + static_cast<int>(u(rng) * r.ties))
                                  : static_cast<float>(0.1 + 9.9 * u(rng));
            }
            T(i, j) = flow;
        }
    }
}

namespace {

// Whether text is a run of node fields "dd-" (a node in I2 and its hyphen); their nodes are
// appended to nodes.
bool nodeFields(const std::string& text, std::vector<int>& nodes) {
    if (text.empty() || text.size() % 3 != 0) return false;
    std::vector<int> found;
    for (std::size_t k = 0; k < text.size(); k += 3) {
        char a = text[k], b = text[k + 1];
        bool digits = (a == ' ' || std::isdigit(static_cast<unsigned char>(a))) &&
                      std::isdigit(static_cast<unsigned char>(b));
        bool stars = a == '*' && b == '*';
        if (!(digits || stars) || text[k + 2] != '-') return false;
        found.push_back(stars ? -1 : std::stoi(text.substr(k, 2)));
    }
    nodes.insert(nodes.end(), found.begin(), found.end());
    return true;
}

// A right-aligned integer field of the given columns; -1 when it overflowed into asterisks.
bool integerField(const std::string& text, long long& value) {
    if (text.find_first_not_of('*') == std::string::npos) {
        value = -1;
        return true;
    }
    std::size_t digits = text.find_first_not_of(' ');
    if (digits == std::string::npos) return false;
    for (std::size_t k = digits; k < text.size(); ++k) {
        if (!std::isdigit(static_cast<unsigned char>(text[k]))) return false;
    }
    value = std::stoll(text.substr(digits));
    return true;
}

}  // namespace

Listing readListing(const std::string& report, int countWidth, int numberWidth) {
    const std::size_t cw = static_cast<std::size_t>(countWidth);
    const std::size_t nw = static_cast<std::size_t>(numberWidth);
    const std::string nexusText = "-CYCLE NEXUS WITH WEAK ARC (";
    const std::string heading = "1" + std::string(22, ' ') + "*** EXTRACTION OF FEEDING CYCLES ***";
    Listing listing;
    bool continues = false;  // the last cycle line held 20 nodes
    for (const std::string& line : lines(report)) {
        if (continues) {
            std::vector<int> more;
            if (nodeFields(line, more)) {
                auto& nodes = listing.cycles.back().nodes;
                nodes.insert(nodes.end(), more.begin(), more.end());
                continues = more.size() == 20;
                continue;
            }
        }
        continues = false;
        long long number = 0;
        if (line == heading) {
            ++listing.headings;
        } else if (line.rfind("    ", 0) == 0 && line.size() > 4 + cw + nexusText.size() + 8 &&
                   line.compare(4 + cw, nexusText.size(), nexusText) == 0 &&
                   integerField(line.substr(4, cw), number)) {
            std::size_t arc = 4 + cw + nexusText.size();  // "aa,bb) ="
            listing.nexuses.push_back({number, std::stoi(line.substr(arc, 2)),
                                       std::stoi(line.substr(arc + 3, 2)), line.substr(arc + 8)});
        } else if (line.size() > nw + 3 && line[0] == ' ' && line[nw + 1] == '.' &&
                   line[nw + 2] == ' ' && integerField(line.substr(1, nw), number)) {
            ListedCycle c;
            c.number = number;
            c.nexus = static_cast<int>(listing.nexuses.size()) - 1;
            if (!nodeFields(line.substr(nw + 3), c.nodes)) continue;
            continues = c.nodes.size() == 20;
            listing.cycles.push_back(std::move(c));
        }
    }
    return listing;
}

}  // namespace flownet::testing
