#include "steady.hpp"

#include <cmath>

#include "layout.hpp"
#include "listing.hpp"
#include "runend.hpp"

namespace flownet {

void checkSteadyState(int n, ConstVecView IN, ConstVecView EX, ConstVecView RE, ConstMatView T,
                      float tolerance, SteadyState& s) {
    VecView inflow = s.inflow.view(), outflow = s.outflow.view(), imbalance = s.imbalance.view();
    float total = 0.0f;
    s.largestImbalance = 0.0f;
    s.largestImbalanceAt = n >= 1 ? 1 : 0;
    for (int i = 1; i <= n; ++i) {
        inflow(i) = IN(i);
        outflow(i) = RE(i) + EX(i);
        for (int j = 1; j <= n; ++j) {
            inflow(i) = inflow(i) + T(j, i);
            outflow(i) = outflow(i) + T(i, j);
        }
        imbalance(i) = inflow(i) - outflow(i);
        // A difference that is not a number (sums beyond single precision) outweighs any other.
        const float d = imbalance(i);
        if (!std::isnan(s.largestImbalance) &&
            (std::isnan(d) || std::fabs(d) > std::fabs(s.largestImbalance))) {
            s.largestImbalance = d;
            s.largestImbalanceAt = i;
        }
        if (std::fabs(imbalance(i)) < tolerance) imbalance(i) = 0.0f;
        total = total + std::fabs(imbalance(i));
    }
    s.steady = total <= 0.0f;

    s.flowing = true;
    for (int i = 1; i <= n; ++i) {
        if ((outflow(i) + inflow(i)) * 0.5f <= 0.0f) s.flowing = false;
    }
}

void writeSteadyState(std::ostream& report, int n, const SteadyState& s) {
    if (!s.steady) {
        writeLayout(report, "(/,1X,'WARNING! - NETWORK IS NON STEADY-STATE!',/)");
        writeLayout(report, "(1X,'COMPARISON OF THROUGHPUTS')");
        writeLayout(report, "(/,6X,'INPUTS',6X,'OUTPUTS',4X,'IMBALANCE',/)");
        for (int i = 1; i <= n; ++i) {
            writeLayout(report, "(2X,I2,2X,E8.3,4X,E8.3,4X,E9.3)",
                        {i, s.inflow(i), s.outflow(i), s.imbalance(i)});
        }
    } else {
        writeLayout(report, "(1X,'COMPARTMENTAL THROUGHPUTS')");
        VECPRT(report, s.inflow.view(), n);
    }
    if (!s.flowing) {
        stopWithReportError(report, "('0 ERROR COMPARTMENTAL THROUGHPUTS MUST BE GREATER THAN 0')");
    }
}

}  // namespace flownet
