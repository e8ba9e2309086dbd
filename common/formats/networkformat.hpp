// The formats a network file may come in, told by the file's extension and checked against its
// content, and the reading of a network of another format into the network record.
//
//   .csv   a CSV table: the matrix form (csvmatrix.hpp) or, when its header names the columns
//          from, to and value, the edge-list form (csvedges.hpp)
//   .nea   an NEA system matrix (nea.hpp)
//   else   the network file of fixed columns (SCOR; .dat, .scor or any other name)
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "csvtext.hpp"
#include "netdraft.hpp"
#include "network.hpp"
#include "textio.hpp"

namespace flownet {

enum class NetworkFormat { Scor, CsvMatrix, CsvEdges, Nea };

// The word of a format on the command line and in the results: scor, csv, csv-edges, nea.
const char* formatWord(NetworkFormat f);
std::optional<NetworkFormat> formatOfWord(std::string_view word);

// The format the file's name gives (.csv is the matrix form: the content tells the edge list).
NetworkFormat formatOfName(const std::string& path);

// What the command line tells of the networks whose files do not say it themselves.
struct FormatOptions {
    std::string title, units, stockUnits;
    std::optional<int> precisionExponent;
    std::set<int> nonLiving;  // NEA: the compartments, numbered as in the file, not living
};

// --title, --units, --stock-units, --precision-exponent and --non-living.
void addFormatOptions(CLI::App& app, FormatOptions& o);

// Where a network came from: its format, its units as far as known, the numbering of its
// compartments against the file's order, and what the reader assumed or changed.
struct NetworkOrigin {
    NetworkFormat format = NetworkFormat::Scor;
    NetworkUnits units;
    Numbering numbering;  // empty for a network file of fixed columns: the file's own numbering
    std::vector<std::string> notices;
};

// The units of a network: those its file gives, else those of the options, else the words in the
// last parentheses of its title ("(KCAL M-2 Y-1)"), when there are some.
NetworkUnits resolveUnits(const NetworkUnits& fromFile, const FormatOptions& o,
                          const std::string& title);

// The bytes of the file named on a command line; a device, a pipe, a folder, a file that cannot be
// read and a file of more than 64 MiB are refused (FormatError).
std::string readNetworkBytes(const std::string& path);

// Reads a network file of another format than SCOR into its draft, the options applied. Throws
// FormatError.
NetworkDraft readDraft(const std::string& path, NetworkFormat& format, const FormatOptions& o);

// A file named as a network file of fixed columns whose content is plainly a CSV table (a '#'
// line first, or a counts record that cannot be read, made of cells separated by commas) is
// refused (FormatError): read as records it would fail at a place that tells nothing.
void checkScorContent(const std::string& path);

// The network file of the analysis programs: a network file of fixed columns is opened as it is;
// a network of another format is read and handed on as the text of the network file it stands for
// (a network beyond the largest any program takes as its title and counts records, all that is
// read of it before the reading stops at its limit), its records' messages naming the file and
// the lines they came from. A file that cannot be read ends the run with a failure.
NetworkOrigin openAnalysisInput(RecordFile& input, const std::string& path, const FormatOptions& o);

// The record of a network of another format than SCOR, for flowentry (Limit compartments at
// most). Throws FormatError.
template <int Limit>
NetworkOrigin readOtherFormat(const std::string& path, const FormatOptions& o, NetworkFormat format,
                              NetworkRecord<Limit>& net);

// The file's base name, the title of a network whose file and options give none.
std::string baseName(const std::string& path);

template <int Limit>
NetworkOrigin readOtherFormat(const std::string& path, const FormatOptions& o, NetworkFormat format,
                              NetworkRecord<Limit>& net) {
    NetworkDraft draft = readDraft(path, format, o);
    if (draft.compartments.size() > static_cast<std::size_t>(Limit)) {
        throw FormatError{path + ": " + std::to_string(draft.compartments.size()) +
                          " compartments, where at most " + std::to_string(Limit) +
                          " can be read here"};
    }
    NetworkOrigin origin{format, draft.units, {}, {}};
    origin.numbering = buildNetwork(path, draft, net, baseName(path));
    origin.notices = draft.notices;
    return origin;
}

// Writes the record in the format: a network file of fixed columns with the bytes flowentry
// writes, or a CSV or NEA text. The edge list names its companion table `companionName`.
void writeInFormat(std::ostream& out, NetworkFormat format, const NetworkView& net,
                   const NetworkUnits& units, const std::string& companionName);

}  // namespace flownet
