#include "csvnetwork.hpp"

#include <charconv>

#include "shortest.hpp"
#include "textio.hpp"

namespace flownet {

Boundary boundaryName(std::string_view name) {
    const std::string n = lowerCase(name);
    if (n == "input" || n == "inputs" || n == "import" || n == "imports") return Boundary::Input;
    if (n == "export" || n == "exports") return Boundary::Export;
    if (n == "respiration" || n == "respirations") return Boundary::Respiration;
    if (n == "stock" || n == "stocks" || n == "standing stock" || n == "standing stocks") {
        return Boundary::Stock;
    }
    if (n == "living") return Boundary::Living;
    return Boundary::None;
}

namespace {

// A whole number from `low` to `high` in the setting's value.
int settingInteger(const CsvText& csv, const CsvSetting& s, int low, int high,
                   const std::string& expected) {
    int value = 0;
    const char* end = s.value.data() + s.value.size();
    const auto [ptr, ec] = std::from_chars(s.value.data(), end, value);
    if (ec != std::errc() || ptr != end || value < low || value > high) {
        formatError(csv.file, s.line, 0,
                    "expected " + expected + " for '" + s.key + "', where the line gives '" +
                        s.value + "'");
    }
    return value;
}

}  // namespace

void applyCsvSettings(const CsvText& csv, NetworkDraft& draft) {
    if (const CsvSetting* s = csv.setting("title")) {
        draft.title = s->value;
        draft.titleLine = s->line;
    }
    if (const CsvSetting* s = csv.setting("units")) draft.units.flow = s->value;
    if (const CsvSetting* s = csv.setting("stock units")) draft.units.stock = s->value;
    if (!draft.units.flow.empty() || !draft.units.stock.empty()) draft.units.source = "file";
    if (const CsvSetting* s = csv.setting("precision exponent")) {
        draft.precisionExponent =
            settingInteger(csv, *s, -9, 99, "a whole number from -9 to 99 (K of the network file)");
    }
    if (const CsvSetting* s = csv.setting("living count")) {
        draft.livingCountAsWritten = settingInteger(
            csv, *s, -99, 0, "0 or a negative number (a living count that stands for all living)");
        for (const DraftCompartment& c : draft.compartments) {
            if (!c.living) {
                formatError(csv.file, s->line, 0,
                            "a living count of " + s->value +
                                " stands for every compartment living, but '" + c.name +
                                "' is not living");
            }
        }
    }
}

namespace {

// The value of a setting: in quotes only when blanks at either end or a quote first would not
// read back otherwise.
std::string settingText(const std::string& text) {
    if (text.empty() || (text.front() != ' ' && text.front() != '"' && text.back() != ' ')) {
        return text;
    }
    std::string q = "\"";
    for (char c : text) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

}  // namespace

void writeCsvSettings(std::ostream& out, const NetworkView& net, const NetworkUnits& units) {
    out << "# title: " << settingText(withoutTrailingBlanks(net.title)) << '\n';
    if (!units.flow.empty()) out << "# units: " << settingText(units.flow) << '\n';
    if (!units.stock.empty()) out << "# stock units: " << settingText(units.stock) << '\n';
    out << "# precision exponent: " << net.precisionExponent << '\n';
    if (net.livingCount <= 0) out << "# living count: " << net.livingCount << '\n';
}

void checkCompartmentName(const CsvText& csv, const CsvRow& row, std::size_t column,
                          const NetworkDraft& draft) {
    const int col = static_cast<int>(column) + 1;
    const std::string name = column < row.cells.size() ? row.cells[column].text : std::string();
    if (trimmed(name).empty()) {
        formatError(csv.file, row.line, col, "expected the name of a compartment");
    }
    if (boundaryName(trimmed(name)) != Boundary::None) {
        formatError(csv.file, row.line, col,
                    "'" + name +
                        "' names the boundary (input, export, respiration, stock, living) and "
                        "cannot be the name of a compartment");
    }
    const int k = compartmentIndex(draft, name);
    if (k >= 0) {
        const DraftCompartment& c = draft.compartments[static_cast<std::size_t>(k)];
        formatError(csv.file, row.line, col,
                    "the compartment '" + name + "' is named a second time (first on line " +
                        std::to_string(c.line) + ", column " + std::to_string(c.column) + ")");
    }
}

int compartmentIndex(const NetworkDraft& draft, std::string_view name) {
    for (std::size_t k = 0; k < draft.compartments.size(); ++k) {
        if (draft.compartments[k].name == name) return static_cast<int>(k);
    }
    return -1;
}

std::string csvValue(float x) {
    return x == 0.0f ? "0" : shortestText(x);
}

std::string csvName(const NetworkView& net, int k) {
    return csvQuoted(withoutTrailingBlanks(net.names[k]));
}

}  // namespace flownet
