#include "cyclereport.hpp"

#include "listing.hpp"

namespace flownet {

void writeCycleStatistics(std::ostream& report, VecView CYC, int n, float TST, bool wholeNetwork) {
    if (wholeNetwork) {
        writeLayout(report, "(/,/,1X,'CYCLE DISTRIBUTIONS')");
        VECPRT(report, CYC, n);
    }
    float SUM = 0.0f;
    for (int L = 1; L <= n; ++L) {
        SUM = SUM + CYC(L);
        CYC(L) = CYC(L) / TST;
    }
    if (wholeNetwork) {
        writeLayout(report, "(1X,'NORMALIZED DISTRIBUTION')");
        VECPRT(report, CYC, n);
    }
    float FINN = SUM / TST;
    writeLayout(report, "(/,1X,'FINN CYCLING INDEX IS ',E11.4,/)", {FINN});
}

}  // namespace flownet
