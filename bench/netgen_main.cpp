// netgen: writes a generated network file and tells how many simple cycles it holds.
// Usage: netgen living pools producers levels prey detritivores poolsPerLiving poolLinks loops seed
#include <cstdlib>
#include <iostream>

#include "netgen.hpp"

int main(int argc, char** argv) {
    using namespace flownet::bench;
    if (argc != 11) {
        std::cerr << "usage: netgen living pools producers levels prey detritivores poolsPerLiving "
                     "poolLinks loops seed\n";
        return 2;
    }
    NetworkShape s;
    s.living = std::atoi(argv[1]);
    s.pools = std::atoi(argv[2]);
    s.producers = std::atoi(argv[3]);
    s.levels = std::atoi(argv[4]);
    s.preyPerConsumer = std::atof(argv[5]);
    s.detritivores = std::atof(argv[6]);
    s.poolsPerLiving = std::atof(argv[7]);
    s.poolLinks = std::atof(argv[8]);
    s.feedingLoops = std::atof(argv[9]);
    s.seed = static_cast<std::uint32_t>(std::atoi(argv[10]));
    GeneratedNetwork net = generateNetwork(s);
    std::cout << networkFileText(net);
    std::cerr << "simple cycles: " << countSimpleCycles(net, 2000000000ULL) << "\n";
    return 0;
}
