// flowanalysis2: the analysis of flowanalysis for networks of up to 128 compartments, with a
// counted cycle search without storage limit, primary producers told apart from suspected
// migratory inputs, and a full cycle analysis ending every report. One report file per network.
#include <iostream>

#include "flowanalysis2.hpp"

int main(int argc, char** argv) {
    if (argc > 1) return flownet::runFlowanalysis2Command(argc, argv, std::cout, std::cerr);
    return flownet::runFlowanalysis2(std::cin, std::cout, std::cerr);
}
