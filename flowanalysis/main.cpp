// flowanalysis: reads every network of a network file and writes, for each, a report of its
// steady state, structure, trophic levels, cycles and information indices (up to 80 compartments).
#include <iostream>

#include "flowanalysis.hpp"

int main() {
    return flownet::runFlowanalysis(std::cin, std::cout, std::cerr);
}
