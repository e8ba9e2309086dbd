#include "cyclereport.hpp"

#include "listing.hpp"

namespace flownet {

void cycleStatistics(VecView CYC, int n, float TST, CycleRemoval& result) {
    float SUM = 0.0f;
    for (int L = 1; L <= n; ++L) {
        result.cycled(L) = CYC(L);
        SUM = SUM + CYC(L);
        CYC(L) = CYC(L) / TST;
        result.normalised(L) = CYC(L);
    }
    result.finn = SUM / TST;
}

void writeCycleStatistics(std::ostream& report, const CycleRemoval& result, int n,
                          bool wholeNetwork) {
    if (wholeNetwork) {
        writeLayout(report, "(/,/,1X,'CYCLE DISTRIBUTIONS')");
        VECPRT(report, result.cycled.view(), n);
        writeLayout(report, "(1X,'NORMALIZED DISTRIBUTION')");
        VECPRT(report, result.normalised.view(), n);
    }
    writeLayout(report, "(/,1X,'FINN CYCLING INDEX IS ',E11.4,/)", {result.finn});
}

}  // namespace flownet
