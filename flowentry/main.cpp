// flowentry: builds one network of up to 125 compartments, typed in at the keyboard or read from
// a network file and edited, checks every compartment for steady state, balances the network on
// request and writes it to a new network file. Started with arguments, it checks or balances a
// network file without a dialog.
#include <iostream>

#include "flowentry.hpp"

int main(int argc, char** argv) {
    if (argc > 1) return flownet::runFlowentryCommand(argc, argv, std::cout, std::cerr);
    return flownet::runFlowentry(std::cin, std::cout, std::cerr);
}
