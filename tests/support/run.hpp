// Running the built programs in a temporary folder with scripted standard input.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace flownet::testing {

struct RunResult {
    int status = -1;      // exit status
    std::string console;  // standard output
    std::string errors;   // standard error
};

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Runs the program in `folder` with `input` as its standard input and `args` as its arguments.
RunResult runProgram(const std::string& program, const std::string& input,
                     const std::filesystem::path& folder,
                     const std::vector<std::string>& args = {});

std::string readFile(const std::filesystem::path& p);
void writeFile(const std::filesystem::path& p, const std::string& text);

// The lines of a text, without their line ends.
std::vector<std::string> lines(const std::string& text);

}  // namespace flownet::testing
