#include "structure.hpp"

#include "layout.hpp"
#include "listing.hpp"
#include "matrix.hpp"

namespace flownet {

namespace {

// v(i) = (loss(i) / X(i)) y(i): the part of the generated throughput y that leaves by this loss.
void generatedLosses(VecView v, ConstVecView loss, ConstVecView X, ConstVecView y, int n) {
    for (int i = 1; i <= n; ++i) v(i) = X(i) > 0.0f ? loss(i) / X(i) * y(i) : 0.0f;
}

// The analysis of compartment k's input, with `injected` entering k. M must hold the transpose of
// (I - F)^-1.
void analyseInput(int k, float injected, int n, StructureArrays& a, StructureAnalyses& r) {
    // Throughput generated in each compartment along all paths: y = M v = (I - F)^-T v.
    VecView v = column(r.inputs, k);
    for (int i = 1; i <= n; ++i) v(i) = 0.0f;
    v(k) = injected;
    MATVEC(a.y, a.M, v, n);
    // Flows generated: each compartment passes on its usual shares of what it receives.
    Matrix<kStageCapacity>& C = r.exchanges[static_cast<std::size_t>(k - 1)];
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) C(i, j) = a.F(i, j) * a.y(i);
    }
    generatedLosses(column(r.exports, k), a.EX, a.X, a.y, n);
    generatedLosses(column(r.respirations, k), a.RE, a.X, a.y, n);
}

}  // namespace

void identityMinus(MatView M, ConstMatView A, int n) {
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) M(i, j) = i == j ? 1.0f - A(i, j) : -A(i, j);
    }
}

void totalCoefficients(MatView C, ConstMatView A, ConstVecView X, int n, Coefficients kind) {
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            if (i == j) {
                C(i, i) = (A(i, i) - 1.0f) / A(i, i) * X(i) / X(i);
            } else if (kind == Coefficients::Contribution) {
                C(i, j) = A(i, j) / A(j, j) * X(j) / X(i);
            } else {
                C(i, j) = A(i, j) / A(i, i) * X(i) / X(j);
            }
        }
    }
}

void analyseStructure(int n, StructureArrays& a, InjectedInput inject, StructureAnalyses& r) {
    // Contributions: (I - G)^-1.
    identityMinus(a.M, a.G, n);
    r.contributionTrouble = INV(a.M, a.M, a.v, n);
    totalCoefficients(r.contributions.view(), a.M, a.X, n, Coefficients::Contribution);

    // Dependencies: (I - F)^-1.
    identityMinus(a.M, a.F, n);
    r.dependencyTrouble = INV(a.M, a.M, a.v, n);
    totalCoefficients(r.dependencies.view(), a.M, a.X, n, Coefficients::Dependency);

    // What each input generates, through the transpose of (I - F)^-1.
    TRANSP(a.M, a.M, n);
    for (int k = 1; k <= n; ++k) {
        bool& analysed = r.analysed[static_cast<std::size_t>(k - 1)];
        analysed = a.IN(k) > 0.0f;
        if (analysed) {
            analyseInput(k, inject == InjectedInput::Unit ? 1.0f : a.IN(k), n, a, r);
        }
    }
}

void writeStructureAnalyses(std::ostream& out, int n, const StructureAnalyses& r) {
    if (r.contributionTrouble != 0) writeInversionTrouble(out, r.contributionTrouble);
    writeLayout(out, "(/,/,27X,'*** STRUCTURE ANALYSES ***',/)");
    writeLayout(out, "(1X,'TOTAL CONTRIBUTION COEFFICIENTS',/)");
    MATPRT(out, r.contributions.view(), n);
    if (r.dependencyTrouble != 0) writeInversionTrouble(out, r.dependencyTrouble);
    writeLayout(out, "(1X,'TOTAL DEPENDENCY COEFFICIENTS',/)");
    MATPRT(out, r.dependencies.view(), n);

    for (int k = 1; k <= n; ++k) {
        if (!r.analysed[static_cast<std::size_t>(k - 1)]) continue;
        writeLayout(out, "(/,1X,'ANALYSIS OF INPUT ',I2,/)", {k});
        writeLayout(out, "(/,1X,'INPUT VECTOR')");
        VECPRT(out, column(r.inputs, k), n);
        writeLayout(out, "(1X,'EXPORT VECTOR')");
        VECPRT(out, column(r.exports, k), n);
        writeLayout(out, "(1X,'RESPIRATIONS')");
        VECPRT(out, column(r.respirations, k), n);
        writeLayout(out, "(1X,'EXCHANGE MATRIX')");
        MATPRT(out, r.exchanges[static_cast<std::size_t>(k - 1)].view(), n);
    }
}

}  // namespace flownet
