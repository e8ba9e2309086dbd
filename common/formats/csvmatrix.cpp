#include "csvmatrix.hpp"

#include <map>

#include "csvnetwork.hpp"
#include "textio.hpp"

namespace flownet {

namespace {

// The columns of the header: which compartment (from 0) or which boundary each one holds.
struct MatrixColumns {
    std::vector<int> compartment;  // by column, -1 for a boundary column or the first
    std::map<Boundary, std::size_t> boundary;
};

// The compartments are the rows but the input row, in their order; returns their rows.
std::vector<const CsvRow*> readRowNames(const CsvText& csv, NetworkDraft& draft,
                                        const CsvRow*& inputRow) {
    std::vector<const CsvRow*> rows;
    inputRow = nullptr;
    for (std::size_t r = 1; r < csv.rows.size(); ++r) {
        const CsvRow& row = csv.rows[r];
        const Boundary b = boundaryName(row.cells[0].text);
        if (b == Boundary::Input && inputRow == nullptr) {
            inputRow = &row;
            continue;
        }
        if (b == Boundary::Input) {
            formatError(csv.file, row.line, 1,
                        "a second input row (the first on line " + std::to_string(inputRow->line) +
                            ")");
        }
        checkCompartmentName(csv, row, 0, draft);
        draft.compartments.push_back({row.cells[0].text, true, 0, 0, 0, 0, row.line, 1});
        rows.push_back(&row);
    }
    return rows;
}

MatrixColumns readHeader(const CsvText& csv, const NetworkDraft& draft) {
    const CsvRow& header = csv.rows[0];
    MatrixColumns m;
    m.compartment.assign(header.cells.size(), -1);
    std::size_t next = 0;  // the compartment the next compartment column must hold
    for (std::size_t c = 1; c < header.cells.size(); ++c) {
        const std::string& name = header.cells[c].text;
        const int col = static_cast<int>(c) + 1;
        const Boundary b = boundaryName(name);
        if (b == Boundary::Input) {
            formatError(csv.file, header.line, col,
                        "'" + name + "' is a row of the table (the inputs into each compartment), "
                        "not a column");
        }
        if (b != Boundary::None) {
            if (!m.boundary.emplace(b, c).second) {
                formatError(csv.file, header.line, col, "the column '" + name + "' a second time");
            }
            continue;
        }
        if (next < draft.compartments.size() && name == draft.compartments[next].name) {
            m.compartment[c] = static_cast<int>(next++);
            continue;
        }
        const std::string expected =
            next < draft.compartments.size()
                ? "the column of '" + draft.compartments[next].name + "' (the compartment of line " +
                      std::to_string(draft.compartments[next].line) +
                      ": the columns name the compartments in the order of the rows)"
                : "a boundary column (export, respiration, stock, living): every compartment has "
                  "its column already";
        formatError(csv.file, header.line, col, "expected " + expected + ", not '" + name + "'");
    }
    if (next < draft.compartments.size()) {
        formatError(csv.file, header.line, 0,
                    "no column for the compartment '" + draft.compartments[next].name +
                        "' of line " + std::to_string(draft.compartments[next].line));
    }
    return m;
}

// A data row holds no more cells than the header.
void checkWidth(const CsvText& csv, const CsvRow& row) {
    const std::size_t width = csv.rows[0].cells.size();
    if (row.cells.size() <= width) return;
    formatError(csv.file, row.line, static_cast<int>(width) + 1,
                "the row holds " + std::to_string(row.cells.size()) + " cells where the header " +
                    "holds " + std::to_string(width) +
                    " (a number written with a decimal comma, 1,5, is two cells)");
}

std::string columnName(const CsvText& csv, std::size_t c) {
    return csv.rows[0].cells[c].text;
}

// One compartment's row: its flows to the compartments of the columns and its boundary values.
void readCompartmentRow(const CsvText& csv, const MatrixColumns& m, const CsvRow& row, int k,
                        NetworkDraft& draft) {
    checkWidth(csv, row);
    DraftCompartment& c = draft.compartments[static_cast<std::size_t>(k)];
    for (std::size_t col = 1; col < m.compartment.size(); ++col) {
        const int to = m.compartment[col];
        if (to < 0) continue;
        const float v = cellValue(csv, row, col, "the flow from " + c.name + " to " +
                                                     columnName(csv, col));
        if (v > 0.0f) draft.flows.push_back({k, to, v});
    }
    const auto value = [&](Boundary b, const char* what) {
        const auto it = m.boundary.find(b);
        return it == m.boundary.end() ? 0.0f : cellValue(csv, row, it->second, what + c.name);
    };
    c.exported = value(Boundary::Export, "the export of ");
    c.respiration = value(Boundary::Respiration, "the respiration of ");
    c.stock = value(Boundary::Stock, "the stock of ");
    if (const auto it = m.boundary.find(Boundary::Living); it != m.boundary.end()) {
        c.living = cellYesNo(csv, row, it->second, "whether " + c.name + " is living");
    }
}

// The input row: the inputs under the compartments' columns, nothing under the boundary's.
void readInputRow(const CsvText& csv, const MatrixColumns& m, const CsvRow& row,
                  NetworkDraft& draft) {
    checkWidth(csv, row);
    for (std::size_t col = 1; col < m.compartment.size(); ++col) {
        const int to = m.compartment[col];
        if (to >= 0) {
            draft.compartments[static_cast<std::size_t>(to)].input =
                cellValue(csv, row, col, "the input into " + columnName(csv, col));
            continue;
        }
        const std::string text = col < row.cells.size() ? lowerCase(row.cells[col].text) : "";
        if (text.empty() || text == "na" || text == "0") continue;
        formatError(csv.file, row.line, static_cast<int>(col) + 1,
                    "expected an empty cell: the input row has no " + columnName(csv, col) +
                        ", where the cell holds '" + row.cells[col].text + "'");
    }
}

}  // namespace

NetworkDraft readCsvMatrix(const CsvText& csv) {
    NetworkDraft draft;
    if (csv.rows.empty()) formatError(csv.file, csv.lines, 0, "no table: the file is empty");
    draft.countLine = csv.rows[0].line;
    draft.lastLine = csv.rows.back().line;
    const CsvRow* inputRow = nullptr;
    const std::vector<const CsvRow*> rows = readRowNames(csv, draft, inputRow);
    const MatrixColumns m = readHeader(csv, draft);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        readCompartmentRow(csv, m, *rows[k], static_cast<int>(k), draft);
    }
    if (inputRow != nullptr) readInputRow(csv, m, *inputRow, draft);
    if (m.boundary.count(Boundary::Living) == 0) {
        draft.notices.push_back("no living column: every compartment is taken as living");
    }
    applyCsvSettings(csv, draft);
    return draft;
}

void checkCsvNames(const std::string& file, const NetworkView& net) {
    for (int i = 1; i <= net.count; ++i) {
        const std::string name = withoutTrailingBlanks(net.names[i]);
        std::string problem;
        if (trimmed(name).empty()) problem = "has no name";
        if (boundaryName(trimmed(name)) != Boundary::None) problem = "is named as the boundary";
        for (int j = 1; j < i && problem.empty(); ++j) {
            if (withoutTrailingBlanks(net.names[j]) == name) {
                problem = "has the name of compartment " + std::to_string(j);
            }
        }
        if (!problem.empty()) {
            throw FormatError{file + ": compartment " + std::to_string(i) + " " + problem +
                              " ('" + name +
                              "'): a CSV network names each compartment once, and by a name "
                              "that is not input, export, respiration, stock or living"};
        }
    }
}

void writeCsvMatrix(std::ostream& out, const NetworkView& net, const NetworkUnits& units) {
    const int n = net.count;
    writeCsvSettings(out, net, units);
    for (int j = 1; j <= n; ++j) out << ',' << csvName(net, j);
    out << ",export,respiration,stock,living\n";
    for (int i = 1; i <= n; ++i) {
        out << csvName(net, i);
        for (int j = 1; j <= n; ++j) out << ',' << csvValue(net.T(i, j));
        out << ',' << csvValue(net.T(i, n + 1)) << ',' << csvValue(net.T(i, n + 2)) << ','
            << csvValue(net.T(n + 2, i)) << ','
            << (net.livingCount <= 0 || i <= net.livingCount ? "yes" : "no") << '\n';
    }
    out << "input";
    for (int j = 1; j <= n; ++j) out << ',' << csvValue(net.T(n + 1, j));
    out << ",,,,\n";
}

}  // namespace flownet
