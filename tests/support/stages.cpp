#include "support/stages.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "network.hpp"
#include "support/run.hpp"

namespace flownet::testing {

std::string analyseFile(const std::string& networkFile) {
    TempDir dir;
    writeFile(dir / "net.dat", networkFile);
    RunResult r = runProgram(FLOWANALYSIS_EXE, "net.dat\ny\nrep.txt\ny\n", dir.path());
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.errors, "");
    return readFile(dir / "rep.txt");
}

std::string analyse(const NetData& d) {
    Network net;
    net.count = d.n;
    net.livingCount = d.nl;
    for (int i = 1; i <= d.n; ++i) {
        net.names[i] = "COMPARTMENT " + std::to_string(i);
        net.names[i].resize(kNameLength, ' ');
        net.T(d.n + 1, i) = entry(d.IN, i);
        net.T(i, d.n + 1) = entry(d.EX, i);
        net.T(i, d.n + 2) = entry(d.RE, i);
    }
    for (const Flow& f : d.flows) net.T(f.from, f.to) = f.t;
    std::ostringstream file;
    writeNetwork(file, net);
    return analyseFile(file.str());
}

std::vector<std::string> listing(const std::string& report, const std::string& title,
                                 int occurrence) {
    std::istringstream in(report);
    std::string line;
    for (int seen = 0; seen < occurrence && std::getline(in, line);) seen += line == " " + title;
    // Header lines and row numbers are integers; the listing ends at the next line of text.
    std::vector<std::string> values;
    while (std::getline(in, line) && line.find_first_not_of(" 0123456789.E+-NaN*") == line.npos) {
        std::istringstream fields(line);
        for (std::string f; fields >> f;) {
            if (f.find_first_of(".N*") != f.npos) values.push_back(f);
        }
    }
    return values;
}

}  // namespace flownet::testing
