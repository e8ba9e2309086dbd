// The run of flowentry.
#include <istream>
#include <memory>
#include <ostream>

#include "balance.hpp"
#include "balancecheck.hpp"
#include "entrydialog.hpp"
#include "flowentry.hpp"
#include "keyin.hpp"
#include "layout.hpp"
#include "network.hpp"
#include "readin.hpp"
#include "runend.hpp"

namespace flownet {

namespace {

// Everything the run holds: the network in its extended matrix, the balancing's work matrix A,
// the imbalances D (also the balancing's work vector) and the network file being edited.
struct EntryRun {
    Network net;
    Matrix<kExtendedSize> A;
    Vector<kExtendedSize> D;
    RecordFile input;
};

void run(Console& con, EntryRun& r) {
    writeLayout(con.out,
                "(1X,'PLEASE INDICATE METHOD OF DATA ENTRY?',/,1X,'1 IF BY HAND, 2 IF BY FILE.')");
    std::int32_t method = 0;
    switch (askInteger(con, method)) {
        case Answer::End:
            con.failAtEnd();
        case Answer::Unreadable:
            con.fail("the method of data entry must be given as a whole number");
        case Answer::Ok:
            break;
    }
    if (method < 2) {
        KEYIN(con, r.net);
    } else {
        READIN(con, r.net, r.input);
    }

    MatView T = r.net.T.view();
    const int n = r.net.count;
    computeTotals(T, n);
    const float tol = entryTolerance(r.net.precisionExponent);
    while (!steadyStatePass(con.out, T, r.D.view(), n, tol)) {
        writeLayout(con.out,
                    "(/,1X,'DO YOU WISH THE NETWORK TO BE AUTOMATICALLY BALANCED? (Y/N)',$)");
        if (!isYes(requireChar(con))) break;
        BALNCE(con.out, T, r.A.view(), r.D.view(), n);
    }

    writeLayout(con.out, "(/,/,/)");
    const std::string name =
        storeNetwork(con, r.net, "(1X,'          TO STORE THIS INFORMATION : ',$)");
    writeCompletion(con.out, name);
}

}  // namespace

int runFlowentry(std::istream& in, std::ostream& console, std::ostream& errors) {
    auto state = std::make_unique<EntryRun>();
    return runProgram("flowentry", in, console, errors, [&](Console& con) { run(con, *state); });
}

}  // namespace flownet
