// The files a command-line run writes: reports, results, pictures and balanced networks.
//
// A name of "-" is standard output. An existing file is replaced only when the user said --force;
// a network file that the run reads is never an output, --force or not. A name may hold "{n}",
// replaced by a number, for one file per report or per network.
#pragma once

#include <fstream>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace flownet {

// True when the name holds "{n}".
bool isNumberedName(const std::string& name);

// The name with every "{n}" replaced by n.
std::string numberedName(const std::string& name, int n);

// Why a name cannot be written, or "" when it can: an empty name, the name of a network file the
// run reads (`inputs`), a folder, or an existing file without `force`. "-" can always be written.
std::string outputRefusal(const std::string& name, bool force,
                          const std::vector<std::string>& inputs);

// Stops the run (status 2, nothing written) when any of the fixed names cannot be written or two
// of them name the same file; "" and numbered names are left to the opening. Each entry is the
// option's name and the file name.
void checkOutputNames(const std::vector<std::pair<std::string, std::string>>& outputs, bool force,
                      const std::vector<std::string>& inputs);

// An output of a command-line run: a file, or standard output for "-".
class OutputFile {
public:
    explicit OutputFile(std::ostream& standardOutput) : standardOutput_(standardOutput) {}
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Closes what is open, then opens `name` for writing under the rules above; a refusal or a
    // failure to open stops the run with status 2.
    void open(const std::string& name, bool force, const std::vector<std::string>& inputs);
    bool isOpen() const { return stream_ != nullptr; }
    std::ostream& stream() { return *stream_; }
    const std::string& name() const { return name_; }
    // Flushes and closes; an output that could not be written in full stops the run with status 2.
    void close();

private:
    std::ostream& standardOutput_;
    std::vector<char> buffer_;
    std::ofstream file_;
    std::ostream* stream_ = nullptr;
    std::string name_;
};

}  // namespace flownet
