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

void analyseInput(std::ostream& out, int k, float injected, int n, const StructureArrays& a) {
    writeLayout(out, "(/,1X,'ANALYSIS OF INPUT ',I2,/)", {k});

    // Throughput generated in each compartment along all paths: y = M v = (I - F)^-T v.
    for (int i = 1; i <= n; ++i) a.v(i) = 0.0f;
    a.v(k) = injected;
    MATVEC(a.y, a.M, a.v, n);
    // Flows generated: each compartment passes on its usual shares of what it receives.
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) a.C(i, j) = a.F(i, j) * a.y(i);
    }

    writeLayout(out, "(/,1X,'INPUT VECTOR')");
    VECPRT(out, a.v, n);
    generatedLosses(a.v, a.EX, a.X, a.y, n);
    writeLayout(out, "(1X,'EXPORT VECTOR')");
    VECPRT(out, a.v, n);
    generatedLosses(a.v, a.RE, a.X, a.y, n);
    writeLayout(out, "(1X,'RESPIRATIONS')");
    VECPRT(out, a.v, n);
    writeLayout(out, "(1X,'EXCHANGE MATRIX')");
    MATPRT(out, a.C, n);
}

void structureAnalyses(std::ostream& out, int n, const StructureArrays& a, InjectedInput inject) {
    // Contributions: (I - G)^-1. A message of the inversion stands before the heading.
    identityMinus(a.M, a.G, n);
    INV(out, a.M, a.M, a.v, n);
    writeLayout(out, "(/,/,27X,'*** STRUCTURE ANALYSES ***',/)");
    totalCoefficients(a.C, a.M, a.X, n, Coefficients::Contribution);
    writeLayout(out, "(1X,'TOTAL CONTRIBUTION COEFFICIENTS',/)");
    MATPRT(out, a.C, n);

    // Dependencies: (I - F)^-1.
    identityMinus(a.M, a.F, n);
    INV(out, a.M, a.M, a.v, n);
    totalCoefficients(a.C, a.M, a.X, n, Coefficients::Dependency);
    writeLayout(out, "(1X,'TOTAL DEPENDENCY COEFFICIENTS',/)");
    MATPRT(out, a.C, n);

    // What each input generates, through the transpose of (I - F)^-1.
    TRANSP(a.M, a.M, n);
    for (int k = 1; k <= n; ++k) {
        if (a.IN(k) > 0.0f) {
            analyseInput(out, k, inject == InjectedInput::Unit ? 1.0f : a.IN(k), n, a);
        }
    }
}

}  // namespace flownet
