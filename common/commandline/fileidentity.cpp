#include "fileidentity.hpp"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace flownet {

namespace {

// The absolute name with every symbolic link followed, or "" (errno says why).
std::string resolved(const std::string& name) {
    std::unique_ptr<char, decltype(&std::free)> path(::realpath(name.c_str(), nullptr), &std::free);
    return path ? std::string(path.get()) : std::string();
}

void takeStat(FileIdentity& id, const struct stat& st) {
    id.hasInode = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    if (S_ISDIR(st.st_mode)) {
        id.kind = FileKind::Folder;
    } else if (S_ISREG(st.st_mode)) {
        id.kind = FileKind::Regular;
    } else {
        id.kind = FileKind::Special;
        id.nullDevice = S_ISCHR(st.st_mode) && st.st_rdev == makedev(1, 3);
    }
}

// The descriptor that a name such as /dev/stdout, /dev/fd/3 or /proc/self/fd/3 stands for, or -1.
int descriptorNamed(const std::string& folder, const std::string& base) {
    if (folder == "/dev") {
        if (base == "stdin") return 0;
        if (base == "stdout") return 1;
        if (base == "stderr") return 2;
        return -1;
    }
    if (folder != "/proc/" + std::to_string(::getpid()) + "/fd" || base.empty() ||
        base.find_first_not_of("0123456789") != std::string::npos || base.size() > 9) {
        return -1;
    }
    return std::stoi(base);
}

}  // namespace

FileIdentity identifyFile(const std::string& name) {
    FileIdentity id;
    struct stat st {};
    if (name == "-") {
        id.standardOutput = true;
        if (::fstat(STDOUT_FILENO, &st) == 0) takeStat(id, st);
        id.kind = FileKind::Special;  // written as it is, never replaced
        return id;
    }
    if (name.empty()) {
        id.error = ENOENT;
        return id;
    }
    const std::size_t slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : name.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    const std::string where = resolved(folder);
    if (const int fd = descriptorNamed(where, base); fd >= 0) {
        // Standard output is written as "-"; another descriptor is appended to where it stands.
        id.standardOutput = fd == STDOUT_FILENO;
        id.descriptor = true;
        id.kind = FileKind::Special;
        if (::fstat(fd, &st) == 0) takeStat(id, st);
        id.kind = FileKind::Special;
        return id;
    }
    if (::stat(name.c_str(), &st) == 0) {
        takeStat(id, st);
        id.path = resolved(name);
        return id;
    }
    struct stat link {};
    id.danglingLink = ::lstat(name.c_str(), &link) == 0;
    // A new file: its folder resolved, its own name as given. A name that ends in "/" can only be
    // a folder, which does not exist.
    if (base.empty()) {
        id.error = ENOENT;
        return id;
    }
    if (where.empty()) {
        id.error = errno;
        return id;
    }
    id.path = where + (where.back() == '/' ? "" : "/") + base;
    return id;
}

bool sameFile(const FileIdentity& a, const FileIdentity& b) {
    if (a.hasInode && b.hasInode) return a.device == b.device && a.inode == b.inode;
    return !a.path.empty() && a.path == b.path;
}

}  // namespace flownet
