// The uncertainty analysis as CSV: the summary of every quantity, one row each, and every
// sample's network and quantities, one row each.
#pragma once

#include <ostream>
#include <string>

#include "uncertainty.hpp"

namespace flownet {

// file,network,quantity,value,mean,sd,median,q2.5,q97.5,ess,undefined
void writeUncertaintyHeader(std::ostream& out);
void writeUncertaintyRows(std::ostream& out, const std::string& file, int network,
                          const UncertaintyResult& r);

// A header (file,network,chain,sample, the unknowns, the quantities) and one row per sample,
// chain by chain.
void writeSamples(std::ostream& out, const std::string& file, int network,
                  const UncertaintyResult& r);

}  // namespace flownet
