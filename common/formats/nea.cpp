#include "nea.hpp"

#include "csvnetwork.hpp"

namespace flownet {

namespace {

// The rows of the matrix: comma-separated, or, on a line without a comma, separated by blanks.
CsvText neaRows(const std::string& file, std::string_view bytes) {
    CsvText csv = parseCsv(file, bytes);
    for (CsvRow& row : csv.rows) {
        if (row.cells.size() != 1) continue;
        const std::string text = row.cells[0].text;
        row.cells.clear();
        std::size_t at = 0;
        while ((at = text.find_first_not_of(" \t", at)) != std::string::npos) {
            const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
            row.cells.push_back({text.substr(at, end - at), false});
            at = end;
        }
    }
    return csv;
}

// The matrix is n + 1 rows of n + 2 cells.
int neaOrder(const CsvText& csv) {
    if (csv.rows.size() < 2) {
        formatError(csv.file, csv.lines, 0,
                    "expected an NEA system matrix of n + 1 rows and n + 2 columns, n the number "
                    "of compartments (1 at least), where the file holds " +
                        std::to_string(csv.rows.size()) + " row(s)");
    }
    const int n = static_cast<int>(csv.rows.size()) - 1;
    for (const CsvRow& row : csv.rows) {
        if (row.cells.size() != static_cast<std::size_t>(n + 2)) {
            formatError(csv.file, row.line, 0,
                        "expected " + std::to_string(n + 2) + " cells in each row of an NEA system "
                        "matrix of " + std::to_string(n + 1) + " rows (n + 2 for n + 1), where the "
                        "row holds " + std::to_string(row.cells.size()));
        }
    }
    return n;
}

std::string compartmentName(int k) {
    return "COMPARTMENT " + std::to_string(k);
}

}  // namespace

NetworkDraft readNea(const std::string& file, std::string_view bytes, const std::set<int>& nonLiving) {
    const CsvText csv = neaRows(file, bytes);
    const int n = neaOrder(csv);
    NetworkDraft draft;
    draft.countLine = csv.rows[0].line;
    draft.lastLine = csv.rows.back().line;
    for (int k = 1; k <= n; ++k) {
        const CsvRow& row = csv.rows[static_cast<std::size_t>(k - 1)];
        draft.compartments.push_back({compartmentName(k), nonLiving.count(k) == 0, 0, 0, 0, 0,
                                      row.line, 0});
    }
    for (int i = 1; i <= n; ++i) {
        const CsvRow& row = csv.rows[static_cast<std::size_t>(i - 1)];
        DraftCompartment& c = draft.compartments[static_cast<std::size_t>(i - 1)];
        for (int j = 1; j <= n; ++j) {
            const float v = cellValue(csv, row, static_cast<std::size_t>(j - 1),
                                      "the flow from compartment " + std::to_string(j) + " to " +
                                          std::to_string(i));
            if (v > 0.0f) draft.flows.push_back({j - 1, i - 1, v});
        }
        c.input = cellValue(csv, row, static_cast<std::size_t>(n), "the input of " + c.name);
        c.stock = cellValue(csv, row, static_cast<std::size_t>(n + 1), "the stock of " + c.name);
    }
    const CsvRow& outputs = csv.rows.back();
    for (int j = 1; j <= n; ++j) {
        draft.compartments[static_cast<std::size_t>(j - 1)].respiration =
            cellValue(csv, outputs, static_cast<std::size_t>(j - 1),
                      "the output of compartment " + std::to_string(j));
    }
    for (int c = n + 1; c <= n + 2; ++c) {
        if (cellValue(csv, outputs, static_cast<std::size_t>(c - 1), "the last row's cell") != 0.0f) {
            formatError(file, outputs.line, c,
                        "expected 0: the last row of an NEA system matrix holds the outputs, then "
                        "two zeros");
        }
    }
    for (int k : nonLiving) {
        if (k < 1 || k > n) {
            throw FormatError{file + ": compartment " + std::to_string(k) +
                              " is given as non-living, but the matrix has compartments 1 to " +
                              std::to_string(n)};
        }
    }
    std::string living = nonLiving.empty() ? "every compartment living" : "non-living:";
    for (int k : nonLiving) living += " " + std::to_string(k);
    if (!nonLiving.empty()) living += ", the others living";
    draft.notices.push_back("an NEA system matrix: its outputs are taken as respirations (no "
                            "exports), its compartments named COMPARTMENT 1 to " +
                            std::to_string(n) + ", " + living);
    return draft;
}

void writeNea(std::ostream& out, const NetworkView& net) {
    const int n = net.count;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) out << csvValue(net.T(j, i)) << ',';
        out << csvValue(net.T(n + 1, i)) << ',' << csvValue(net.T(n + 2, i)) << '\n';
    }
    for (int j = 1; j <= n; ++j) {
        // Export and respiration summed in single precision, as the record holds them.
        const float output = net.T(j, n + 1) + net.T(j, n + 2);
        out << csvValue(output) << ',';
    }
    out << "0,0\n";
}

}  // namespace flownet
