// What one run of flowentry holds, in the dialog and on the command line alike.
#pragma once

#include <ostream>

#include "balancecheck.hpp"
#include "entrydialog.hpp"
#include "matview.hpp"
#include "network.hpp"
#include "textio.hpp"

namespace flownet {

// The network in its extended matrix, the balancing's work matrix A, the imbalances D (also the
// balancing's work vector) and the network file read.
struct EntryRun {
    Network net;
    Matrix<kExtendedSize> A;
    Vector<kExtendedSize> D;
    RecordFile input;
};

// The steady-state pass over the run's network (totals current) at the tolerance of its K.
inline bool steadyStatePass(std::ostream& out, EntryRun& r) {
    return steadyStatePass(out, r.net.T.view(), r.D.view(), r.net.count,
                           entryTolerance(r.net.precisionExponent));
}

}  // namespace flownet
