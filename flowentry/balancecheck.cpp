#include "balancecheck.hpp"

#include <cmath>

#include "layout.hpp"

namespace flownet {

bool steadyStatePass(std::ostream& out, ConstMatView T, VecView D, int n, float tol) {
    float imbalance = 0.0f;
    for (int i = 1; i <= n; ++i) {
        if (T(n + 3, i) <= 0.0f) {
            writeLayout(out, "(/,1X,'DIAGNOSTIC WARNING - NO INPUTS TO ',I3,/)", {i});
        }
        if (T(i, n + 3) <= 0.0f) {
            writeLayout(out, "(/,1X,'DIAGNOSTIC WARNING - NO OUTPUTS FROM ',I3,/)", {i});
        }
        D(i) = T(n + 3, i) - T(i, n + 3);
        // A difference up to the tolerance counts as balanced; D(i) keeps its value. A difference
        // that is not a number (totals beyond single precision) is no balance.
        if (!(std::fabs(D(i)) <= tol)) imbalance = imbalance + std::fabs(D(i));
    }
    if (imbalance <= 0.0f) {  // false for a total that is not a number
        writeLayout(out, "(/,1X,'SYSTEM IS IN STEADY-STATE.',/)");
        return true;
    }
    writeLayout(out, "(/,/,1X,'               SYSTEM IS NOT IN STEADY STATE. ')");
    writeLayout(out, "(/,/,/)");
    writeLayout(out, "(1X,'                  COMPARISON OF THROUGHPUTS ')");
    writeLayout(out, "(1X,'                INPUTS      OUTPUTS     IMBALANCE ')");
    for (int i = 1; i <= n; ++i) {
        writeLayout(out, "(12X,I3,2X,E8.3,4X,E8.3,4X,E9.3)", {i, T(n + 3, i), T(i, n + 3), D(i)});
    }
    return false;
}

}  // namespace flownet
