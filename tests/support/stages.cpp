#include "support/stages.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "network.hpp"
#include "support/run.hpp"

namespace flownet::testing {

namespace {
float entry(const std::vector<float>& v, int i) {
    return i <= int(v.size()) ? v[i - 1] : 0.0f;
}
}  // namespace

std::unique_ptr<Arrays> ascended(const NetData& d) {
    auto a = std::make_unique<Arrays>();
    a->N = d.n;
    a->NL = d.nl;
    for (int i = 1; i <= d.n; ++i) {
        a->IN(i) = entry(d.IN, i);
        a->EX(i) = entry(d.EX, i);
        a->RE(i) = entry(d.RE, i);
    }
    for (const Flow& f : d.flows) a->T(f.from, f.to) = f.t;
    ASCEND(a->T.view(), a->IN.view(), a->EX.view(), a->RE.view(), a->N, a->NL, a->F.view(),
           a->G.view(), a->X.view(), a->TST, a->info, a->rowSum.view(), a->colSum.view());
    return a;
}

std::string networkFile(const NetData& d, const std::string& title) {
    Network net;
    net.title = title + std::string(78 - title.size(), ' ');
    net.count = d.n;
    net.livingCount = d.nl;
    for (int i = 1; i <= d.n; ++i) {
        net.names[i] = std::to_string(i);
        net.names[i].insert(net.names[i].begin(), 'C');
        net.names[i].resize(kNameLength, ' ');
        net.T(d.n + 1, i) = entry(d.IN, i);
        net.T(i, d.n + 1) = entry(d.EX, i);
        net.T(i, d.n + 2) = entry(d.RE, i);
    }
    for (const Flow& f : d.flows) net.T(f.from, f.to) = f.t;
    std::ostringstream file;
    writeNetwork(file, net);
    return file.str();
}

std::string analyseFile(const std::string& file, const char* program) {
    TempDir dir;
    writeFile(dir / "net.dat", file);
    RunResult r = runProgram(program, "net.dat\ny\nrep.txt\ny\n", dir.path());
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.errors, "");
    return readFile(dir / "rep.txt");
}

Values listing(const std::string& report, const std::string& title, int occurrence) {
    std::istringstream in(report);
    std::string line;
    for (int seen = 0; seen < occurrence && std::getline(in, line);) seen += line == " " + title;
    // Header lines and row numbers are integers; the listing ends at the next line of text.
    Values values;
    while (std::getline(in, line) && line.find_first_not_of(" 0123456789.E+-NaN*") == line.npos) {
        std::istringstream fields(line);
        for (std::string f; fields >> f;) {
            if (f.find_first_of(".N*") != f.npos) values.push_back(f);
        }
    }
    return values;
}

}  // namespace flownet::testing
