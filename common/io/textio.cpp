#include "textio.hpp"

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <exception>

#include "files.hpp"
#include "layout.hpp"
#include "records.hpp"
#include "runend.hpp"

namespace flownet {

LineRead readLineBounded(std::istream& in, std::string& line, std::size_t keep) {
    line.clear();
    std::streambuf* buf = in.rdbuf();
    if (buf == nullptr || !in.good()) return in.bad() ? LineRead::Unreadable : LineRead::End;
    constexpr int kEof = std::char_traits<char>::eof();
    bool any = false;
    std::size_t length = 0;
    try {
        for (;;) {
            const int c = buf->sbumpc();
            if (c == kEof) {
                in.setstate(std::ios::eofbit);
                break;
            }
            any = true;
            if (c == '\n') break;
            if (c == '\r') {
                if (buf->sgetc() == '\n') buf->sbumpc();  // CR LF is one line end
                break;
            }
            if (++length > kLongestLine) return LineRead::TooLong;
            if (line.size() < keep) line += static_cast<char>(c);
        }
    } catch (const std::exception&) {
        // The file buffer throws when the system cannot read the file (an I/O error, a special
        // file): the stream goes bad, and the caller reports it as a file that cannot be read.
        in.setstate(std::ios::badbit);
        line.clear();
        return LineRead::Unreadable;
    }
    return any ? LineRead::Line : LineRead::End;
}

bool RecordFile::open(const std::string& path) {
    close();
    path_ = path;
    line_ = 0;
    file_.open(path, std::ios::in | std::ios::binary);
    if (!file_.is_open()) return false;
    // A byte-order mark, written by some editors before the first record, is no part of it.
    std::string mark(3, '\0');
    if (!file_.read(mark.data(), 3) || mark != "\xEF\xBB\xBF") {
        file_.clear();
        file_.seekg(0);
    }
    return true;
}

void RecordFile::openText(const std::string& path, std::string text, std::vector<int> sourceLines) {
    close();
    path_ = path;
    line_ = 0;
    text_.str(std::move(text));
    text_.clear();
    in_ = &text_;
    memory_ = true;
    sourceLines_ = std::move(sourceLines);
}

int RecordFile::sourceLine(int record) const {
    if (!memory_ || sourceLines_.empty()) return record;
    const std::size_t k = record < 1 ? 0 : static_cast<std::size_t>(record - 1);
    return sourceLines_[std::min(k, sourceLines_.size() - 1)];
}

std::string withoutTrailingBlanks(std::string_view text) {
    const std::size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

void RecordFile::openOrStop(const std::string& path) {
    switch (fileKind(path)) {
        case FileKind::Special:
            stopFailure(path + ": is not a regular file (a device or a pipe)");
        case FileKind::Folder:
            stopFailure(path + ": is a folder");
        case FileKind::None:
        case FileKind::Regular:
            break;
    }
    if (!open(path)) {
        stopFailure(path + ": the file cannot be opened for reading: " + std::strerror(errno));
    }
}

void RecordFile::close() {
    if (file_.is_open()) file_.close();
    file_.clear();
    text_.str(std::string());
    text_.clear();
    memory_ = false;
    in_ = &file_;
    sourceLines_.clear();
}

bool RecordFile::next(std::string& record) {
    const LineRead read = readLineBounded(*in_, record);
    if (read == LineRead::End) return false;
    ++line_;
    if (read == LineRead::Unreadable) fail("the file cannot be read");
    if (read == LineRead::TooLong) {
        fail("the line is longer than " + std::to_string(kLongestLine) +
             " characters: not a network file");
    }
    return true;
}

bool RecordFile::onlyBlankLinesRemain() {
    const std::streampos here = in_->tellg();
    if (here == std::streampos(-1)) return false;  // a stream that cannot go back: read on
    std::string line;
    bool blank = true;
    while (blank && readLineBounded(*in_, line) == LineRead::Line) {
        blank = line.find_first_not_of(" \t") == std::string::npos;
    }
    in_->clear();
    in_->seekg(here);
    return blank;
}

std::string RecordFile::where(int ahead) const {
    return path_ + ", line " + std::to_string(sourceLine(line_ + ahead)) + context_;
}

void RecordFile::fail(const std::string& problem) const {
    stopFailure(where() + ": " + problem);
}

void RecordFile::failAtEnd(const std::string& what) const {
    stopFailure(where(1) + ": the file ends before " + what);
}

bool Console::readLine(std::string& line) {
    out.flush();
    const LineRead read = readLineBounded(in_, line);
    if (read == LineRead::End) return false;
    ++answers_;
    if (read == LineRead::Unreadable) fail("the console input cannot be read");
    if (read == LineRead::TooLong) {
        fail("the answer line is longer than " + std::to_string(kLongestLine) + " characters");
    }
    return true;
}

void Console::fail(const std::string& problem) const {
    stopFailure("standard input, line " + std::to_string(answers_) + ": " + problem);
}

void Console::failAtEnd() const {
    stopFailure("standard input, line " + std::to_string(answers_ + 1) +
                ": the console input ended where an answer was expected");
}

void Console::warn(const std::string& message) {
    out.flush();
    errors_ << program_ << ": " << message << '\n';
    errors_.flush();
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

std::string requireText(Console& con, int width) {
    std::string text;
    if (!askText(con, width, text)) con.failAtEnd();
    return text;
}

char requireChar(Console& con) {
    char c = ' ';
    if (!askChar(con, c)) con.failAtEnd();
    return c;
}

}  // namespace flownet
