#include "filedialog.hpp"

#include <cerrno>
#include <cstring>

#include "files.hpp"
#include "layout.hpp"
#include "runend.hpp"

namespace flownet {

namespace {

constexpr int kNameWidth = 41;

constexpr const char* kExitOrName = " (E)xit or try another (N)ame? (e/n)";

bool isNo(char c) {
    return c == 'N' || c == 'n';
}

// "(E)xit or try another (N)ame?": returns to try another name; any other answer than "N" ends the
// program with the given line.
void exitOrAnotherName(Console& con, const char* terminated) {
    writeLayout(con.out, "(A,$)", {kExitOrName});
    if (!isNo(requireChar(con))) stopOrderly(terminated);
}

// The already-open test: the user may go on or end the program.
void alreadyOpenWarning(Console& con) {
    writeLayout(con.out, "(A)", {" Hold on, that file is already opened!"});
    writeLayout(con.out, "(A,$)", {" Keep going? (y/n) (Else you will exit the program)."});
    if (!isYes(requireChar(con))) stopOrderly("TERMINATED. Check your program.");
}

}  // namespace

void closeReport(ReportFile& report) {
    if (!report.stream.is_open()) return;
    if (!closeWritten(report.stream)) {
        stopFailure(report.path + ": the report could not be written in full");
    }
}

void INFILE(Console& con, RecordFile& input) {
    for (;;) {
        writeLayout(con.out, "(A,$)", {" Input filename (and optional folder)?"});
        std::string name = requireText(con, kNameWidth);
        const FileKind kind = fileKind(trimmedName(name));
        if (kind != FileKind::Regular) {
            writeLayout(con.out,
                        kind == FileKind::Special
                            ? "(1X,/,' The file',/,1X,A41,/,' is not a regular file (a device or "
                              "a pipe)!')"
                            : "(1X,/,' The file',/,1X,A41,/,' does not exist!')",
                        {name});
            exitOrAnotherName(con, "TERMINATED. Find out which file you want.");
            continue;
        }
        writeLayout(con.out, "(/,' The file',/,1X,A41,/,' is to be read. OK? (y/n)',$)", {name});
        if (!isYes(requireChar(con))) {
            exitOrAnotherName(con, "TERMINATED. Figure out which file.");
            continue;
        }
        if (!input.open(trimmedName(name))) {
            stopFailure(trimmedName(name) +
                        ": the file cannot be opened for reading: " + std::strerror(errno));
        }
        return;
    }
}

void OUTFIL(Console& con, ReportFile& report, const RecordFile& input) {
    for (;;) {
        writeLayout(con.out, "(/,A,$)", {" Output filename (and optional folder)?"});
        std::string name = requireText(con, kNameWidth);
        if (fileExists(trimmedName(name))) {
            writeLayout(
                con.out,
                "(/,' The EXISTING file',/,1X,A41,/,' is to be',' OVERWRITTEN. OK? (y/n)',$)",
                {name});
            if (!isYes(requireChar(con))) {
                exitOrAnotherName(con, "TERMINATED. Figure out which file");
                continue;
            }
            // The network file, open since INFILE, is still to be read: it is never opened for
            // writing.
            const bool networkFile = sameExistingFile(trimmedName(name), input.path());
            if (networkFile ||
                (report.stream.is_open() && sameExistingFile(trimmedName(name), report.path))) {
                alreadyOpenWarning(con);
                if (networkFile) {
                    writeLayout(
                        con.out, "(A)",
                        {" That is the network file being read; it cannot be the output file."});
                    continue;
                }
            }
        } else {
            writeLayout(con.out,
                        "(1X,/,' The file',/,1X,A41,/,' will be the output file.',' OK? (y,n)',$)",
                        {name});
            if (isNo(requireChar(con))) {
                exitOrAnotherName(con, "TERMINATED. Find out which file you want.");
                continue;
            }
        }
        closeReport(report);  // the previous network's report, complete
        report.path = trimmedName(name);
        if (!openBuffered(report.stream, report.buffer, report.path)) {
            const int error = errno;
            stopFailure((report.path.empty() ? std::string("a blank name") : report.path) +
                        ": the report file cannot be opened for writing: " + std::strerror(error));
        }
        return;
    }
}

}  // namespace flownet
