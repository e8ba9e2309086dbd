// flowentry: builds one network of up to 125 compartments, typed in at the keyboard or read from
// a network file and edited, checks every compartment for steady state, balances the network on
// request and writes it to a new network file.
#include <iostream>

#include "flowentry.hpp"

int main() {
    return flownet::runFlowentry(std::cin, std::cout, std::cerr);
}
