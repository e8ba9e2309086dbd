// netgen: writes the network file of a workload of the benchmark ladder.
//   netgen             lists the workloads, counting the simple cycles of each afresh
//   netgen <workload>  writes the workload's network file to standard output
#include <cstring>
#include <iostream>

#include "ladder.hpp"

int main(int argc, char** argv) {
    using namespace flownet::bench;
    for (const Workload& w : kLadder) {
        if (argc == 1) {
            GeneratedNetwork net = generateNetwork(w.shape);
            std::cout << w.name << ": " << net.n << " compartments, " << net.nl << " living, "
                      << countSimpleCycles(net, 4000000000ULL)
                      << " simple cycles (ladder: " << w.cycles << ")\n";
        } else if (std::strcmp(argv[1], w.name) == 0) {
            std::cout << networkFileText(generateNetwork(w.shape));
            return 0;
        }
    }
    if (argc == 1) return 0;
    std::cerr << "netgen: no workload " << argv[1] << "\n";
    return 2;
}
