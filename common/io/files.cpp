#include "files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "textio.hpp"

namespace flownet {

std::string trimmedName(const std::string& name) {
    // The system ends a name at its first NUL character, and so does every test and open here:
    // the blanks before it are trailing blanks too.
    return withoutTrailingBlanks(std::string_view(name).substr(0, name.find('\0')));
}

FileKind fileKind(const std::string& name) {
    struct stat st {};
    if (name.empty() || ::stat(name.c_str(), &st) != 0) return FileKind::None;
    if (S_ISDIR(st.st_mode)) return FileKind::Folder;
    return S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Special;
}

bool fileExists(const std::string& name) {
    const FileKind kind = fileKind(name);
    return kind == FileKind::Regular || kind == FileKind::Special;
}

bool sameExistingFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

NewFile writeNewFile(const std::string& name, const std::string& contents, std::string& problem) {
    std::string n = trimmedName(name);
    if (n.empty()) {
        problem = "the file name is blank";
        return NewFile::Failed;
    }
    int fd = ::open(n.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) return NewFile::Exists;
        problem = std::strerror(errno);
        return NewFile::Failed;
    }
    std::size_t done = 0;
    while (done < contents.size()) {
        ssize_t k = ::write(fd, contents.data() + done, contents.size() - done);
        if (k < 0) {
            if (errno == EINTR) continue;
            problem = std::strerror(errno);
            ::close(fd);
            ::unlink(n.c_str());  // the partial file is ours: leave nothing half written
            return NewFile::Failed;
        }
        done += static_cast<std::size_t>(k);
    }
    if (::close(fd) != 0) {
        problem = std::strerror(errno);
        ::unlink(n.c_str());
        return NewFile::Failed;
    }
    return NewFile::Written;
}

bool openBuffered(std::ofstream& file, std::vector<char>& buffer, const std::string& name) {
    buffer.resize(256 * 1024);
    file.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    file.open(name, std::ios::out | std::ios::trunc | std::ios::binary);
    return file.is_open();
}

bool closeWritten(std::ofstream& file) {
    file.flush();
    bool ok = !file.fail();
    file.close();
    ok = ok && !file.fail();
    file.clear();
    return ok;
}

}  // namespace flownet
