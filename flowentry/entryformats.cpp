#include "entryformats.hpp"

#include <filesystem>

#include "csvedges.hpp"
#include "csvmatrix.hpp"
#include "csvtext.hpp"
#include "readin.hpp"
#include "runend.hpp"
#include "shortest.hpp"

namespace flownet {

NetworkOrigin readAnyNetwork(Console& con, EntryRun& r, const std::string& name,
                             const FormatOptions& o, bool quiet) {
    NetworkOrigin origin;
    origin.format = formatOfName(name);
    try {
        if (origin.format == NetworkFormat::Scor) {
            checkScorContent(name);
            readNetworkFile(con, r.net, r.input, name);
            r.input.close();
            return origin;
        }
        if (fileKind(name) == FileKind::None) stopFailure(name + ": no such network file");
        origin = readOtherFormat(name, o, origin.format, r.net);
    } catch (const FormatError& e) {
        stopFailure(e.message);
    }
    if (!quiet) {
        for (const std::string& notice : origin.notices) con.warn(name + ": " + notice);
    }
    return origin;
}

NetworkFormat outputFormat(const std::string& out, const std::optional<std::string>& to) {
    const NetworkFormat named = out == "-" ? NetworkFormat::Scor : formatOfName(out);
    if (!to) return named;
    const NetworkFormat asked = *formatOfWord(*to);
    const std::string ext = lowerCase(std::filesystem::path(out).extension().string());
    const bool csv = asked == NetworkFormat::CsvMatrix || asked == NetworkFormat::CsvEdges;
    const bool contradicts = (ext == ".csv" && !csv) || (ext == ".nea" && asked != NetworkFormat::Nea) ||
                             ((ext == ".dat" || ext == ".scor") && asked != NetworkFormat::Scor);
    if (contradicts) {
        throw OutputFailure{out + ": a " + ext + " name for a network written as " + *to +
                            ": it would not be read back as what its name says"};
    }
    if (asked == NetworkFormat::CsvEdges && out == "-") {
        throw OutputFailure{"-: an edge list is written with its companion table beside it, which "
                            "standard output has no place for: name a file"};
    }
    return asked;
}

NetworkOutput openNetworkOutput(RunOutputs& outputs, const std::string& out, NetworkFormat format) {
    NetworkOutput o;
    o.format = format;
    o.file = &outputs.open("-o", out);
    if (format == NetworkFormat::CsvEdges) {
        const std::filesystem::path p(out);
        o.companionName = p.stem().string() + ".compartments.csv";
        o.companion = &outputs.open("-o", (p.parent_path() / o.companionName).string());
    }
    return o;
}

void writeNetworkOutput(const NetworkOutput& o, const Network& net, const NetworkUnits& units) {
    const NetworkView view = viewOf(net);
    if (o.format != NetworkFormat::Scor && o.format != NetworkFormat::Nea) {
        try {
            checkCsvNames(o.file->name(), view);
        } catch (const FormatError& e) {
            throw OutputFailure{e.message};
        }
    }
    writeInFormat(o.file->stream(), o.format, view, units, o.companionName);
    if (o.companion != nullptr) writeCsvCompartments(o.companion->stream(), view);
}

namespace {

std::string number(float x) {
    return x == 0.0f ? "0" : shortestText(x);
}

// One row of the table, when the value is not 0 both before and after.
void changeRow(std::ostream& out, const Network& before, const char* kind, int from, int to,
               float a, float b) {
    if (a == 0.0f && b == 0.0f) return;
    const auto name = [&](int k) {
        return k == 0 ? std::string() : csvQuoted(withoutTrailingBlanks(before.names[k]));
    };
    const auto place = [](int k) { return k == 0 ? std::string() : std::to_string(k); };
    out << kind << ',' << place(from) << ',' << place(to) << ',' << name(from) << ',' << name(to)
        << ',' << number(a) << ',' << number(b) << ',' << number(b - a) << '\n';
}

}  // namespace

void writeChanges(std::ostream& out, const Network& before, const Network& after) {
    const int n = before.count;
    ConstMatView A = before.T.view(), B = after.T.view();
    out << "kind,from,to,from_name,to_name,before,after,change\n";
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) changeRow(out, before, "flow", i, j, A(i, j), B(i, j));
    }
    for (int k = 1; k <= n; ++k) {
        changeRow(out, before, "input", 0, k, A(n + 1, k), B(n + 1, k));
        changeRow(out, before, "export", k, 0, A(k, n + 1), B(k, n + 1));
        changeRow(out, before, "respiration", k, 0, A(k, n + 2), B(k, n + 2));
        changeRow(out, before, "stock", k, 0, A(n + 2, k), B(n + 2, k));
    }
}

}  // namespace flownet
