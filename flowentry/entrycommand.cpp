// flowentry started with arguments: a network file checked for steady state, or balanced into a
// new network file, without a dialog.
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "balance.hpp"
#include "commandline.hpp"
#include "entryformats.hpp"
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
    std::string check, balance, convert, output, changes;
    std::optional<std::string> to;
    bool force = false, quiet = false;
    BalanceMethod method = BalanceMethod::Average;
    FormatOptions formats;
};

// Reads the network file whole, of any format, with its totals: no listing, no question. A
// network whose totals go beyond single precision can be neither checked nor balanced: its
// imbalances are not numbers, and a balance of it would be a network unrelated to the file.
NetworkOrigin readNetwork(Console& con, EntryRun& r, const std::string& name, const Options& o) {
    const NetworkOrigin origin = readAnyNetwork(con, r, name, o.formats, o.quiet);
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
    return origin;
}

// The units a written network states: those its file or the options give (not a guess from the
// title).
NetworkUnits statedUnits(const NetworkOrigin& origin, const Options& o) {
    return resolveUnits(origin.units, o.formats, "");
}

// --balance: balances while the network is out of steady state, as the dialog does on every yes,
// and writes the balanced network; nothing is written when it cannot be balanced. The output is
// checked, and its temporary file made, before the network is read. The exit status.
int balanceNetwork(Console& con, EntryRun& r, const Options& o, RunOutputs& outputs) {
    const NetworkOutput out = openNetworkOutput(outputs, o.output, outputFormat(o.output, o.to));
    OutputFile* changes = o.changes.empty() ? nullptr : &outputs.open("--changes", o.changes);
    const NetworkOrigin origin = readNetwork(con, r, o.balance, o);
    const auto before = std::make_unique<Network>(r.net);
    bool steady = steadyStatePass(con.out, r);
    for (int round = 0; !steady && round < kBalancingRounds; ++round) {
        if (!balanceBy(con.out, o.method, r.net.T.view(), r.A.view(), r.D.view(), r.net.count)) {
            break;
        }
        steady = steadyStatePass(con.out, r);
    }
    if (!steady) {
        outputs.discard();
        con.warn(o.balance + ": the network cannot be balanced; nothing is written");
        return kStatusLook;
    }
    writeNetworkOutput(out, r.net, statedUnits(origin, o));
    if (changes != nullptr) writeChanges(changes->stream(), *before, r.net);
    for (const auto& output : outputs.all()) output->finishWriting();
    outputs.commit();
    return kStatusOk;
}

// --convert: the network written in another format, as read.
int convertNetwork(Console& con, EntryRun& r, const Options& o, RunOutputs& outputs) {
    const NetworkOutput out = openNetworkOutput(outputs, o.output, outputFormat(o.output, o.to));
    const NetworkOrigin origin = readAnyNetwork(con, r, o.convert, o.formats, o.quiet);
    writeNetworkOutput(out, r.net, statedUnits(origin, o));
    for (const auto& output : outputs.all()) output->finishWriting();
    outputs.commit();
    return kStatusOk;
}

// The options of the command line; --check, --balance and --convert exclude one another.
void addOptions(CLI::App& app, Options& o) {
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
    CLI::Option* convert =
        app.add_option("--convert", o.convert, "Write NETWORK to -o in the format of --to")
            ->type_name("NETWORK")
            ->excludes(check)
            ->excludes(balance);
    CLI::Option* output = app.add_option("-o,--output", o.output,
                                         "The network file written (- for standard output)")
                              ->type_name("OUT");
    app.add_option("--to", o.to,
                   "The format of OUT: scor, csv (a flow matrix), csv-edges (an edge list and "
                   "its companion table), nea (default: the one OUT's name gives, else scor)")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"scor", "csv", "csv-edges", "nea"}))
        ->needs(output);
    const std::map<std::string, BalanceMethod> methods = {{"input", BalanceMethod::Input},
                                                           {"output", BalanceMethod::Output},
                                                           {"average", BalanceMethod::Average}};
    app.add_option("--method", o.method,
                   "How --balance balances: input (the inputs and each compartment's output "
                   "fractions held), output (the exports, respirations and each compartment's "
                   "input fractions held) or average (the mean of the two, the default)")
        ->type_name("METHOD")
        ->transform(CLI::CheckedTransformer(methods, CLI::ignore_case))
        ->needs(balance);
    app.add_option("--changes", o.changes,
                   "Write what the balancing changed to FILE: one CSV row per flow, input, "
                   "export, respiration and stock, before and after")
        ->type_name("FILE")
        ->needs(balance);
    app.add_flag("--force", o.force, "Replace an existing OUT")->needs(output);
    app.add_flag("-q,--quiet", o.quiet,
                 "No diagnostics of the balancing, and no notices of a reader, on standard error");
    addFormatOptions(app, o.formats);
    app.callback([check, balance, convert, output] {
        if (!*check && !*balance && !*convert) {
            throw CLI::RequiredError("--check, --balance or --convert");
        }
        if (*check && *output) throw CLI::RequiresError("--output", "--balance or --convert");
        if (*balance && !*output) throw CLI::RequiresError("--balance", "--output");
        if (*convert && !*output) throw CLI::RequiresError("--convert", "--output");
    });
}

}  // namespace

int runFlowentryCommand(int argc, const char* const* argv, std::ostream& out,
                        std::ostream& errors) {
    CLI::App app{"", "flowentry"};
    describeProgram(app,
                    "Checks a network file for steady state, balances it into a new network file, "
                    "or writes it in another format.");
    Options o;
    addOptions(app, o);
    if (const int status = parseArguments(app, argc, argv, out, errors); status >= 0) return status;

    // The diagnostics of --check are its result, on standard output; those of --balance are
    // progress, on standard error, or nowhere when quiet.
    const bool checking = !o.check.empty() || (o.balance.empty() && o.convert.empty());
    std::ostream nowhere(nullptr);
    std::ostream& diagnostics = checking ? out : o.quiet ? nowhere : errors;
    std::istringstream noAnswers;
    auto state = std::make_unique<EntryRun>();
    const std::string& network = checking ? o.check : !o.balance.empty() ? o.balance : o.convert;
    RunOutputs outputs(out, o.force, {network});
    int status = kStatusOk;
    const int end = runProgram("flowentry", noAnswers, diagnostics, errors, [&](Console& con) {
        try {
            if (checking) {
                readNetwork(con, *state, o.check, o);
                status = steadyStatePass(con.out, *state) ? kStatusOk : kStatusLook;
            } else if (!o.balance.empty()) {
                status = balanceNetwork(con, *state, o, outputs);
            } else {
                status = convertNetwork(con, *state, o, outputs);
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
