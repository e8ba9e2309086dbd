// flowanalysis2: the analysis of flowanalysis for networks of up to 128 compartments, with a
// counted cycle search without storage limit, primary producers told apart from suspected
// migratory inputs, and a full cycle analysis ending every report. One report file per network.
#include <iostream>

#include "flowanalysis2.hpp"

int main() {
    return flownet::runFlowanalysis2(std::cin, std::cout, std::cerr);
}
