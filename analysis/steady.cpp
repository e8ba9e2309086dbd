#include "steady.hpp"

#include <cmath>

#include "layout.hpp"
#include "listing.hpp"
#include "runend.hpp"

namespace flownet {

void checkSteadyState(std::ostream& report, int n, ConstVecView IN, ConstVecView EX,
                      ConstVecView RE, ConstMatView T, float tolerance, VecView inflow,
                      VecView outflow, VecView imbalance) {
    // Inflow, outflow and imbalance of each compartment.
    float total = 0.0f;
    for (int i = 1; i <= n; ++i) {
        inflow(i) = IN(i);
        outflow(i) = RE(i) + EX(i);
        for (int j = 1; j <= n; ++j) {
            inflow(i) = inflow(i) + T(j, i);
            outflow(i) = outflow(i) + T(i, j);
        }
        imbalance(i) = inflow(i) - outflow(i);
        if (std::fabs(imbalance(i)) < tolerance) imbalance(i) = 0.0f;
        total = total + std::fabs(imbalance(i));
    }

    // A total that is not a number (inflow and outflow both beyond single precision) is no
    // steady state either.
    if (!(total <= 0.0f)) {
        writeLayout(report, "(/,1X,'WARNING! - NETWORK IS NON STEADY-STATE!',/)");
        writeLayout(report, "(1X,'COMPARISON OF THROUGHPUTS')");
        writeLayout(report, "(/,6X,'INPUTS',6X,'OUTPUTS',4X,'IMBALANCE',/)");
        for (int i = 1; i <= n; ++i) {
            writeLayout(report, "(2X,I2,2X,E8.3,4X,E8.3,4X,E9.3)",
                        {i, inflow(i), outflow(i), imbalance(i)});
        }
    } else {
        writeLayout(report, "(1X,'COMPARTMENTAL THROUGHPUTS')");
        VECPRT(report, inflow, n);
    }

    // Every compartment must carry some flow.
    for (int i = 1; i <= n; ++i) {
        if ((outflow(i) + inflow(i)) * 0.5f <= 0.0f) {
            stopWithReportError(report,
                                "('0 ERROR COMPARTMENTAL THROUGHPUTS MUST BE GREATER THAN 0')");
        }
    }

    for (int i = 1; i <= n; ++i) {
        inflow(i) = 0.0f;
        outflow(i) = 0.0f;
        imbalance(i) = 0.0f;
    }
}

}  // namespace flownet
