#include "outputfile.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace flownet {

namespace {

// The temporary files of the run, for the signal handler: a list that only grows, each entry
// complete before it is published, so that the handler can walk it from any thread at any time.
struct Temporary {
    std::string path;
    std::atomic<bool> live{true};
    Temporary* next = nullptr;
};
std::atomic<Temporary*> temporaries{nullptr};

// A run ended by a signal (Ctrl-C, a closed pipe, kill) removes its temporary files, then ends as
// the signal would have ended it.
extern "C" void removeTemporariesAndEnd(int signal) {
    for (Temporary* t = temporaries.load(); t != nullptr; t = t->next) {
        if (t->live.load()) ::unlink(t->path.c_str());
    }
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void installSignalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
            struct sigaction old {};
            if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
            struct sigaction action {};
            action.sa_handler = removeTemporariesAndEnd;
            sigemptyset(&action.sa_mask);
            ::sigaction(signal, &action, nullptr);
        }
    });
}

Temporary* registerTemporary(const std::string& path) {
    installSignalHandlers();
    auto* t = new Temporary;  // never freed: the handler may read it until the process ends
    t->path = path;
    t->next = temporaries.load();
    while (!temporaries.compare_exchange_weak(t->next, t)) {
    }
    return t;
}

void forgetTemporary(const std::string& path) {
    for (Temporary* t = temporaries.load(); t != nullptr; t = t->next) {
        if (t->live.load() && t->path == path) t->live.store(false);
    }
}

// The permissions of a new file: those the user's umask leaves of rw-rw-rw-.
mode_t newFileMode() {
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

constexpr std::size_t kBufferSize = 256 * 1024;

}  // namespace

DescriptorBuffer::DescriptorBuffer(int fd) : fd_(fd), buffer_(kBufferSize) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool DescriptorBuffer::flushAll() {
    const char* at = pbase();
    while (error_ == 0 && at < pptr()) {
        const ssize_t k = ::write(fd_, at, static_cast<std::size_t>(pptr() - at));
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) {
            error_ = k < 0 ? errno : EIO;
            break;
        }
        at += k;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type c) {
    if (!flushAll()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize DescriptorBuffer::xsputn(const char* s, std::streamsize n) {
    std::streamsize done = 0;
    while (done < n) {
        if (pptr() == epptr() && !flushAll()) return done;
        const std::streamsize k = std::min(n - done, static_cast<std::streamsize>(epptr() - pptr()));
        std::memcpy(pptr(), s + done, static_cast<std::size_t>(k));
        pbump(static_cast<int>(k));
        done += k;
    }
    return done;
}

int DescriptorBuffer::sync() {
    return flushAll() ? 0 : -1;
}

OutputFile::OutputFile(std::string option, std::string name, const FileIdentity& id,
                       std::ostream& standardOutput)
    : option_(std::move(option)), name_(std::move(name)) {
    if (id.standardOutput) {
        stream_ = &standardOutput;
        return;
    }
    if (id.kind == FileKind::Special) {
        // Appending: a descriptor name of a file that the shell opened (2> log) keeps what is in
        // it; to a device it makes no difference.
        fd_ = ::open(name_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) fail("cannot be opened for writing", errno);
        direct_ = true;
    } else {
        target_ = id.path;
        const std::size_t slash = target_.rfind('/');
        const std::string folder = target_.substr(0, slash + 1), base = target_.substr(slash + 1);
        std::string pattern = folder + "." + (base.size() + 8 <= NAME_MAX ? base : "flownet") +
                              ".XXXXXX";
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd_ < 0) fail("cannot be created", errno);
        temporary_ = pattern;
        registerTemporary(temporary_);
        // A replaced file keeps its permissions; a new one gets those of the umask.
        struct stat st {};
        const mode_t mode = id.kind == FileKind::Regular && ::stat(target_.c_str(), &st) == 0
                                ? static_cast<mode_t>(st.st_mode & 07777)
                                : newFileMode();
        ::fchmod(fd_, mode);
    }
    buffer_ = std::make_unique<DescriptorBuffer>(fd_);
    own_ = std::make_unique<std::ostream>(buffer_.get());
    stream_ = own_.get();
}

OutputFile::~OutputFile() {
    discard(false);
}

bool OutputFile::targetExists() const {
    struct stat st {};
    return !target_.empty() && ::lstat(target_.c_str(), &st) == 0;
}

void OutputFile::fail(const std::string& what, int error) const {
    const std::string who = name_ == "-" ? "standard output" : name_;
    throw OutputFailure{who + ": " + what + (error != 0 ? std::string(": ") + std::strerror(error)
                                                        : std::string())};
}

void OutputFile::finishWriting() {
    if (buffer_ == nullptr) {  // standard output
        if (stream_ == nullptr) return;
        stream_->flush();
        const bool ok = !stream_->fail();
        stream_ = nullptr;
        if (!ok) fail("could not be written in full", 0);
        return;
    }
    if (fd_ < 0) return;
    own_->flush();
    int error = buffer_->flushAll() ? 0 : buffer_->error();
    if (error == 0 && !direct_ && ::fsync(fd_) != 0) error = errno;
    if (::close(fd_) != 0 && error == 0) error = errno;
    fd_ = -1;
    if (error != 0) fail("could not be written in full", error);
}

void OutputFile::commit(bool force) {
    if (temporary_.empty()) return;
    const char* from = temporary_.c_str();
    const char* to = target_.c_str();
    if (force) {
        if (::rename(from, to) != 0) fail("cannot be replaced", errno);
    } else if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) != 0) {
        int error = errno;
        if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
            // A file system without an exclusive rename: a hard link is created as exclusively.
            error = ::link(from, to) == 0 ? 0 : errno;
            if (error == 0) ::unlink(from);
        }
        if (error == EEXIST) fail("the file exists (use --force to replace it)", 0);
        if (error != 0) fail("cannot be created", error);
    }
    created_ = !force;
    forgetTemporary(temporary_);
    temporary_.clear();
}

void OutputFile::discard(bool undo) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        forgetTemporary(temporary_);
        temporary_.clear();
    }
    if (undo && created_) {
        ::unlink(target_.c_str());
        created_ = false;
    }
}

}  // namespace flownet
