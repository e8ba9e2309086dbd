#include "csvtext.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace flownet {

void formatError(const std::string& file, int line, int column, const std::string& what) {
    std::string where = file;
    if (line > 0) where += ", line " + std::to_string(line);
    if (column > 0) where += ", column " + std::to_string(column);
    throw FormatError{where + ": " + what};
}

std::string trimmed(std::string_view text) {
    const std::size_t b = text.find_first_not_of(" \t");
    if (b == std::string_view::npos) return std::string();
    const std::size_t e = text.find_last_not_of(" \t");
    return std::string(text.substr(b, e - b + 1));
}

std::string lowerCase(std::string_view text) {
    std::string s(text);
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

const CsvSetting* CsvText::setting(std::string_view key) const {
    const CsvSetting* found = nullptr;
    for (const CsvSetting& s : settings) {
        if (s.key != key) continue;
        if (found != nullptr) {
            formatError(file, s.line, 0,
                        "'" + std::string(key) + "' is given a second time (first on line " +
                            std::to_string(found->line) + ")");
        }
        found = &s;
    }
    return found;
}

namespace {

// The lines of the file without their line ends (LF, CR LF or a lone CR), the byte-order mark
// dropped.
std::vector<std::string_view> fileLines(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r') continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

// One cell in double quotes from `at` (the opening quote); `at` ends past the closing quote.
CsvCell quotedCell(const std::string& file, int line, std::string_view text, std::size_t& at,
                   int column) {
    CsvCell cell{"", true};
    for (++at; at < text.size(); ++at) {
        if (text[at] != '"') {
            cell.text += text[at];
        } else if (at + 1 < text.size() && text[at + 1] == '"') {
            cell.text += '"';
            ++at;
        } else {
            ++at;
            return cell;
        }
    }
    formatError(file, line, column, "a quoted cell that is not closed on its line");
}

CsvRow splitRow(const std::string& file, int line, std::string_view text) {
    CsvRow row{line, {}};
    std::size_t at = 0;
    for (;;) {
        const int column = static_cast<int>(row.cells.size()) + 1;
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
        CsvCell cell;
        if (at < text.size() && text[at] == '"') {
            cell = quotedCell(file, line, text, at, column);
            while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
            if (at < text.size() && text[at] != ',') {
                formatError(file, line, column, "text after the closing quote of a quoted cell");
            }
        } else {
            const std::size_t end = std::min(text.find(',', at), text.size());
            cell.text = trimmed(text.substr(at, end - at));
            if (cell.text.find('"') != std::string::npos) {
                formatError(file, line, column,
                            "a quote inside a cell that does not begin with one: '" + cell.text +
                                "'");
            }
            at = end;
        }
        row.cells.push_back(std::move(cell));
        if (at >= text.size()) return row;
        ++at;  // the comma
    }
}

bool allEmpty(const CsvRow& row) {
    for (const CsvCell& c : row.cells) {
        if (!c.text.empty() || c.quoted) return false;
    }
    return true;
}

// "# key: value": the setting of that line, when it has the form.
bool settingOf(std::string_view comment, int line, CsvSetting& s) {
    const std::size_t colon = comment.find(':');
    if (colon == std::string_view::npos) return false;
    s.key = lowerCase(trimmed(comment.substr(0, colon)));
    s.value = trimmed(comment.substr(colon + 1));
    if (s.value.size() >= 2 && s.value.front() == '"' && s.value.back() == '"') {
        std::string inner;
        for (std::size_t k = 1; k + 1 < s.value.size(); ++k) {
            inner += s.value[k];
            if (s.value[k] == '"' && s.value[k + 1] == '"') ++k;  // a doubled quote
        }
        s.value = inner;
    }
    s.line = line;
    return !s.key.empty();
}

// A table whose first row holds no comma but semicolons or tabs was written with another
// separator: with decimal commas (1,5) in a semicolon-separated file, or as tab-separated text.
void checkSeparator(const std::string& file, const CsvRow& first, std::string_view text) {
    if (first.cells.size() != 1) return;
    if (text.find(';') != std::string_view::npos) {
        formatError(file, first.line, 0,
                    "the cells are separated by semicolons, as spreadsheets write them where the "
                    "decimal mark is a comma (1,5): decimal commas are not read; save the table "
                    "as CSV with commas between cells and points in numbers (1.5)");
    }
    if (text.find('\t') != std::string_view::npos) {
        formatError(file, first.line, 0,
                    "the cells are separated by tabs: save the table as CSV, with commas between "
                    "cells");
    }
}

}  // namespace

CsvText parseCsv(const std::string& file, std::string_view bytes) {
    CsvText csv;
    csv.file = file;
    const std::vector<std::string_view> lines = fileLines(bytes);
    csv.lines = static_cast<int>(lines.size());
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int line = static_cast<int>(k) + 1;
        const std::string text = trimmed(lines[k]);
        if (!text.empty() && text[0] == '#') {
            CsvSetting s;
            if (settingOf(std::string_view(text).substr(1), line, s)) csv.settings.push_back(s);
            continue;
        }
        CsvRow row = splitRow(file, line, lines[k]);
        if (allEmpty(row)) continue;
        if (csv.rows.empty()) checkSeparator(file, row, lines[k]);
        csv.rows.push_back(std::move(row));
    }
    return csv;
}

bool parseDecimal(std::string_view text, float& value) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (text.empty() || !(text[0] == '-' || text[0] == '.' || (text[0] >= '0' && text[0] <= '9'))) {
        return false;  // no "inf", "nan" or other words
    }
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ptr != end) return false;
    if (ec == std::errc::result_out_of_range) {
        // Below single precision the nearest value is taken (0 at the very least), as the network
        // file's reader does; above it there is none.
        const std::string copy(text);
        const double d = std::strtod(copy.c_str(), nullptr);
        if (std::fabs(d) >= 1.0) return false;
        value = static_cast<float>(d);
        return true;
    }
    return ec == std::errc() && std::isfinite(value);
}

float cellValue(const CsvText& csv, const CsvRow& row, std::size_t column, const std::string& what) {
    const int col = static_cast<int>(column) + 1;
    if (column >= row.cells.size()) return 0.0f;
    const std::string& text = row.cells[column].text;
    if (text.empty()) return 0.0f;
    float value = 0.0f;
    if (parseDecimal(text, value)) {
        if (value < 0.0f) {
            formatError(csv.file, row.line, col,
                        what + " is negative (" + text + "): every value of a network is 0 or more");
        }
        return value == 0.0f ? 0.0f : value;  // -0 is 0
    }
    std::string expected = "a number for " + what + " where the cell holds '" + text + "'";
    float whole = 0.0f, part = 0.0f;
    const std::size_t comma = text.find(',');
    if (comma != std::string::npos && parseDecimal(text.substr(0, comma), whole) &&
        parseDecimal(text.substr(comma + 1), part)) {
        expected += ", a decimal comma: write the number with a point as its decimal mark";
    } else if (lowerCase(text) == "na") {
        expected += ", a missing value: write 0, or leave the cell empty, where there is no flow";
    } else if (text.find_first_not_of("+-.0123456789eE") == std::string::npos &&
               text.find_first_of("0123456789") != std::string::npos) {
        expected += ", within single precision (about 3.4E+38 at most)";
    }
    formatError(csv.file, row.line, col, "expected " + expected);
}

bool cellYesNo(const CsvText& csv, const CsvRow& row, std::size_t column, const std::string& what) {
    const std::string text = column < row.cells.size() ? lowerCase(row.cells[column].text) : "";
    for (const char* yes : {"yes", "y", "true", "t", "1", "living"}) {
        if (text == yes) return true;
    }
    for (const char* no : {"no", "n", "false", "f", "0", "non-living", "nonliving"}) {
        if (text == no) return false;
    }
    formatError(csv.file, row.line, static_cast<int>(column) + 1,
                "expected yes or no for " + what + " where the cell holds '" +
                    (column < row.cells.size() ? row.cells[column].text : "") + "'");
}

std::string csvQuoted(const std::string& text) {
    const bool quote = text.find_first_of(",\"\n\r") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.front() == '\t' ||
                                          text.front() == '#' || text.back() == ' ' ||
                                          text.back() == '\t'));
    if (!quote) return text;
    std::string q = "\"";
    for (char c : text) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

}  // namespace flownet
