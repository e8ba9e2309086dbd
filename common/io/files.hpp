// The files the user names.
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace flownet {

// A name typed at the console into a fixed field, without its trailing blanks; a NUL character
// ends it. (Names given on a command line are used exactly as given.)
std::string trimmedName(const std::string& name);

// What a name leads to, the name used exactly as given. Only a regular file can be a network file:
// a device (/dev/zero) or a named pipe would be read without end, or block at the opening.
enum class FileKind { None, Folder, Regular, Special };
FileKind fileKind(const std::string& name);

// True when a file of that name exists (a folder does not count; an empty name never exists).
bool fileExists(const std::string& name);

// True when the two names lead to one and the same existing file, however they are spelt.
bool sameExistingFile(const std::string& a, const std::string& b);

enum class NewFile { Written, Exists, Failed };

// Creates a new file holding `contents`, under a name typed at the console (trimmed first). An
// existing file is never touched: the result is then Exists. Failed, with the reason in `problem`,
// when the file cannot be created or written in full; nothing is then left of it.
NewFile writeNewFile(const std::string& name, const std::string& contents, std::string& problem);

// Opens `file` for writing, emptying it, with `buffer` (made 256 KiB) as its buffer, so that a long
// report goes to the file in few writes; the buffer must outlive the stream. False when the file
// cannot be opened (errno says why).
bool openBuffered(std::ofstream& file, std::vector<char>& buffer, const std::string& name);

// Flushes and closes the file; false when it could not be written in full.
bool closeWritten(std::ofstream& file);

}  // namespace flownet
