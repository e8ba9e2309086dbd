// The run of flowentry.
#include <istream>
#include <memory>
#include <ostream>

#include "balance.hpp"
#include "entrydialog.hpp"
#include "entryrun.hpp"
#include "flowentry.hpp"
#include "keyin.hpp"
#include "layout.hpp"
#include "network.hpp"
#include "readin.hpp"
#include "runend.hpp"

namespace flownet {

namespace {

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

    computeTotals(r.net.T.view(), r.net.count);
    while (!steadyStatePass(con.out, r)) {
        writeLayout(con.out,
                    "(/,1X,'DO YOU WISH THE NETWORK TO BE AUTOMATICALLY BALANCED? (Y/N)',$)");
        if (!isYes(requireChar(con))) break;
        BALNCE(con.out, r.net.T.view(), r.A.view(), r.D.view(), r.net.count);
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
