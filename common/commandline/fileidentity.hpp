// Files told apart by what they are, not by how they are spelt: "x", "./x", "dir/../x", a hard
// link and a symbolic link to it are one file; "-" is standard output, and so is /dev/stdout.
#pragma once

#include <sys/types.h>

#include <string>

#include "files.hpp"

namespace flownet {

struct FileIdentity {
    FileKind kind = FileKind::None;  // None: no file of that name yet
    bool standardOutput = false;     // "-", and the names of standard output (/dev/stdout)
    bool descriptor = false;         // a name of an open descriptor of this process (/dev/stderr,
                                     // /dev/fd/3), written where it stands, never replaced
    bool hasInode = false;           // an existing file (or the open standard output)
    dev_t device = 0;
    ino_t inode = 0;
    bool nullDevice = false;         // /dev/null, which any number of outputs may share
    bool danglingLink = false;       // a symbolic link to nothing: a name that is taken
    // The file's place with every symbolic link followed: the resolved folder and the name for a
    // new file. Empty when its folder cannot be resolved (it does not exist, or is not searchable),
    // with the reason in `error` (an errno value).
    std::string path;
    int error = 0;
};

// The identity of the file a name leads to, the name used exactly as given ("-": standard
// output).
FileIdentity identifyFile(const std::string& name);

// True when the two identities are one file: the same device and inode, or the same resolved
// place.
bool sameFile(const FileIdentity& a, const FileIdentity& b);

}  // namespace flownet
