// flowanalysis: reads every network of a network file and writes, for each, a report of its
// steady state, structure, trophic levels, cycles and information indices (up to 80 compartments).
#include <iostream>

#include "flowanalysis.hpp"

int main(int argc, char** argv) {
    if (argc > 1) return flownet::runFlowanalysisCommand(argc, argv, std::cout, std::cerr);
    return flownet::runFlowanalysis(std::cin, std::cout, std::cerr);
}
