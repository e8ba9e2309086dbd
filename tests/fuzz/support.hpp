// What the fuzz targets share: the property check, and the folder in which they run the programs.
//
// The programs take every file name from their standard input, so a run driven by random answers
// may read, create or (after confirmation) replace any file it can name. The targets therefore
// work in a scratch folder of their own, holding the example networks, and keep every name inside
// it: a '/' in the answers becomes '_', so no answer can name a folder. After each run the files
// the run created are removed and the examples written afresh: nothing accumulates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// A property that fails is a finding: the fuzzer saves the input that broke it.
#define FUZZ_CHECK(property)                                          \
    do {                                                              \
        if (!(property)) {                                            \
            std::fprintf(stderr, "property broken: %s\n", #property); \
            std::abort();                                             \
        }                                                             \
    } while (false)

namespace flownet::fuzz {

// Creates the scratch folder (once), makes it the working folder and writes the example networks
// into it as marsh.dat and pond.dat. The fuzzer's arguments that name files or folders (corpus
// folders, inputs to replay, -artifact_prefix=) are made absolute first, so that they still
// name what they named before.
void enterScratchFolder(int* argc, char*** argv);

// Removes everything the last run left in the scratch folder and writes the examples again.
void resetScratchFolder();

// The files of the scratch folder that the last run wrote: all but the examples and r.dat.
std::vector<std::string> filesOfTheRun();

// Writes a file into the scratch folder.
void writeScratchFile(const std::string& name, std::string_view contents);

// The fuzzer's bytes as text.
inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Splits the bytes of a dialog target at the first line "@@@": the part before it is a network
// file r.dat written into the scratch folder (when there is such a line), the part after it the
// console answers, with '/' made '_'. Returns the answers.
std::string splitNetworkAndAnswers(std::string_view bytes);

}  // namespace flownet::fuzz
