// Delimited text as spreadsheets and data-frame tools write it, and the errors of the readers of
// network formats.
//
// A table is read as its writers write it: an optional UTF-8 byte-order mark; LF, CR LF or lone CR
// line ends; cells separated by commas; a cell in double quotes may hold commas and doubled quotes
// (""); blanks around an unquoted cell are dropped; an empty cell is an empty text. Lines whose
// first character other than a blank is '#' are comments; "# key: value" lines among them are the
// table's settings (title, units, precision exponent). Blank lines, and lines of empty cells only,
// are skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace flownet {

// A network file of another format that cannot be read: the message names the file, the line, the
// column when there is one, and what was expected there.
struct FormatError {
    std::string message;
};

// "<file>, line <n>, column <c>: <what>" (without the column when it is 0, without the line when
// that is 0).
[[noreturn]] void formatError(const std::string& file, int line, int column,
                              const std::string& what);

struct CsvCell {
    std::string text;
    bool quoted = false;
};

struct CsvRow {
    int line = 0;  // its line in the file, from 1
    std::vector<CsvCell> cells;
};

struct CsvSetting {
    std::string key;  // in lower case, blanks around it dropped
    std::string value;
    int line = 0;
};

struct CsvText {
    std::string file;
    std::vector<CsvSetting> settings;
    std::vector<CsvRow> rows;
    int lines = 0;  // the number of lines of the file

    // The setting of that key, or null; a key given twice is an error.
    const CsvSetting* setting(std::string_view key) const;
};

// Splits the bytes of a file into its settings and rows. A file separated by semicolons or tabs (as
// spreadsheets write them where the decimal mark is a comma), a quote that is not closed on its
// line, and a quote inside an unquoted cell are errors.
CsvText parseCsv(const std::string& file, std::string_view bytes);

// Reads a cell as a value of the network: a decimal or exponent number (12, 12.5, 1.25e1, -0)
// within single precision; an empty cell is 0. `what` names the value for the messages ("a flow",
// "the input of PLANTS"); a negative value, a decimal comma, NA, NaN, Inf and any other text are
// errors at the cell.
float cellValue(const CsvText& csv, const CsvRow& row, std::size_t column, const std::string& what);

// The cell as a yes or no: yes, y, true, t, 1, living (and no, n, false, f, 0, non-living), in any
// case.
bool cellYesNo(const CsvText& csv, const CsvRow& row, std::size_t column, const std::string& what);

// A number as the readers take it: the whole text one decimal or exponent number within single
// precision (a value below it is read as the nearest, 0 at the very least). False otherwise.
bool parseDecimal(std::string_view text, float& value);

// A text in CSV quoting: quoted when it holds a comma, a quote, a '#' in first place, a line end or
// blanks at either end, every quote doubled.
std::string csvQuoted(const std::string& text);

// The text with the blanks at both ends dropped.
std::string trimmed(std::string_view text);

// The text in lower case (ASCII letters).
std::string lowerCase(std::string_view text);

}  // namespace flownet
