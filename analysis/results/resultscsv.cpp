#include "resultscsv.hpp"

#include <cmath>
#include <string>

#include "shortest.hpp"
#include "textencoding.hpp"
#include "textio.hpp"

namespace flownet {

namespace {

// A text field in standard CSV quoting, as valid UTF-8 (see utf8Text) with any NUL, which no CSV
// reader holds, replaced by U+FFFD: quoted when it holds a comma, a quote, a line feed or a
// carriage return, every quote doubled.
std::string csvField(const std::string& bytes) {
    std::string text;
    for (char c : utf8Text(bytes)) {
        if (c == '\0') {
            text += "\xEF\xBF\xBD";
        } else {
            text += c;
        }
    }
    if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// A number as R and Python read it back: NaN and Inf spelt so.
template <class Real>
std::string csvNumber(Real x) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
    return shortestText(x);
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
           "foodweb_connectance,TST,TSTp,APL,FCI,FCIb,H,AMI,C,A,overhead,A_over_C,robustness,"
           "indirect_to_direct_output,indirect_to_direct_input,homogenisation_output,"
           "homogenisation_input,amplification_output,amplification_input,mutualism,synergism,"
           "total_system_storage\n";
}

void writeSummaryRow(std::ostream& out, const NetworkResults& r) {
    const CompanionIndices& c = *r.companion;
    const InformationIndices& t = *r.info;
    const IndexShares& s = *r.shares;
    const CycleRemoval& cycles = networkCycles(r);
    out << csvField(r.file) << ',' << r.ordinal << ',' << csvField(withoutTrailingBlanks(*r.title))
        << ',' << r.N << ',' << r.NL;
    for (float x : {r.TST, t.total.capacity, t.total.ascendency, s.ascendency, t.inputs.overhead,
                    t.exports.overhead, t.respirations.overhead, t.internal.overhead,
                    t.internal.capacity, t.internal.ascendency, cycles.finn}) {
        out << ',' << csvNumber(x);
    }
    out << ',' << cycles.count;
    for (float x : {s.overall, s.intercompartmental, s.foodWeb}) out << ',' << csvNumber(x);
    for (double x : {c.TST, c.TSTp, c.APL, c.FCI, c.FCIb, c.H, c.AMI, c.C, c.A, c.overhead, c.AC,
                     c.robustness, c.output.indirectToDirect, c.input.indirectToDirect,
                     c.output.homogenisation, c.input.homogenisation}) {
        out << ',' << csvNumber(x);
    }
    for (const Environ* e : {&c.output, &c.input}) {
        out << ',';
        if (!e->singular) out << e->amplification;
    }
    for (double x : {c.mutualism, c.synergism, c.totalStorage}) out << ',' << csvNumber(x);
    out << "\n";
}

}  // namespace flownet
