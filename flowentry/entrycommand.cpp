// flowentry started with arguments: a network file checked for steady state, or balanced into a
// new network file, without a dialog.
#include <cmath>
#include <memory>
#include <sstream>
#include <string>

#include "balance.hpp"
#include "commandline.hpp"
#include "entryrun.hpp"
#include "flowentry.hpp"
#include "outputs.hpp"
#include "readin.hpp"
#include "runend.hpp"

namespace flownet {

namespace {

// The balanced network is the mean of two balances, in steady state up to rounding; where the
// rounding leaves an imbalance above the tolerance of a fine K, the network is balanced again, at
// most this many times in all.
constexpr int kBalancingRounds = 3;

struct Options {
    std::string check, balance, output;
    bool force = false, quiet = false;
};

// Reads the network file whole, with its totals: no listing, no question. A network whose totals
// go beyond single precision can be neither checked nor balanced: its imbalances are not numbers,
// and a balance of it would be a network unrelated to the file.
void readNetwork(Console& con, EntryRun& r, const std::string& name) {
    readNetworkFile(con, r.net, r.input, name);
    r.input.close();
    const int n = r.net.count;
    MatView T = r.net.T.view();
    computeTotals(T, n);
    for (int i = 1; i <= n; ++i) {
        if (!std::isfinite(T(i, n + 3)) || !std::isfinite(T(n + 3, i))) {
            stopFailure(name + ": the total " + (std::isfinite(T(i, n + 3)) ? "input" : "output") +
                        " of compartment " + std::to_string(i) +
                        " goes beyond single precision; the network cannot be checked or "
                        "balanced");
        }
    }
}

// --balance: balances while the network is out of steady state, as the dialog does on every yes,
// and writes the balanced network; nothing is written when it cannot be balanced. The output is
// checked, and its temporary file made, before the network is read. The exit status.
int balanceNetwork(Console& con, EntryRun& r, const Options& o, RunOutputs& outputs) {
    OutputFile& file = outputs.open("-o", o.output);
    readNetwork(con, r, o.balance);
    bool steady = steadyStatePass(con.out, r);
    for (int round = 0; !steady && round < kBalancingRounds; ++round) {
        if (!BALNCE(con.out, r.net.T.view(), r.A.view(), r.D.view(), r.net.count)) break;
        steady = steadyStatePass(con.out, r);
    }
    if (!steady) {
        outputs.discard();
        con.warn(o.balance + ": the network cannot be balanced; nothing is written");
        return kStatusLook;
    }
    writeNetwork(file.stream(), r.net);
    file.finishWriting();
    outputs.commit();
    return kStatusOk;
}

}  // namespace

int runFlowentryCommand(int argc, const char* const* argv, std::ostream& out,
                        std::ostream& errors) {
    CLI::App app{"", "flowentry"};
    describeProgram(app,
                    "Checks a network file for steady state, or balances it into a new network "
                    "file.");
    Options o;
    CLI::Option* check =
        app.add_option("--check", o.check,
                       "Check NETWORK for steady state: the diagnostics on standard output, exit "
                       "status 1 when it is out of steady state")
            ->type_name("NETWORK");
    CLI::Option* balance =
        app.add_option("--balance", o.balance,
                       "Balance NETWORK when it is out of steady state and write it to -o; exit "
                       "status 1, and nothing written, when it cannot be balanced")
            ->type_name("NETWORK")
            ->excludes(check);
    CLI::Option* output =
        app.add_option("-o,--output", o.output, "The balanced network file (- for standard output)")
            ->type_name("OUT")
            ->needs(balance);
    balance->needs(output);
    app.add_flag("--force", o.force, "Replace an existing OUT")->needs(balance);
    app.add_flag("-q,--quiet", o.quiet, "No diagnostics of the balancing on standard error")
        ->needs(balance);
    app.callback([&] {
        if (!*check && !*balance) throw CLI::RequiredError("--check or --balance");
    });
    if (const int status = parseArguments(app, argc, argv, out, errors); status >= 0) return status;

    // The diagnostics of --check are its result, on standard output; those of --balance are
    // progress, on standard error, or nowhere when quiet.
    std::ostream nowhere(nullptr);
    std::ostream& diagnostics = *check ? out : o.quiet ? nowhere : errors;
    std::istringstream noAnswers;
    auto state = std::make_unique<EntryRun>();
    RunOutputs outputs(out, o.force, {*check ? o.check : o.balance});
    int status = kStatusOk;
    const int end = runProgram("flowentry", noAnswers, diagnostics, errors, [&](Console& con) {
        try {
            if (*check) {
                readNetwork(con, *state, o.check);
                status = steadyStatePass(con.out, *state) ? kStatusOk : kStatusLook;
            } else {
                status = balanceNetwork(con, *state, o, outputs);
            }
        } catch (const OutputFailure& e) {
            outputs.discard();
            stopFailure(e.message);
        }
    });
    outputs.discard();  // after a failure of the reading, no temporary file remains
    return finishStandardOutput(out, errors, "flowentry", end != kStatusOk ? end : status);
}

}  // namespace flownet
