#include "commandline.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <string>

namespace flownet {

const char* suiteVersion() {
    return FLOWNET_VERSION;
}

void describeProgram(CLI::App& app, const std::string& description) {
    app.description(description);
    app.set_version_flag("--version", app.get_name() + " " + suiteVersion());
}

namespace {

// A standard stream that the caller closed (prog >&-) is opened again on /dev/null, read-only for
// the output streams: otherwise the next file opened would take its number, and what is meant for
// standard output would go into that file. Writes to it fail, as they should.
void guardStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int opened = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
        if (opened >= 0 && opened != fd) ::close(opened);
    }
}

}  // namespace

int parseArguments(CLI::App& app, int argc, const char* const* argv, std::ostream& out,
                   std::ostream& errors) {
    guardStandardDescriptors();
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return finishStandardOutput(out, errors, app.get_name(), kStatusOk);
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return finishStandardOutput(out, errors, app.get_name(), kStatusOk);
    } catch (const CLI::ParseError& e) {
        errors << app.get_name() << ": " << e.what() << "\n"
               << "Run with --help for more information.\n";
        return kStatusFailure;
    }
    return -1;
}

CLI::Validator threadCount() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const std::string expected = "expected a whole number of threads from 1 to 1024";
            std::size_t end = 0;
            long value = 0;
            try {
                value = std::stol(text, &end);
            } catch (const std::exception&) {
                end = 0;
            }
            if (end == 0 || end != text.size()) return "'" + text + "' is not a whole number; " + expected;
            if (value < 1 || value > 1024) return "'" + text + "' is out of range; " + expected;
            return "";
        },
        "1..1024");
}

int finishStandardOutput(std::ostream& out, std::ostream& errors, const std::string& program,
                         int status) {
    out.flush();
    if (!out.fail()) return status;
    errors << program << ": standard output: could not be written in full\n";
    errors.flush();
    return kStatusFailure;
}

}  // namespace flownet
