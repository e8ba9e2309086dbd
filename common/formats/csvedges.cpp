#include "csvedges.hpp"

#include <map>
#include <utility>

#include "csvnetwork.hpp"
#include "textio.hpp"

namespace flownet {

namespace {

using ColumnNames = std::vector<std::vector<std::string>>;

// Which of the names the header cell is: its index in `names`, or -1.
int columnOf(const ColumnNames& names, const std::string& cell) {
    const std::string name = lowerCase(cell);
    for (std::size_t k = 0; k < names.size(); ++k) {
        for (const std::string& n : names[k]) {
            if (name == n) return static_cast<int>(k);
        }
    }
    return -1;
}

// The columns of a table found by their names: column[k] for names[k], -1 when missing. Another
// column is an error, but for an unnamed first one (the row numbers R writes).
std::vector<int> namedColumns(const CsvText& csv, const ColumnNames& names) {
    const CsvRow& header = csv.rows[0];
    std::vector<int> column(names.size(), -1);
    for (std::size_t c = 0; c < header.cells.size(); ++c) {
        const int col = static_cast<int>(c) + 1;
        if (c == 0 && header.cells[c].text.empty()) continue;
        const int k = columnOf(names, header.cells[c].text);
        if (k < 0) {
            std::string expected;
            for (const auto& n : names) expected += (expected.empty() ? "" : ", ") + n[0];
            formatError(csv.file, header.line, col,
                        "expected a column named " + expected + ", not '" + header.cells[c].text +
                            "'");
        }
        if (column[static_cast<std::size_t>(k)] >= 0) {
            formatError(csv.file, header.line, col,
                        "the column '" + header.cells[c].text + "' a second time");
        }
        column[static_cast<std::size_t>(k)] = static_cast<int>(c);
    }
    return column;
}

const ColumnNames kEdgeColumns = {{"from", "source"}, {"to", "target"}, {"value", "flow"}};
const ColumnNames kCompartmentColumns = {{"compartment", "name"}, {"living"}, {"stock", "stocks"}};

std::string cellText(const CsvRow& row, int column) {
    const std::size_t c = static_cast<std::size_t>(column);
    return c < row.cells.size() ? row.cells[c].text : std::string();
}

// The compartments of the companion table, in its order.
void readCompanion(const CsvText& table, NetworkDraft& draft) {
    if (table.rows.empty()) formatError(table.file, table.lines, 0, "no table: the file is empty");
    const std::vector<int> col = namedColumns(table, kCompartmentColumns);
    if (col[0] < 0) {
        formatError(table.file, table.rows[0].line, 0, "expected a column named compartment");
    }
    for (std::size_t r = 1; r < table.rows.size(); ++r) {
        const CsvRow& row = table.rows[r];
        if (static_cast<std::size_t>(col[0]) >= row.cells.size()) {
            formatError(table.file, row.line, col[0] + 1, "expected the name of a compartment");
        }
        checkCompartmentName(table, row, static_cast<std::size_t>(col[0]), draft);
        DraftCompartment c{row.cells[static_cast<std::size_t>(col[0])].text, true, 0, 0, 0, 0,
                           row.line, col[0] + 1};
        if (col[1] >= 0) {
            c.living = cellYesNo(table, row, static_cast<std::size_t>(col[1]),
                                 "whether " + c.name + " is living");
        }
        if (col[2] >= 0) {
            c.stock = cellValue(table, row, static_cast<std::size_t>(col[2]), "the stock of " + c.name);
        }
        draft.compartments.push_back(std::move(c));
    }
}

// The compartment a cell names: one of the companion table, or, without one, a new one at its
// first appearance.
int compartmentOf(const CsvText& csv, const CsvRow& row, int column, NetworkDraft& draft,
                  bool listed) {
    const std::string name = cellText(row, column);
    const int k = compartmentIndex(draft, name);
    if (k >= 0) return k;
    if (listed) {
        formatError(csv.file, row.line, column + 1,
                    "'" + name + "' is not a compartment of the companion table");
    }
    checkCompartmentName(csv, row, static_cast<std::size_t>(column), draft);
    draft.compartments.push_back({name, true, 0, 0, 0, 0, row.line, column + 1});
    return static_cast<int>(draft.compartments.size()) - 1;
}

// The kinds of end of a flow across the boundary, as keys of the flows seen.
constexpr int kInputEnd = -1, kExportEnd = -2, kRespirationEnd = -3;

// Where each flow was first given, by its ends.
using SeenFlows = std::map<std::pair<int, int>, int>;

// The ends of the flow of a row: compartments (from 0) or the boundary's kinds of end.
std::pair<int, int> edgeEnds(const CsvText& csv, const CsvRow& row, const std::vector<int>& col,
                             NetworkDraft& draft, bool listed) {
    const std::string fromText = cellText(row, col[0]), toText = cellText(row, col[1]);
    const Boundary from = boundaryName(fromText), to = boundaryName(toText);
    if (from != Boundary::None && from != Boundary::Input) {
        formatError(csv.file, row.line, col[0] + 1,
                    "expected a compartment, or input, as the source of a flow, not '" + fromText +
                        "'");
    }
    if (to != Boundary::None && to != Boundary::Export && to != Boundary::Respiration) {
        formatError(csv.file, row.line, col[1] + 1,
                    "expected a compartment, export or respiration as the destination of a flow, "
                    "not '" + toText + "'");
    }
    if (from == Boundary::Input && to != Boundary::None) {
        formatError(csv.file, row.line, col[1] + 1,
                    "expected a compartment as the destination of an input, not '" + toText + "'");
    }
    const int i = from == Boundary::None ? compartmentOf(csv, row, col[0], draft, listed)
                                         : kInputEnd;
    const int j = to == Boundary::None          ? compartmentOf(csv, row, col[1], draft, listed)
                  : to == Boundary::Export      ? kExportEnd
                                                : kRespirationEnd;
    return {i, j};
}

// One row of the edge list: a flow between two compartments, or across the boundary.
void readEdge(const CsvText& csv, const CsvRow& row, const std::vector<int>& col,
              NetworkDraft& draft, bool listed, SeenFlows& seen) {
    const auto [i, j] = edgeEnds(csv, row, col, draft, listed);
    const auto [at, fresh] = seen.emplace(std::pair{i, j}, row.line);
    if (!fresh) {
        formatError(csv.file, row.line, 0,
                    "the flow from " + cellText(row, col[0]) + " to " + cellText(row, col[1]) +
                        " a second time (first on line " + std::to_string(at->second) + ")");
    }
    const float v = cellValue(csv, row, static_cast<std::size_t>(col[2]),
                              "the flow from " + cellText(row, col[0]) + " to " +
                                  cellText(row, col[1]));
    if (i == kInputEnd) {
        draft.compartments[static_cast<std::size_t>(j)].input = v;
    } else if (j == kExportEnd) {
        draft.compartments[static_cast<std::size_t>(i)].exported = v;
    } else if (j == kRespirationEnd) {
        draft.compartments[static_cast<std::size_t>(i)].respiration = v;
    } else if (v > 0.0f) {
        draft.flows.push_back({i, j, v});
    }
}

}  // namespace

bool isEdgeList(const CsvText& csv) {
    if (csv.rows.empty()) return false;
    bool from = false, to = false;
    for (const CsvCell& c : csv.rows[0].cells) {
        const int k = columnOf(kEdgeColumns, c.text);
        from = from || k == 0;
        to = to || k == 1;
    }
    return from && to;
}

NetworkDraft readCsvEdges(const CsvText& csv,
                          const std::function<CsvText(const std::string&, int)>& companion) {
    NetworkDraft draft;
    if (csv.rows.empty()) formatError(csv.file, csv.lines, 0, "no table: the file is empty");
    const std::vector<int> col = namedColumns(csv, kEdgeColumns);
    for (std::size_t k = 0; k < kEdgeColumns.size(); ++k) {
        if (col[k] < 0) {
            formatError(csv.file, csv.rows[0].line, 0, "expected a column named " + kEdgeColumns[k][0]);
        }
    }
    draft.countLine = csv.rows[0].line;
    draft.lastLine = csv.rows.back().line;
    const CsvSetting* table = csv.setting("compartments");
    if (table != nullptr) readCompanion(companion(table->value, table->line), draft);
    SeenFlows seen;
    for (std::size_t r = 1; r < csv.rows.size(); ++r) {
        const CsvRow& row = csv.rows[r];
        if (row.cells.size() > csv.rows[0].cells.size()) {
            formatError(csv.file, row.line, static_cast<int>(csv.rows[0].cells.size()) + 1,
                        "the row holds more cells than the header (a number written with a "
                        "decimal comma, 1,5, is two cells)");
        }
        readEdge(csv, row, col, draft, table != nullptr, seen);
    }
    if (table == nullptr) {
        draft.notices.push_back(
            "no companion table of the compartments: every compartment is taken as living, "
            "without a stock");
    }
    applyCsvSettings(csv, draft);
    return draft;
}

void writeCsvEdges(std::ostream& out, const NetworkView& net, const NetworkUnits& units,
                   const std::string& companionName) {
    const int n = net.count;
    writeCsvSettings(out, net, units);
    out << "# compartments: " << csvQuoted(companionName) << '\n';
    out << "from,to,value\n";
    for (int j = 1; j <= n; ++j) {
        if (net.T(n + 1, j) > 0.0f) out << "input," << csvName(net, j) << ',' << csvValue(net.T(n + 1, j)) << '\n';
    }
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (net.T(i, j) > 0.0f) {
                out << csvName(net, i) << ',' << csvName(net, j) << ',' << csvValue(net.T(i, j)) << '\n';
            }
        }
        if (net.T(i, n + 1) > 0.0f) out << csvName(net, i) << ",export," << csvValue(net.T(i, n + 1)) << '\n';
        if (net.T(i, n + 2) > 0.0f) {
            out << csvName(net, i) << ",respiration," << csvValue(net.T(i, n + 2)) << '\n';
        }
    }
}

void writeCsvCompartments(std::ostream& out, const NetworkView& net) {
    out << "compartment,living,stock\n";
    for (int i = 1; i <= net.count; ++i) {
        out << csvName(net, i) << ',' << (net.livingCount <= 0 || i <= net.livingCount ? "yes" : "no")
            << ',' << csvValue(net.T(net.count + 2, i)) << '\n';
    }
}

}  // namespace flownet
