#include "resultscsv.hpp"

#include <cmath>
#include <string>

#include "shortest.hpp"

namespace flownet {

namespace {

// A field in standard CSV quoting: quoted when it holds a comma, a quote or a line end, with every
// quote doubled.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// A number as R and Python read it back: NaN and Inf spelt so.
std::string csvNumber(float x) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0.0f ? "Inf" : "-Inf";
    return shortestText(x);
}

std::string trimmedTitle(const std::string& title) {
    const std::size_t end = title.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : title.substr(0, end + 1);
}

}  // namespace

const CycleRemoval& networkCycles(const NetworkResults& r) {
    return r.whole != nullptr ? *r.whole : *r.feeding;
}

void writeSummaryHeader(std::ostream& out) {
    out << "file,ordinal,title,compartments,living,total_system_throughput,"
           "development_capacity,ascendency,ascendency_ratio,overhead_imports,overhead_exports,"
           "dissipative_overhead,redundancy,internal_capacity,internal_ascendency,"
           "finn_cycling_index,cycles_removed,overall_connectance,intercompartmental_connectance,"
           "foodweb_connectance\n";
}

void writeSummaryRow(std::ostream& out, const NetworkResults& r) {
    const InfoTable& t = *r.info;
    const IndexShares& s = *r.shares;
    const CycleRemoval& cycles = networkCycles(r);
    out << csvField(r.file) << ',' << r.ordinal << ',' << csvField(trimmedTitle(*r.title)) << ','
        << r.N << ',' << r.NL;
    for (float x : {r.TST, t(5, 3), t(5, 1), s.ascendency, t(1, 2), t(3, 2), t(4, 2), t(2, 2),
                    t(2, 3), t(2, 1), cycles.finn}) {
        out << ',' << csvNumber(x);
    }
    out << ',' << cycles.count;
    for (float x : {s.overall, s.intercompartmental, s.foodWeb}) out << ',' << csvNumber(x);
    out << "\n";
}

}  // namespace flownet
