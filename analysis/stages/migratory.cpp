#include "migratory.hpp"

#include "layout.hpp"

namespace flownet {

void classifyInputs(int n, int nl, ConstVecView IN, ConstMatView T, MigratoryInputs& mig) {
    VecView MIG = mig.MIG.view();
    int nMig = 0, nPP = 0;
    for (int i = 1; i <= n; ++i) MIG(i) = 0.0f;
    for (int k = 1; k <= nl; ++k) {
        if (!(IN(k) > 0.0f)) continue;
        // Any inflow from a compartment of the network, living or not, k itself included.
        bool fed = false;
        for (int m = 1; m <= n && !fed; ++m) fed = T(m, k) > 0.0f;
        if (fed) {
            ++nMig;
            MIG(k) = IN(k);
        } else {
            ++nPP;
        }
    }
    mig.noPrimaryProducer = nPP == 0;
    if (mig.noPrimaryProducer) {
        nMig = 0;
        for (int i = 1; i <= n; ++i) MIG(i) = 0.0f;
    }
    mig.nMig = nMig;
}

void writePrimaryProducerWarning(std::ostream& report, const MigratoryInputs& mig) {
    if (!mig.noPrimaryProducer) return;
    writeLayout(
        report,
        "(/,1X,'WARNING!! NO UNAMBIGUOUS PRIMARY PRODUCERS FOUND.',/,1X,'THEREFORE, ALL INPUTS ARE ASSUMED TO BE PRIMARY PRODUCTION.',/)");
}

void listMigratoryInputs(std::ostream& report, int nl, const MigratoryInputs& mig) {
    if (mig.nMig <= 0) return;
    writeLayout(
        report,
        "(1X,'THE FOLLOWING INPUTS ARE SUSPECTED TO BE MIGRATORY INPUTS.',/,1X,'THEY WILL BE TREATED AS NON-PRIMARY INFLOWS.',/)");
    for (int i = 1; i <= nl; ++i) {
        if (mig.MIG(i) > 0.0f)
            writeLayout(report, "(3X,'MIGRATORY INPUT TO ',I3,' = ',E11.5)", {i, mig.MIG(i)});
    }
    writeLayout(report, "(/)");
}

}  // namespace flownet
