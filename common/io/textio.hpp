// Line sources: the records of a network file and the answers typed at the console.
#pragma once

#include <cstdint>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace flownet {

// The longest line any reader takes: a longer one cannot be a record or an answer, and reading on
// could go on without end (a device such as /dev/zero has no line ends at all).
inline constexpr std::size_t kLongestLine = std::size_t{1} << 20;

enum class LineRead { Line, End, TooLong, Unreadable };

// Reads one line without its line end. A line ends with LF, CR LF or a lone CR (files written on
// old Macintosh systems). Only the first `keep` characters are kept; the rest of a longer line is
// read and discarded, up to kLongestLine characters in all. End: nothing at all was left to read.
// Unreadable: the system cannot read the input (the stream is then bad).
LineRead readLineBounded(std::istream& in, std::string& line, std::size_t keep = 4096);

// The text without its trailing blanks (fixed-width fields, such as titles and names, are padded
// with them).
std::string withoutTrailingBlanks(std::string_view text);

// The records of a text file read in order, numbered from 1 for the messages.
class RecordFile {
public:
    // Opens an existing file for reading; false when it cannot be opened.
    bool open(const std::string& path);
    // Opens the file named on a command line, or ends the run with a failure naming it: a device,
    // a pipe or a folder is refused, as is a file that cannot be opened.
    void openOrStop(const std::string& path);
    // Reads the records of `text` in place of the file `path`: a network held in another format,
    // handed on as the network file it stands for. The messages name `path`, and for record k the
    // line sourceLines[k - 1] of it (the last one for the records after them).
    void openText(const std::string& path, std::string text, std::vector<int> sourceLines);
    bool isOpen() const { return file_.is_open() || memory_; }
    void close();

    // The next record; false at the end of the file. A read error of the file ends the run.
    bool next(std::string& record);

    // True when nothing but blank lines (blanks, tabs) remains before the end of the file; the
    // position in the file is kept.
    bool onlyBlankLinesRemain();

    const std::string& path() const { return path_; }
    int lineNumber() const { return line_; }
    // "<file>, line <n>" for the current record, or for the one `ahead` records after it, followed
    // by the context, when one is set (the command line names the network of the file there).
    std::string where(int ahead = 0) const;
    void setContext(std::string context) { context_ = std::move(context); }

    // Ends the run with a failure naming the file and the current record.
    [[noreturn]] void fail(const std::string& problem) const;
    // Ends the run with a failure: the file ends where more records are needed.
    [[noreturn]] void failAtEnd(const std::string& what) const;

private:
    int sourceLine(int record) const;

    std::ifstream file_;
    std::istringstream text_;
    bool memory_ = false;
    std::istream* in_ = &file_;
    std::vector<int> sourceLines_;
    std::string path_;
    std::string context_;
    int line_ = 0;
};

// The console: prompts go out, answers come in a line at a time. Warnings and failures name the
// program and the answer line, counted from 1, so the log of a scripted run says which answer it
// was.
class Console {
public:
    Console(std::istream& in, std::ostream& o, std::ostream& errors, std::string program)
        : out(o), in_(in), errors_(errors), program_(std::move(program)) {}

    std::ostream& out;

    // The next answer line; false at the end of input. Flushes the prompt first. An answer line
    // longer than kLongestLine, or an input that cannot be read, ends the run with a failure.
    bool readLine(std::string& line);

    // Ends the run with a failure at the answer line read last.
    [[noreturn]] void fail(const std::string& problem) const;
    // Ends the run with a failure because the input ended at a question that needs an answer.
    [[noreturn]] void failAtEnd() const;
    // "<program>: <message>" on standard error, after what the console holds so far.
    void warn(const std::string& message);

private:
    std::istream& in_;
    std::ostream& errors_;
    std::string program_;
    int answers_ = 0;
};

enum class Answer { Ok, Unreadable, End };

// Free-form numbers: blank lines are skipped until a value arrives; the first blank- or
// comma-separated item of the line is the answer. An integer answer must be a plain integer.
Answer askInteger(Console& con, std::int32_t& value);
Answer askReal(Console& con, float& value);

// Text answers: the line as typed, cut or padded with blanks to the width. False at end of input.
bool askText(Console& con, int width, std::string& text);
// One-character answers: the first character of the line, a blank for an empty line.
bool askChar(Console& con, char& answer);

// The same answers where the end of input can only end the run.
std::string requireText(Console& con, int width);
char requireChar(Console& con);

// True for "Y" and "y".
inline bool isYes(char c) {
    return c == 'Y' || c == 'y';
}

}  // namespace flownet
