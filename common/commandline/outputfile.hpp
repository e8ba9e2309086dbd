// One output of a command-line run, written in full before it takes the place of its target.
//
// A file is written to a temporary file in the target's own folder, flushed to the disk and only
// then renamed to the target: created exclusively, so that a file that appeared meanwhile (a
// concurrent run) is never replaced, or replacing the target with --force. Until then the target
// is untouched, and a run that fails, or is interrupted by a signal, leaves no temporary file.
// Standard output and devices (/dev/null, a terminal, a named pipe) are written directly.
#pragma once

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "fileidentity.hpp"

namespace flownet {

// A failure of an output: the run ends with status 2, and no target changes.
struct OutputFailure {
    std::string message;
};

// A stream buffer over a file descriptor that keeps the reason of the first failed write.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd);
    // Writes out what is buffered; false (with `error()` set) when a write failed, now or before.
    bool flushAll();
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    int fd_;
    std::vector<char> buffer_;
    int error_ = 0;
};

class OutputFile {
public:
    // Opens the output `name` (whose identity is `id`) of the option `option`: standard output
    // for "-", the device for a device, else a new temporary file beside the target. Throws
    // OutputFailure when it cannot be opened.
    OutputFile(std::string option, std::string name, const FileIdentity& id,
               std::ostream& standardOutput);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Removes the temporary file when the output was neither committed nor discarded.
    ~OutputFile();

    std::ostream& stream() { return *stream_; }
    const std::string& option() const { return option_; }
    const std::string& name() const { return name_; }
    // True when the output is written to standard output.
    bool standardOutput() const { return buffer_ == nullptr; }
    // True when the output replaces or creates a file at the end of the run.
    bool replacesTarget() const { return !temporary_.empty(); }
    // True when the target is a file that exists now.
    bool targetExists() const;

    // Ends the writing: everything flushed to the file and the disk. Throws OutputFailure when the
    // output could not be written in full. Nothing more is written afterwards.
    void finishWriting();
    // Puts the finished temporary file in the target's place: replacing it when `force`, else
    // creating it, refused when it exists. Throws OutputFailure.
    void commit(bool force);
    // Removes the temporary file; when `undo`, also the target that commit created (never one it
    // replaced).
    void discard(bool undo);

private:
    [[noreturn]] void fail(const std::string& what, int error) const;

    std::string option_, name_;
    std::string target_;     // the file to create or replace (symbolic links followed)
    std::string temporary_;  // the file written, until it is renamed
    int fd_ = -1;
    bool direct_ = false;    // a device: written directly, not replaced
    bool created_ = false;   // commit created the target
    std::unique_ptr<DescriptorBuffer> buffer_;
    std::unique_ptr<std::ostream> own_;
    std::ostream* stream_ = nullptr;
};

}  // namespace flownet
