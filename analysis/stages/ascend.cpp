#include "ascend.hpp"

#include <cmath>

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
// a destination with inflow cd to the given row of the table; returns the overhead term.
float addFlowTerms(InfoTable& info, int row, float t, float rs, float cd, float tst) {
    const float a = t * std::log(t * tst / (rs * cd));
    const float o = -t * std::log(std::pow(t, 2.0f) / (rs * cd));
    const float c = -t * std::log(t / tst);
    info(row, 1) = info(row, 1) + a;
    info(row, 2) = info(row, 2) + o;
    info(row, 3) = info(row, 3) + c;
    return o;
}

}  // namespace

void ASCEND(MatView T, ConstVecView IN, ConstVecView EX, ConstVecView RE, int n, int nl, MatView F,
            MatView G, VecView X, float& TST, InfoTable& info, VecView R, VecView C) {
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

    // Food-web and intercompartmental uncertainties, each from the sums of its own block.
    info(6, 3) = blockUncertainty(T, nl, R, C);
    info(6, 2) = n > nl ? blockUncertainty(T, n, R, C) : info(6, 3);

    // Row and column sums of the extended matrix, and the total system throughput.
    TST = blockSums(T, n + 3, R, C);

    // Every positive flow, compartment by compartment: input, export, respiration, then the
    // exchanges with the other compartments. The overall uncertainty counts an exchange with
    // the outside world twice, at its compartment end only.
    for (int r = 1; r <= 5; ++r) {
        for (int k = 1; k <= 3; ++k) info(r, k) = 0.0f;
    }
    info(6, 1) = 0.0f;
    for (int i = 1; i <= n; ++i) {
        float t = T(in, i);
        if (t > 0.0f) {
            addFlowTerms(info, 1, t, R(in), C(i), TST);
            info(6, 1) = info(6, 1) + -2.0f * t * std::log(t / C(i));
        }
        t = T(i, ex);
        if (t > 0.0f) {
            addFlowTerms(info, 3, t, R(i), C(ex), TST);
            info(6, 1) = info(6, 1) + -2.0f * t * std::log(t / R(i));
        }
        t = T(i, re);
        if (t > 0.0f) {
            addFlowTerms(info, 4, t, R(i), C(re), TST);
            info(6, 1) = info(6, 1) + -2.0f * t * std::log(t / R(i));
        }
        for (int j = 1; j <= n; ++j) {
            t = T(i, j);
            if (t > 0.0f) info(6, 1) = info(6, 1) + addFlowTerms(info, 2, t, R(i), C(j), TST);
        }
    }

    // Totals, the overall uncertainty per unit of throughput, and the conversion to bits.
    for (int k = 1; k <= 3; ++k) info(5, k) = info(1, k) + info(2, k) + info(3, k) + info(4, k);
    info(6, 1) = info(6, 1) / TST;
    for (int r = 1; r <= 6; ++r) {
        for (int k = 1; k <= 3; ++k) info(r, k) = info(r, k) * kBitsPerNat;
    }

    // Throughputs and the output- and input-normalised flows.
    for (int i = 1; i <= n; ++i) X(i) = R(i) > C(i) ? R(i) : C(i);
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            if (X(i) > 0.0f) F(i, j) = T(i, j) / X(i);
            if (X(j) > 0.0f) G(i, j) = T(i, j) / X(j);
        }
    }
}

IndexShares indexShares(const InfoTable& info) {
    const float capacity = info(5, 3), internal = info(2, 3);
    IndexShares s;
    s.ascendency = info(5, 1) / capacity;
    s.importOverhead = info(1, 2) / capacity;
    s.exportOverhead = info(3, 2) / capacity;
    s.dissipation = info(4, 2) / capacity;
    s.redundancy = info(2, 2) / capacity;
    s.internalAscendency = info(2, 1) / internal;
    s.internalRedundancy = info(2, 2) / internal;
    s.overall = std::pow(2.0f, info(6, 1) / 2.0f);
    s.intercompartmental = std::pow(2.0f, info(6, 2) / 2.0f);
    s.foodWeb = std::pow(2.0f, info(6, 3) / 2.0f);
    return s;
}

void printInformationIndices(std::ostream& out, float TST, const InfoTable& info,
                             const IndexShares& shares) {
    writeLayout(out, "(/,/,26X,'*** INFORMATION INDICIES ***',/)");
    writeLayout(out, "(2X,'TOTAL SYSTEM THROUGHPUT = ',E11.5,/,/)", {TST});
    writeLayout(out, "(2X,'DEVELOPMENT CAPACITY = ',E11.5,/)", {info(5, 3)});
    writeLayout(out, "(2X,'ASCENDENCY = ',E11.5,5X,'(',F4.3,')',/)",
                {info(5, 1), shares.ascendency});
    writeLayout(out, "(2X,'OVERHEAD ON IMPORTS = ',E11.5,5X,'(',F4.3,')',/)",
                {info(1, 2), shares.importOverhead});
    writeLayout(out, "(2X,'OVERHEAD ON EXPORTS = ',E11.5,5X,'(',F4.3,')',/)",
                {info(3, 2), shares.exportOverhead});
    writeLayout(out, "(2X,'DISSIPATIVE OVERHEAD = ',E11.5,5X,'(',F4.3,')',/)",
                {info(4, 2), shares.dissipation});
    writeLayout(out, "(2X,'REDUNDANCY =',E11.5,5X,'(',F4.3,')',/,/)",
                {info(2, 2), shares.redundancy});
    writeLayout(out, "(2X,'INTERNAL CAPACITY =',E11.5,/)", {info(2, 3)});
    writeLayout(out, "(2X,'INTERNAL ASCENDENCY =',E11.5,5X,'(',F4.3,')',/)",
                {info(2, 1), shares.internalAscendency});
    writeLayout(out, "(2X,'REDUNDANCY = ',E11.5,5X,'(',F4.3,')',/,/)",
                {info(2, 2), shares.internalRedundancy});
}

void printConnectanceIndices(std::ostream& out, const IndexShares& shares) {
    writeLayout(out, "(2X,25X,'*** CONNECTANCE INDICES ***',/)");
    writeLayout(out, "(2X,'OVERALL CONNECTANCE = ',F7.3,/)", {shares.overall});
    writeLayout(out, "(2X,'INTERCOMPERTMENTAL CONNECTANCE = ',F7.3,/)",
                {shares.intercompartmental});
    writeLayout(out, "(2X,'FOODWEB CONNECTANCE = ',F7.3,/,/,/)", {shares.foodWeb});
}

}  // namespace flownet
