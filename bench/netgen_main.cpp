// netgen: writes the network file of a workload of the benchmark ladder.
//   netgen             lists the workloads, counting the simple cycles of each afresh
//   netgen <workload>  writes the workload's network file to standard output
//   netgen count living pools producers levels prey detritivores poolsPerLiving poolLinks loops
//                seed limit
//                      counts the simple cycles (up to limit) of a network of that shape
//   netgen file living pools producers levels prey detritivores poolsPerLiving poolLinks loops
//                seed
//                      writes the network file of a network of that shape to standard output
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "ladder.hpp"

int main(int argc, char** argv) {
    using namespace flownet::bench;
    const bool count = argc == 13 && std::strcmp(argv[1], "count") == 0;
    if (count || (argc == 12 && std::strcmp(argv[1], "file") == 0)) {
        NetworkShape s{std::atoi(argv[2]),  std::atoi(argv[3]),
                       std::atoi(argv[4]),  std::atoi(argv[5]),
                       std::atof(argv[6]),  std::atof(argv[7]),
                       std::atof(argv[8]),  std::atof(argv[9]),
                       std::atof(argv[10]), static_cast<std::uint32_t>(std::atoi(argv[11]))};
        if (count) {
            std::cout << countSimpleCycles(generateNetwork(s), std::strtoull(argv[12], nullptr, 10))
                      << "\n";
        } else {
            std::cout << networkFileText(generateNetwork(s));
        }
        return 0;
    }
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
