#include "uncertaintycsv.hpp"

#include <cmath>

#include "csvtext.hpp"
#include "shortest.hpp"

namespace flownet {

namespace {

// A value in the shortest form that reads back to the same double; NaN as NA.
std::string value(double x) {
    return std::isnan(x) ? std::string("NA") : shortestText(x);
}

}  // namespace

void writeUncertaintyHeader(std::ostream& out) {
    out << "file,network,quantity,value,mean,sd,median,q2.5,q97.5,ess,undefined\n";
}

void writeUncertaintyRows(std::ostream& out, const std::string& file, int network,
                          const UncertaintyResult& r) {
    for (std::size_t q = 0; q < r.summaries.size(); ++q) {
        const QuantitySummary& s = r.summaries[q];
        out << csvQuoted(file) << ',' << network << ',' << csvQuoted(r.quantityNames[q]) << ','
            << value(r.given[q]) << ',' << value(s.mean) << ',' << value(s.sd) << ','
            << value(s.median) << ',' << value(s.low) << ',' << value(s.high) << ','
            << value(s.ess) << ',' << s.undefined << '\n';
    }
}

void writeSamples(std::ostream& out, const std::string& file, int network,
                  const UncertaintyResult& r) {
    out << "file,network,chain,sample";
    for (const std::string& name : r.unknownNames) out << ',' << csvQuoted(name);
    for (const std::string& name : r.quantityNames) out << ',' << csvQuoted(name);
    out << '\n';
    const std::size_t m = r.unknownNames.size(), nq = r.quantityNames.size();
    for (std::size_t c = 0; c < r.chains.size(); ++c) {
        const ChainDraws& d = r.chains[c];
        for (std::size_t s = 0; s < static_cast<std::size_t>(d.samples); ++s) {
            out << csvQuoted(file) << ',' << network << ',' << c + 1 << ',' << s + 1;
            for (std::size_t k = 0; k < m && !d.points.empty(); ++k) out << ',' << value(d.points[s * m + k]);
            for (std::size_t q = 0; q < nq; ++q) out << ',' << value(d.values[s * nq + q]);
            out << '\n';
        }
    }
}

}  // namespace flownet
