#include "outputs.hpp"

#include <cerrno>
#include <cstring>

#include "files.hpp"
#include "runend.hpp"

namespace flownet {

namespace {

constexpr const char* kNumber = "{n}";

}  // namespace

bool isNumberedName(const std::string& name) {
    return name.find(kNumber) != std::string::npos;
}

std::string numberedName(const std::string& name, int n) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = name.find(kNumber, from)) != std::string::npos; from = at + 3) {
        out.append(name, from, at - from).append(std::to_string(n));
    }
    return out.append(name, from);
}

std::string outputRefusal(const std::string& name, bool force,
                          const std::vector<std::string>& inputs) {
    if (name == "-") return "";
    if (name.empty()) return "an empty output name";
    for (const std::string& input : inputs) {
        if (input == name || sameFile(input, name)) {
            return name + ": that is a network file being read; it cannot be an output";
        }
    }
    switch (fileKind(name)) {
        case FileKind::Folder:
            return name + ": is a folder";
        case FileKind::Regular:
            return force ? "" : name + ": the file exists (use --force to replace it)";
        case FileKind::Special:  // a device or a pipe is written, never replaced
        case FileKind::None:
            return "";
    }
    return "";
}

void checkOutputNames(const std::vector<std::pair<std::string, std::string>>& outputs, bool force,
                      const std::vector<std::string>& inputs) {
    for (std::size_t k = 0; k < outputs.size(); ++k) {
        const auto& [option, name] = outputs[k];
        if (name.empty() || isNumberedName(name)) continue;
        const std::string refusal = outputRefusal(name, force, inputs);
        if (!refusal.empty()) stopFailure(refusal);
        for (std::size_t m = 0; m < k; ++m) {
            const auto& [other, otherName] = outputs[m];
            if (otherName == name && name != "-") {
                stopFailure(name + ": named by both " + other + " and " + option);
            }
            if (otherName == "-" && name == "-") {
                stopFailure("both " + other + " and " + option + " would write to standard output");
            }
        }
    }
}

OutputFile::~OutputFile() {
    if (file_.is_open()) file_.close();
}

void OutputFile::open(const std::string& name, bool force, const std::vector<std::string>& inputs) {
    close();
    const std::string refusal = outputRefusal(name, force, inputs);
    if (!refusal.empty()) stopFailure(refusal);
    name_ = name;
    if (name == "-") {
        stream_ = &standardOutput_;
        return;
    }
    if (!openBuffered(file_, buffer_, name)) {
        stopFailure(name + ": cannot be opened for writing: " + std::strerror(errno));
    }
    stream_ = &file_;
}

void OutputFile::close() {
    if (stream_ == nullptr) return;
    bool ok = true;
    if (stream_ == &file_) {
        ok = closeWritten(file_);
    } else {
        stream_->flush();
        ok = !stream_->fail();
    }
    stream_ = nullptr;
    if (!ok)
        stopFailure((name_ == "-" ? "standard output" : name_) + ": could not be written in full");
}

}  // namespace flownet
