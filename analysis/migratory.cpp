#include "migratory.hpp"

#include "layout.hpp"

namespace flownet {

int classifyInputs(std::ostream& report, int n, int nl, ConstVecView IN, ConstMatView T,
                   VecView MIG) {
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
    if (nPP == 0) {
        writeLayout(
            report,
            "(/,1X,'WARNING!! NO UNAMBIGUOUS PRIMARY PRODUCERS FOUND.',/,1X,'THEREFORE, ALL INPUTS ARE ASSUMED TO BE PRIMARY PRODUCTION.',/)");
        nMig = 0;
        for (int i = 1; i <= n; ++i) MIG(i) = 0.0f;
    }
    return nMig;
}

void listMigratoryInputs(std::ostream& report, int nl, int nMig, ConstVecView MIG) {
    if (nMig <= 0) return;
    writeLayout(
        report,
        "(1X,'THE FOLLOWING INPUTS ARE SUSPECTED TO BE MIGRATORY INPUTS.',/,1X,'THEY WILL BE TREATED AS NON-PRIMARY INFLOWS.',/)");
    for (int i = 1; i <= nl; ++i) {
        if (MIG(i) > 0.0f)
            writeLayout(report, "(3X,'MIGRATORY INPUT TO ',I3,' = ',E11.5)", {i, MIG(i)});
    }
    writeLayout(report, "(/)");
}

}  // namespace flownet
