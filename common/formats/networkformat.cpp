#include "networkformat.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "csvedges.hpp"
#include "csvmatrix.hpp"
#include "files.hpp"
#include "nea.hpp"
#include "runend.hpp"

namespace flownet {

namespace {

struct FormatName {
    NetworkFormat format;
    const char* word;
};
constexpr FormatName kFormats[] = {{NetworkFormat::Scor, "scor"},
                                   {NetworkFormat::CsvMatrix, "csv"},
                                   {NetworkFormat::CsvEdges, "csv-edges"},
                                   {NetworkFormat::Nea, "nea"}};

// The largest network file of another format read: far above any network the programs take.
constexpr std::uintmax_t kLargestFile = std::uintmax_t{64} << 20;

std::string extensionOf(const std::string& path) {
    return lowerCase(std::filesystem::path(path).extension().string());
}

}  // namespace

const char* formatWord(NetworkFormat f) {
    for (const FormatName& n : kFormats) {
        if (n.format == f) return n.word;
    }
    return "scor";
}

std::optional<NetworkFormat> formatOfWord(std::string_view word) {
    for (const FormatName& n : kFormats) {
        if (word == n.word) return n.format;
    }
    return std::nullopt;
}

NetworkFormat formatOfName(const std::string& path) {
    const std::string ext = extensionOf(path);
    if (ext == ".csv") return NetworkFormat::CsvMatrix;
    if (ext == ".nea") return NetworkFormat::Nea;
    return NetworkFormat::Scor;
}

std::string baseName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

void addFormatOptions(CLI::App& app, FormatOptions& o) {
    app.add_option("--title", o.title, "Title of a network whose file gives none (CSV, NEA)")
        ->type_name("TEXT");
    app.add_option("--units", o.units, "Units of the flows of a network whose file gives none")
        ->type_name("TEXT");
    app.add_option("--stock-units", o.stockUnits,
                   "Units of the stocks of a network whose file gives none")
        ->type_name("TEXT");
    app.add_option_function<int>(
           "--precision-exponent", [&o](const int& k) { o.precisionExponent = k; },
           "K of a network whose file gives none (CSV, NEA; default 6)")
        ->type_name("K")
        ->check(CLI::Range(-9, 99));
    app.add_option_function<std::vector<int>>(
           "--non-living",
           [&o](const std::vector<int>& v) { o.nonLiving.insert(v.begin(), v.end()); },
           "NEA: the compartments (numbered as in the file) that are not living, e.g. 6 or 5,6")
        ->type_name("LIST")
        ->delimiter(',')
        ->check(CLI::PositiveNumber);
}

NetworkUnits resolveUnits(const NetworkUnits& fromFile, const FormatOptions& o,
                          const std::string& title) {
    NetworkUnits u = fromFile;
    if (u.flow.empty() && !o.units.empty()) u.flow = o.units;
    if (u.stock.empty() && !o.stockUnits.empty()) u.stock = o.stockUnits;
    if (u.source.empty() && !(u.flow.empty() && u.stock.empty())) u.source = "option";
    const std::size_t close = title.rfind(')');
    const std::size_t open = close == std::string::npos ? close : title.rfind('(', close);
    if (u.source.empty() && open != std::string::npos) {
        u.flow = trimmed(title.substr(open + 1, close - open - 1));
        if (!u.flow.empty()) u.source = "title";
    }
    return u;
}

std::string readNetworkBytes(const std::string& path) {
    switch (fileKind(path)) {
        case FileKind::Special:
            throw FormatError{path + ": is not a regular file (a device or a pipe)"};
        case FileKind::Folder:
            throw FormatError{path + ": is a folder"};
        case FileKind::None:
        case FileKind::Regular:
            break;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw FormatError{path + ": the file cannot be opened for reading: " + std::strerror(errno)};
    }
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) > kLargestFile && !ec) {
        throw FormatError{path + ": the file is larger than 64 MiB: not a network"};
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw FormatError{path + ": the file cannot be read"};
    return bytes.str();
}

namespace {

// The first lines of a file, at most `count`, without their line ends.
std::vector<std::string> firstLines(std::string_view bytes, std::size_t count) {
    std::vector<std::string> lines;
    std::istringstream in{std::string(bytes.substr(0, 1 << 16))};
    std::string line;
    while (lines.size() < count && readLineBounded(in, line) == LineRead::Line) lines.push_back(line);
    if (!lines.empty() && lines[0].rfind("\xEF\xBB\xBF", 0) == 0) lines[0].erase(0, 3);
    return lines;
}

bool countsRecord(const std::string& line) {
    int n = 0, nl = 0;
    std::string problem;
    return parseCountsRecord(line, n, nl, problem) && n >= 1;
}

// A file named as a CSV table whose first lines are a title and a counts record is a network file
// of fixed columns.
void checkNotScor(const std::string& path, std::string_view bytes) {
    const std::vector<std::string> lines = firstLines(bytes, 2);
    if (lines.size() == 2 && lines[0].rfind('#', 0) != 0 && lines[1].find(',') == std::string::npos &&
        countsRecord(lines[1])) {
        throw FormatError{path + ", line 2: a counts record of a network file of fixed columns, "
                          "where a row of the table was expected: the file is a network file "
                          "(SCOR); name it .dat"};
    }
}

// The companion table of an edge list, named relative to the edge list's folder.
CsvText companionTable(const std::string& edges, const std::string& name, int line) {
    const std::filesystem::path p = std::filesystem::path(edges).parent_path() / name;
    try {
        return parseCsv(p.string(), readNetworkBytes(p.string()));
    } catch (const FormatError& e) {
        throw FormatError{edges + ", line " + std::to_string(line) +
                          ": the companion table of the compartments: " + e.message};
    }
}

void applyOptions(NetworkDraft& draft, const FormatOptions& o) {
    if (draft.title.empty()) draft.title = o.title;
    if (!draft.precisionExponent) draft.precisionExponent = o.precisionExponent;
    draft.units = resolveUnits(draft.units, o, "");
}

}  // namespace

NetworkDraft readDraft(const std::string& path, NetworkFormat& format, const FormatOptions& o) {
    const std::string bytes = readNetworkBytes(path);
    NetworkDraft draft;
    if (format == NetworkFormat::Nea) {
        draft = readNea(path, bytes, o.nonLiving);
    } else {
        checkNotScor(path, bytes);
        const CsvText csv = parseCsv(path, bytes);
        if (csv.rows.empty()) formatError(path, csv.lines, 0, "no table: the file holds none");
        format = isEdgeList(csv) ? NetworkFormat::CsvEdges : NetworkFormat::CsvMatrix;
        draft = format == NetworkFormat::CsvEdges
                    ? readCsvEdges(csv, [&](const std::string& name, int line) {
                          return companionTable(path, name, line);
                      })
                    : readCsvMatrix(csv);
    }
    applyOptions(draft, o);
    return draft;
}

void checkScorContent(const std::string& path) {
    if (fileKind(path) != FileKind::Regular) return;  // told when it is opened
    std::ifstream in(path, std::ios::binary);
    std::string head(4096, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::vector<std::string> lines = firstLines(head, 2);
    if (!lines.empty() && lines[0].rfind('#', 0) == 0) {
        throw FormatError{path + ", line 1: a '#' line, as CSV tables begin, where the title record "
                          "of a network file of fixed columns was expected: name a CSV network "
                          ".csv (or an NEA system matrix .nea)"};
    }
    if (lines.size() == 2 && lines[1].find(',') != std::string::npos && !countsRecord(lines[1])) {
        throw FormatError{path + ", line 2: cells separated by commas, where the counts record of a "
                          "network file of fixed columns was expected (the number of compartments "
                          "in columns 1-3, of living ones in 4-6): name a CSV network .csv (or an "
                          "NEA system matrix .nea)"};
    }
}

NetworkOrigin openAnalysisInput(RecordFile& input, const std::string& path, const FormatOptions& o) {
    NetworkOrigin origin;
    origin.format = formatOfName(path);
    try {
        if (origin.format == NetworkFormat::Scor) {
            checkScorContent(path);
            input.openOrStop(path);
            return origin;
        }
        NetworkDraft draft = readDraft(path, origin.format, o);
        std::ostringstream text;
        if (draft.compartments.size() > static_cast<std::size_t>(kAnalysisLimit)) {
            checkCompartments(path, draft);
            int living = 0;
            for (const DraftCompartment& c : draft.compartments) living += c.living ? 1 : 0;
            writeNetworkHead(text, recordTitle(draft, baseName(path)),
                             draft.precisionExponent.value_or(6),
                             static_cast<int>(draft.compartments.size()),
                             draft.livingCountAsWritten.value_or(living));
        } else {
            auto net = std::make_unique<AnalysisNetwork>();
            origin.numbering = buildNetwork(path, draft, *net, baseName(path));
            writeNetwork(text, *net);
        }
        origin.units = draft.units;
        origin.notices = draft.notices;
        const int titleLine = draft.titleLine > 0 ? draft.titleLine : draft.countLine;
        input.openText(path, text.str(), {titleLine, draft.countLine, draft.lastLine});
    } catch (const FormatError& e) {
        stopFailure(e.message);
    }
    return origin;
}

void writeInFormat(std::ostream& out, NetworkFormat format, const NetworkView& net,
                   const NetworkUnits& units, const std::string& companionName) {
    switch (format) {
        case NetworkFormat::Scor:
            writeNetwork(out, net);
            return;
        case NetworkFormat::CsvMatrix:
            writeCsvMatrix(out, net, units);
            return;
        case NetworkFormat::CsvEdges:
            writeCsvEdges(out, net, units, companionName);
            return;
        case NetworkFormat::Nea:
            writeNea(out, net);
            return;
    }
}

}  // namespace flownet
