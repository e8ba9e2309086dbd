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
        auto at = [i](const std::vector<float>& v) { return i <= int(v.size()) ? v[i - 1] : 0.0f; };
        net.T(d.n + 1, i) = at(d.IN);
        net.T(i, d.n + 1) = at(d.EX);
        net.T(i, d.n + 2) = at(d.RE);
    }
    for (const Flow& f : d.flows) net.T(f.from, f.to) = f.t;
    std::ostringstream file;
    writeNetwork(file, net);
    return analyseFile(file.str());
}

namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

bool isInteger(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

std::vector<std::vector<std::string>> listing(const std::string& report, const std::string& title,
                                              int occurrence) {
    const std::vector<std::string> all = lines(report);
    std::size_t k = 0;
    for (int seen = 0; k < all.size(); ++k) {
        if (trimmed(all[k]) == title && ++seen == occurrence) break;
    }
    EXPECT_LT(k, all.size()) << "no listing " << title;
    std::vector<std::vector<std::string>> rows;
    // Listing lines: 6 columns of row number or blanks, then fields of 9 columns.
    for (++k; k < all.size(); ++k) {
        const std::string& line = all[k];
        if (trimmed(line).empty()) continue;
        if (line.find_first_not_of(" 0123456789.E+-NaN*") != std::string::npos) break;
        std::vector<std::string> fields;
        for (std::size_t c = 6; c < line.size(); c += 9)
            fields.push_back(trimmed(line.substr(c, 9)));
        bool header = true;
        for (const std::string& f : fields) header = header && isInteger(f);
        if (!header) rows.push_back(fields);
    }
    return rows;
}

std::vector<std::string> vectorListing(const std::string& report, const std::string& title,
                                       int occurrence) {
    std::vector<std::string> values;
    for (const auto& row : listing(report, title, occurrence)) {
        values.insert(values.end(), row.begin(), row.end());
    }
    return values;
}

std::vector<std::string> linesFrom(const std::string& report, const std::string& text, int count) {
    const std::vector<std::string> all = lines(report);
    for (std::size_t k = 0; k < all.size(); ++k) {
        if (all[k].find(text) != std::string::npos) {
            const std::size_t end = std::min(all.size(), k + count);
            return {all.begin() + long(k), all.begin() + long(end)};
        }
    }
    ADD_FAILURE() << "no line with " << text;
    return {};
}

}  // namespace flownet::testing
