// Runs of the built programs on a network file and scripted answers, and the check of what they
// leave: the exit status and pieces of text that must appear in order.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/run.hpp"

namespace flownet::testing {

// Network file records: a title with K in columns 79-80, a text padded to its field, an entry
// record (I3,E14.7) and a flow record (I3,I3,E14.7) with the value right-aligned as given. The
// same helpers write the records a program is expected to write ("  1  .5000000E+01").
inline std::string title(const std::string& text, const std::string& k = "  ") {
    return text + std::string(78 - text.size(), ' ') + k + "\n";
}
inline std::string padded(const std::string& text, std::size_t width = 25) {
    return text + std::string(width - text.size(), ' ') + "\n";
}
inline std::string flow(int i, int j, const std::string& value) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%3d%3d%14s\n", i, j, value.c_str());
    return buf;
}
inline std::string entry(int i, const std::string& value) {
    return flow(i, 0, value).erase(3, 3);
}
inline const std::string kTerm = entry(-1, ".0000000E+00"),
                         kFlowTerm = flow(-1, -1, ".0000000E+00");
// The text repeated; the text with every line ended by CR LF.
inline std::string times(std::size_t count, const std::string& text) {
    std::string s;
    while (count-- > 0) s += text;
    return s;
}
inline std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Texts of flowentry: a refusal is a line of four blanks, then the message.
inline const std::string kIdError = "    \n ERROR - COMPARTMENT ID MUST BE AN INTEGER < OR =";
inline const std::string kValueError = "    \n ERROR - INCORRECT ENTRY ... PLEASE RE-ENTER...\n";
inline std::string completion(const std::string& name) {
    return std::string(28, ' ') + "DATA ENTRY IS COMPLETE.\n" + std::string(12, ' ') +
           "NETWORK INFORMATION HAS BEEN WRITTEN TO FILE " + padded(name, 64);
}

// How often the piece occurs in the text.
inline int occurrences(const std::string& text, const std::string& piece) {
    int count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + piece.size())) {
        ++count;
    }
    return count;
}

enum Program { kAnalysis, kEntry, kAnalysis2, kPrograms };
inline const std::string kProgramNames[kPrograms] = {"flowanalysis", "flowentry", "flowanalysis2"};

// Everything a run left, marked: "[console]...[errors]...[file]...[end]", where the file is the
// one the run was told to write (absent when it was not written).
struct Outcome {
    Program program;
    int status;
    std::string errors, all;
};

inline Outcome run(Program p, const std::string& answers, const TempDir& dir,
                   const std::string& written, const std::vector<std::string>& args = {}) {
    static const char* const exe[kPrograms] = {FLOWANALYSIS_EXE, FLOWENTRY_EXE, FLOWANALYSIS2_EXE};
    const RunResult r = runProgram(exe[p], answers, dir.path(), args);
    Outcome o{p, r.status, r.errors, "[console]" + r.console + "[errors]" + r.errors};
    if (std::filesystem::exists(dir / written)) o.all += "[file]" + readFile(dir / written);
    o.all += "[end]";
    return o;
}

// A run in a fresh folder holding `network` as net.dat, which is never changed, and a folder sub;
// the file to write is the report rep.txt of the analysis programs or the network out.dat of
// flowentry. With `args` the program runs in its command-line mode.
inline Outcome runOn(Program p, const std::string& network, const std::string& answers,
                     const std::vector<std::string>& args = {}) {
    TempDir dir;
    writeFile(dir / "net.dat", network);
    std::filesystem::create_directory(dir / "sub");
    Outcome o = run(p, answers, dir, p == kEntry ? "out.dat" : "rep.txt", args);
    EXPECT_EQ(readFile(dir / "net.dat"), network) << "the network file was changed";
    return o;
}

// How a run must end, written "<status>|<piece>|<piece>...": its exit status and pieces of text
// found in this order; a piece "#<n>#<text>" is a text the run holds exactly n times (0: never).
inline void check(const Outcome& o, const std::string& expect) {
    std::size_t at = expect.find('|'), found = 0;
    EXPECT_EQ(std::to_string(o.status), expect.substr(0, at)) << o.all.substr(0, 20000);
    while (at != std::string::npos) {
        const std::size_t next = expect.find('|', at + 1);
        const std::string piece = expect.substr(at + 1, next - at - 1);
        at = next;
        if (piece[0] == '#') {
            const std::string text = piece.substr(piece.find('#', 1) + 1);
            EXPECT_EQ(occurrences(o.all, text), std::stoi(piece.substr(1))) << text;
        } else if ((found = o.all.find(piece, found)) == std::string::npos) {
            ADD_FAILURE() << "not found in order: [" << piece
                          << "]\nin: " << o.all.substr(0, 20000);
            return;
        } else {
            found += piece.size();
        }
    }
    // A failure is told on standard error after the program's name; an orderly end writes there
    // only the warnings the expectation names.
    const std::string name = kProgramNames[o.program] + ": ";
    if (o.status == 2) {
        EXPECT_EQ(o.errors.substr(0, name.size()), name);
    } else if (expect.find("[errors]" + name) == std::string::npos) {
        EXPECT_EQ(o.errors, "");
    }
}

}  // namespace flownet::testing
