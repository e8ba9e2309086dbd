#include "ranges.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>

#include "csvtext.hpp"
#include "textio.hpp"

namespace flownet {

namespace {

[[noreturn]] void rangeError(const std::string& file, int line, const std::string& what) {
    throw RangeError{file + ", line " + std::to_string(line) + ": " + what};
}

std::string cell(const CsvRow& row, std::optional<std::size_t> column) {
    if (!column || *column >= row.cells.size()) return "";
    return trimmed(row.cells[*column].text);
}

// A number of the table: the whole cell a finite decimal or exponent number.
std::optional<double> numberOf(const std::string& text) {
    double v = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(v)) return std::nullopt;
    return v;
}

double numberCell(const std::string& file, const CsvRow& row, std::size_t column,
                  const std::string& what) {
    const std::string text = cell(row, column);
    const std::optional<double> v = numberOf(text);
    if (!v) rangeError(file, row.line, "expected a number as the " + what + ", not '" + text + "'");
    return *v;
}

struct Columns {
    std::optional<std::size_t> from, to, low, high, plusMinus;
};

Columns columnsOf(const std::string& file, const CsvRow& header) {
    Columns c;
    for (std::size_t k = 0; k < header.cells.size(); ++k) {
        const std::string name = lowerCase(trimmed(header.cells[k].text));
        std::optional<std::size_t>* slot = name == "from"         ? &c.from
                                           : name == "to"         ? &c.to
                                           : name == "low"        ? &c.low
                                           : name == "high"       ? &c.high
                                           : name == "plus-minus" ? &c.plusMinus
                                                                  : nullptr;
        if (slot == nullptr) {
            rangeError(file, header.line, "unknown column '" + trimmed(header.cells[k].text) +
                                              "' (expected from, to, low, high, plus-minus)");
        }
        if (*slot) rangeError(file, header.line, "the column '" + name + "' is named twice");
        *slot = k;
    }
    if (!c.from || !c.to) rangeError(file, header.line, "the header names no from or no to column");
    if (!c.plusMinus && (!c.low || !c.high)) {
        rangeError(file, header.line, "the header names neither low and high nor plus-minus");
    }
    return c;
}

RangeRow rowOf(const std::string& file, const CsvRow& row, const Columns& c) {
    RangeRow r;
    r.line = row.line;
    r.from = cell(row, c.from);
    r.to = cell(row, c.to);
    const bool bounds = !cell(row, c.low).empty() || !cell(row, c.high).empty();
    const bool half = !cell(row, c.plusMinus).empty();
    if (bounds == half) rangeError(file, row.line, "give either low and high or plus-minus");
    if (half) {
        r.halfWidth = true;
        r.plusMinus = numberCell(file, row, *c.plusMinus, "plus-minus");
        if (r.plusMinus < 0.0) rangeError(file, row.line, "a negative plus-minus");
    } else {
        r.low = numberCell(file, row, *c.low, "low value");
        r.high = numberCell(file, row, *c.high, "high value");
        if (r.low > r.high) rangeError(file, row.line, "the low value is above the high value");
    }
    return r;
}

// The unknown a row names, or an error naming its line.
std::size_t unknownOfRow(const std::string& file, const RangeRow& row,
                         const std::map<std::pair<int, int>, std::size_t>& index,
                         const std::map<std::string, int>& numbers) {
    const std::string from = lowerCase(row.from), to = lowerCase(row.to);
    const auto compartment = [&](const std::string& name) {
        const auto it = numbers.find(name);
        if (it == numbers.end()) {
            rangeError(file, row.line, "the network has no compartment named '" + name + "'");
        }
        return it->second;
    };
    const int i = from == "input" ? 0 : compartment(row.from);
    const int j = to == "export" ? -1 : to == "respiration" ? -2 : compartment(row.to);
    if (i == 0 && j < 0) rangeError(file, row.line, "an input goes to a compartment");
    const auto it = index.find({i, j});
    if (it == index.end()) {
        rangeError(file, row.line, "the network has no flow from '" + row.from + "' to '" +
                                       row.to + "' (a flow of 0 stays 0)");
    }
    return it->second;
}

}  // namespace

RangeTable parseRanges(const std::string& file, const std::string& bytes) {
    RangeTable table;
    table.file = file;
    CsvText csv;
    try {
        csv = parseCsv(file, bytes);
    } catch (const FormatError& e) {
        throw RangeError{e.message};
    }
    if (csv.rows.empty()) rangeError(file, csv.lines, "no header (from, to, low, high)");
    const Columns columns = columnsOf(file, csv.rows.front());
    for (std::size_t r = 1; r < csv.rows.size(); ++r) {
        table.rows.push_back(rowOf(file, csv.rows[r], columns));
    }
    return table;
}

std::vector<Unknown> unknownsOf(const NetworkValues& net, const RangeTable* table,
                                double plusMinusPercent) {
    const int n = net.n;
    std::vector<Unknown> u;
    const auto add = [&](FlowKind kind, int from, int to, float value) {
        if (value > 0.0f) u.push_back({kind, from, to, value, value, value});
    };
    for (int i = 1; i <= n; ++i) add(FlowKind::input, 0, i, net.IN(i));
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) add(FlowKind::flow, i, j, net.flows(i, j));
    }
    for (int i = 1; i <= n; ++i) add(FlowKind::exported, i, 0, net.EX(i));
    for (int i = 1; i <= n; ++i) add(FlowKind::respiration, i, 0, net.RE(i));
    if (plusMinusPercent >= 0.0) {
        for (Unknown& x : u) {
            x.low = x.value * (1.0 - plusMinusPercent / 100.0);
            x.high = x.value * (1.0 + plusMinusPercent / 100.0);
        }
    }
    if (table != nullptr) {
        // The unknowns by their ends: (0, j) an input, (i, -1) an export, (i, -2) a respiration.
        std::map<std::pair<int, int>, std::size_t> index;
        for (std::size_t k = 0; k < u.size(); ++k) {
            const Unknown& x = u[k];
            const int to = x.kind == FlowKind::exported      ? -1
                           : x.kind == FlowKind::respiration ? -2
                                                             : x.to;
            index[{x.from, to}] = k;
        }
        std::map<std::string, int> numbers;
        for (int i = 1; i <= n; ++i) {
            numbers.emplace(withoutTrailingBlanks((*net.names)[static_cast<std::size_t>(i - 1)]), i);
        }
        for (const RangeRow& row : table->rows) {
            Unknown& x = u[unknownOfRow(table->file, row, index, numbers)];
            x.low = row.halfWidth ? x.value - row.plusMinus : row.low;
            x.high = row.halfWidth ? x.value + row.plusMinus : row.high;
        }
    }
    for (Unknown& x : u) x.low = std::max(x.low, 0.0);
    for (Unknown& x : u) {
        if (x.high < x.low) x.high = x.low;
    }
    return u;
}

std::string unknownName(const Unknown& u, const std::vector<std::string>& names) {
    const auto name = [&](int i) { return withoutTrailingBlanks(names[static_cast<std::size_t>(i - 1)]); };
    switch (u.kind) {
        case FlowKind::input: return "input -> " + name(u.to);
        case FlowKind::flow: return name(u.from) + " -> " + name(u.to);
        case FlowKind::exported: return name(u.from) + " -> export";
        case FlowKind::respiration: return name(u.from) + " -> respiration";
    }
    return "";
}

}  // namespace flownet
