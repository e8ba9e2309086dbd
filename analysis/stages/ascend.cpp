#include "ascend.hpp"

#include <cmath>

#include "capacity.hpp"
#include "layout.hpp"

namespace flownet {

namespace {

constexpr float kBitsPerNat = 1.4426950f;

// Row sums R, column sums C and their total over the block of compartments 1..m, in index order.
float blockSums(ConstMatView T, int m, VecView R, VecView C) {
    for (int i = 1; i <= m; ++i) {
        R(i) = 0.0f;
        for (int j = 1; j <= m; ++j) R(i) = R(i) + T(i, j);
    }
    for (int j = 1; j <= m; ++j) {
        C(j) = 0.0f;
        for (int i = 1; i <= m; ++i) C(j) = C(j) + T(i, j);
    }
    float total = 0.0f;
    for (int i = 1; i <= m; ++i) total = total + R(i);
    return total;
}

// Average conditional uncertainty (in natural units) of the flows among compartments 1..m:
//   -(sum over T(i, j) > 0 of T(i, j) ln(T(i, j)^2 / (R(i) C(j)))) / (R(1) + ... + R(m))
// with R and C the row and column sums of that block alone. With no flow in the block it is 0/0.
float blockUncertainty(ConstMatView T, int m, VecView R, VecView C) {
    const float total = blockSums(T, m, R, C);
    float sum = 0.0f;
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= m; ++j) {
            const float t = T(i, j);
            if (t > 0.0f) sum = sum + t * std::log(std::pow(t, 2.0f) / (R(i) * C(j)));
        }
    }
    return -sum / total;
}

// Adds the ascendency, overhead and capacity terms of a flow t from a source with outflow rs to
// a destination with inflow cd to the terms of its kind; returns the overhead term.
float addFlowTerms(IndexTerms& terms, float t, float rs, float cd, float tst) {
    const float a = t * std::log(t * tst / (rs * cd));
    const float o = -t * std::log(std::pow(t, 2.0f) / (rs * cd));
    const float c = -t * std::log(t / tst);
    terms.ascendency = terms.ascendency + a;
    terms.overhead = terms.overhead + o;
    terms.capacity = terms.capacity + c;
    return o;
}

// The terms of the four kinds together, added in the order of the kinds.
IndexTerms totalOf(const IndexTerms& in, const IndexTerms& internal, const IndexTerms& ex,
                   const IndexTerms& re) {
    return {in.ascendency + internal.ascendency + ex.ascendency + re.ascendency,
            in.overhead + internal.overhead + ex.overhead + re.overhead,
            in.capacity + internal.capacity + ex.capacity + re.capacity};
}

void toBits(IndexTerms& terms) {
    terms.ascendency = terms.ascendency * kBitsPerNat;
    terms.overhead = terms.overhead * kBitsPerNat;
    terms.capacity = terms.capacity * kBitsPerNat;
}

}  // namespace

void flowFractions(MatView T, ConstVecView IN, ConstVecView EX, ConstVecView RE, int n, VecView R,
                   VecView C, float& TST, VecView X, MatView F, MatView G) {
    const int in = n + 1, ex = n + 2, re = n + 3;

    // Extend T by the outside world: the source of the inputs and the sinks of the exports and
    // the respirations.
    for (int i = n + 1; i <= n + 3; ++i) {
        for (int j = 1; j <= n + 3; ++j) T(i, j) = 0.0f;
    }
    for (int j = n + 1; j <= n + 3; ++j) {
        for (int i = 1; i <= n; ++i) T(i, j) = 0.0f;
    }
    for (int i = 1; i <= n; ++i) {
        T(i, ex) = EX(i);
        T(i, re) = RE(i);
        T(in, i) = IN(i);
    }

    // Row and column sums of the extended matrix, and the total system throughput.
    TST = blockSums(T, n + 3, R, C);

    // Throughputs and the output- and input-normalised flows.
    for (int i = 1; i <= n; ++i) X(i) = R(i) > C(i) ? R(i) : C(i);
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            if (X(i) > 0.0f) F(i, j) = T(i, j) / X(i);
            if (X(j) > 0.0f) G(i, j) = T(i, j) / X(j);
        }
    }
}

void informationIndices(ConstMatView T, int n, int nl, ConstVecView R, ConstVecView C, float TST,
                        InformationIndices& info) {
    const int in = n + 1, ex = n + 2, re = n + 3;

    // Food-web and intercompartmental uncertainties, each from the sums of its own block.
    Vector<kStageCapacity> blockR, blockC;
    info.foodWebUncertainty = blockUncertainty(T, nl, blockR.view(), blockC.view());
    info.intercompartmentalUncertainty =
        n > nl ? blockUncertainty(T, n, blockR.view(), blockC.view()) : info.foodWebUncertainty;

    // Every positive flow, compartment by compartment: input, export, respiration, then the
    // exchanges with the other compartments. The overall uncertainty counts an exchange with
    // the outside world twice, at its compartment end only.
    info.inputs = info.internal = info.exports = info.respirations = IndexTerms{};
    float overall = 0.0f;
    for (int i = 1; i <= n; ++i) {
        float t = T(in, i);
        if (t > 0.0f) {
            addFlowTerms(info.inputs, t, R(in), C(i), TST);
            overall = overall + -2.0f * t * std::log(t / C(i));
        }
        t = T(i, ex);
        if (t > 0.0f) {
            addFlowTerms(info.exports, t, R(i), C(ex), TST);
            overall = overall + -2.0f * t * std::log(t / R(i));
        }
        t = T(i, re);
        if (t > 0.0f) {
            addFlowTerms(info.respirations, t, R(i), C(re), TST);
            overall = overall + -2.0f * t * std::log(t / R(i));
        }
        for (int j = 1; j <= n; ++j) {
            t = T(i, j);
            if (t > 0.0f) overall = overall + addFlowTerms(info.internal, t, R(i), C(j), TST);
        }
    }

    // Totals, the overall uncertainty per unit of throughput, and the conversion to bits.
    info.total = totalOf(info.inputs, info.internal, info.exports, info.respirations);
    info.overallUncertainty = overall / TST;
    for (IndexTerms* terms :
         {&info.inputs, &info.internal, &info.exports, &info.respirations, &info.total}) {
        toBits(*terms);
    }
    info.overallUncertainty = info.overallUncertainty * kBitsPerNat;
    info.intercompartmentalUncertainty = info.intercompartmentalUncertainty * kBitsPerNat;
    info.foodWebUncertainty = info.foodWebUncertainty * kBitsPerNat;
}

void ASCEND(MatView T, ConstVecView IN, ConstVecView EX, ConstVecView RE, int n, int nl, MatView F,
            MatView G, VecView X, float& TST, InformationIndices& info, VecView R, VecView C) {
    flowFractions(T, IN, EX, RE, n, R, C, TST, X, F, G);
    informationIndices(T, n, nl, R, C, TST, info);
}

IndexShares indexShares(const InformationIndices& info) {
    const float capacity = info.total.capacity, internal = info.internal.capacity;
    IndexShares s;
    s.ascendency = info.total.ascendency / capacity;
    s.importOverhead = info.inputs.overhead / capacity;
    s.exportOverhead = info.exports.overhead / capacity;
    s.dissipation = info.respirations.overhead / capacity;
    s.redundancy = info.internal.overhead / capacity;
    s.internalAscendency = info.internal.ascendency / internal;
    s.internalRedundancy = info.internal.overhead / internal;
    s.overall = std::pow(2.0f, info.overallUncertainty / 2.0f);
    s.intercompartmental = std::pow(2.0f, info.intercompartmentalUncertainty / 2.0f);
    s.foodWeb = std::pow(2.0f, info.foodWebUncertainty / 2.0f);
    return s;
}

void printInformationIndices(std::ostream& out, float TST, const InformationIndices& info,
                             const IndexShares& shares) {
    writeLayout(out, "(/,/,26X,'*** INFORMATION INDICIES ***',/)");
    writeLayout(out, "(2X,'TOTAL SYSTEM THROUGHPUT = ',E11.5,/,/)", {TST});
    writeLayout(out, "(2X,'DEVELOPMENT CAPACITY = ',E11.5,/)", {info.total.capacity});
    writeLayout(out, "(2X,'ASCENDENCY = ',E11.5,5X,'(',F4.3,')',/)",
                {info.total.ascendency, shares.ascendency});
    writeLayout(out, "(2X,'OVERHEAD ON IMPORTS = ',E11.5,5X,'(',F4.3,')',/)",
                {info.inputs.overhead, shares.importOverhead});
    writeLayout(out, "(2X,'OVERHEAD ON EXPORTS = ',E11.5,5X,'(',F4.3,')',/)",
                {info.exports.overhead, shares.exportOverhead});
    writeLayout(out, "(2X,'DISSIPATIVE OVERHEAD = ',E11.5,5X,'(',F4.3,')',/)",
                {info.respirations.overhead, shares.dissipation});
    writeLayout(out, "(2X,'REDUNDANCY =',E11.5,5X,'(',F4.3,')',/,/)",
                {info.internal.overhead, shares.redundancy});
    writeLayout(out, "(2X,'INTERNAL CAPACITY =',E11.5,/)", {info.internal.capacity});
    writeLayout(out, "(2X,'INTERNAL ASCENDENCY =',E11.5,5X,'(',F4.3,')',/)",
                {info.internal.ascendency, shares.internalAscendency});
    writeLayout(out, "(2X,'REDUNDANCY = ',E11.5,5X,'(',F4.3,')',/,/)",
                {info.internal.overhead, shares.internalRedundancy});
}

void printConnectanceIndices(std::ostream& out, const IndexShares& shares) {
    writeLayout(out, "(2X,25X,'*** CONNECTANCE INDICES ***',/)");
    writeLayout(out, "(2X,'OVERALL CONNECTANCE = ',F7.3,/)", {shares.overall});
    writeLayout(out, "(2X,'INTERCOMPERTMENTAL CONNECTANCE = ',F7.3,/)",
                {shares.intercompartmental});
    writeLayout(out, "(2X,'FOODWEB CONNECTANCE = ',F7.3,/,/,/)", {shares.foodWeb});
}

}  // namespace flownet
