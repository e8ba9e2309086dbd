#include "support.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace flownet::fuzz {

namespace fs = std::filesystem;

namespace {

struct Scratch {
    fs::path folder;
    std::string marsh, pond;  // the example networks
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

std::string readExample(const char* name) {
    std::ifstream in(fs::path(EXAMPLES_DIR) / name, std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read the example ") + name);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void removeScratchFolder() {
    std::error_code ec;
    fs::remove_all(scratch().folder, ec);
}

}  // namespace

void enterScratchFolder(int* argc, char*** argv) {
    Scratch& s = scratch();
    if (!s.folder.empty()) return;
    static std::vector<std::string> absolute;  // the arguments made absolute, for the run
    absolute.reserve(static_cast<std::size_t>(*argc));
    for (int k = 1; k < *argc; ++k) {
        std::string arg = (*argv)[k];
        const std::string prefix = "-artifact_prefix=";
        if (arg.rfind(prefix, 0) == 0 && arg.size() > prefix.size() && arg[prefix.size()] != '/') {
            arg = prefix + (fs::current_path() / arg.substr(prefix.size())).string();
        } else if (!arg.empty() && arg[0] != '-' && arg[0] != '/') {
            arg = (fs::current_path() / arg).string();
        } else {
            continue;
        }
        absolute.push_back(arg);
        (*argv)[k] = absolute.back().data();
    }
    s.marsh = readExample("marsh.dat");
    s.pond = readExample("pond.dat");
    std::string pattern = (fs::temp_directory_path() / "flownet-fuzz-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (::mkdtemp(buf.data()) == nullptr)
        throw std::runtime_error("cannot create a scratch folder");
    s.folder = buf.data();
    fs::current_path(s.folder);
    std::atexit(removeScratchFolder);
    resetScratchFolder();
}

void resetScratchFolder() {
    Scratch& s = scratch();
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(s.folder, ec)) {
        fs::remove_all(e.path(), ec);
    }
    writeScratchFile("marsh.dat", s.marsh);
    writeScratchFile("pond.dat", s.pond);
}

std::vector<std::string> filesOfTheRun() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(scratch().folder, ec)) {
        const std::string name = e.path().filename().string();
        if (e.is_regular_file() && name != "marsh.dat" && name != "pond.dat" && name != "r.dat") {
            names.push_back(name);
        }
    }
    return names;
}

void writeScratchFile(const std::string& name, std::string_view contents) {
    std::ofstream out(scratch().folder / name, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

std::string splitNetworkAndAnswers(std::string_view bytes) {
    constexpr std::string_view kMark = "@@@\n";
    std::string_view answers = bytes;
    const std::size_t at = bytes.find(kMark);
    if (at != std::string_view::npos) {
        writeScratchFile("r.dat", bytes.substr(0, at));
        answers = bytes.substr(at + kMark.size());
    }
    std::string text(answers);
    for (char& c : text) {
        if (c == '/') c = '_';
    }
    return text;
}

}  // namespace flownet::fuzz
