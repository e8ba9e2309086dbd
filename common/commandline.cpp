#include "commandline.hpp"

namespace flownet {

const char* suiteVersion() {
    return FLOWNET_VERSION;
}

void describeProgram(CLI::App& app, const std::string& description) {
    app.description(description);
    app.set_version_flag("--version", app.get_name() + " " + suiteVersion());
}

int parseArguments(CLI::App& app, int argc, const char* const* argv, std::ostream& out,
                   std::ostream& errors) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kStatusOk;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return kStatusOk;
    } catch (const CLI::ParseError& e) {
        errors << app.get_name() << ": " << e.what() << "\n"
               << "Run with --help for more information.\n";
        return kStatusFailure;
    }
    return -1;
}

}  // namespace flownet
