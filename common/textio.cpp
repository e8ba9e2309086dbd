#include "textio.hpp"

#include <exception>

#include "layout.hpp"
#include "runend.hpp"

namespace flownet {

bool readLineBounded(std::istream& in, std::string& line, std::size_t keep) {
    line.clear();
    std::streambuf* buf = in.rdbuf();
    if (buf == nullptr || !in.good()) return false;
    bool any = false;
    try {
        for (;;) {
            int c = buf->sbumpc();
            if (c == std::char_traits<char>::eof()) {
                in.setstate(std::ios::eofbit);
                break;
            }
            any = true;
            if (c == '\n') break;
            if (line.size() < keep) line += static_cast<char>(c);
        }
    } catch (const std::exception&) {
        // The file buffer throws when the system cannot read the file (an I/O error, a special
        // file): the stream goes bad, and the caller reports it as a file that cannot be read.
        in.setstate(std::ios::badbit);
        line.clear();
        return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

bool RecordFile::open(const std::string& path) {
    close();
    path_ = path;
    line_ = 0;
    in_.open(path, std::ios::in | std::ios::binary);
    return in_.is_open();
}

void RecordFile::close() {
    if (in_.is_open()) in_.close();
    in_.clear();
}

bool RecordFile::next(std::string& record) {
    if (!readLineBounded(in_, record)) {
        if (in_.bad()) {
            ++line_;  // the record that could not be read
            fail("the file cannot be read");
        }
        return false;
    }
    ++line_;
    return true;
}

bool RecordFile::onlyBlankLinesRemain() {
    const std::streampos here = in_.tellg();
    if (here == std::streampos(-1)) return false;  // a stream that cannot go back: read on
    std::string line;
    bool blank = true;
    while (blank && readLineBounded(in_, line)) {
        blank = line.find_first_not_of(" \t") == std::string::npos;
    }
    in_.clear();
    in_.seekg(here);
    return blank;
}

void RecordFile::fail(const std::string& problem) const {
    stopFailure(path_ + ", line " + std::to_string(line_) + ": " + problem);
}

void RecordFile::failAtEnd(const std::string& what) const {
    stopFailure(path_ + ", line " + std::to_string(line_ + 1) + ": the file ends before " + what);
}

bool Console::readLine(std::string& line) {
    out.flush();
    if (!readLineBounded(in_, line)) return false;
    ++answers_;
    return true;
}

namespace {

// The first item of the next non-blank answer line; false at end of input.
bool firstItem(Console& con, std::string& item) {
    std::string line;
    for (;;) {
        if (!con.readLine(line)) return false;
        std::size_t b = line.find_first_not_of(" \t,");
        if (b == std::string::npos) continue;  // blank line: wait for a value
        // A comma before the first value would make an empty item; list-directed reading takes
        // the item after it, as we do by skipping leading separators.
        std::size_t e = line.find_first_of(" \t,", b);
        item = line.substr(b, e == std::string::npos ? std::string::npos : e - b);
        return true;
    }
}

}  // namespace

Answer askInteger(Console& con, std::int32_t& value) {
    std::string item;
    if (!firstItem(con, item)) return Answer::End;
    return parseInteger(item, value) ? Answer::Ok : Answer::Unreadable;
}

Answer askReal(Console& con, float& value) {
    std::string item;
    if (!firstItem(con, item)) return Answer::End;
    return parseReal(item, value) ? Answer::Ok : Answer::Unreadable;
}

bool askText(Console& con, int width, std::string& text) {
    if (!con.readLine(text)) return false;
    text.resize(static_cast<std::size_t>(width), ' ');
    return true;
}

bool askChar(Console& con, char& answer) {
    std::string line;
    if (!con.readLine(line)) return false;
    answer = line.empty() ? ' ' : line[0];
    return true;
}

void endOfConsoleInput() {
    stopFailure("the console input ended where an answer was expected");
}

std::string requireText(Console& con, int width) {
    std::string text;
    if (!askText(con, width, text)) endOfConsoleInput();
    return text;
}

char requireChar(Console& con) {
    char c = ' ';
    if (!askChar(con, c)) endOfConsoleInput();
    return c;
}

}  // namespace flownet
