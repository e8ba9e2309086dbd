// The readers of networks in CSV and NEA, fed random bytes. Whatever the bytes, a reader either
// refuses them with a message that names the file, or gives a network whose record holds every
// value as non-negative and finite, its living compartments first; a record read is written in
// the matrix form and read back to the same record.
#include <cmath>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "csvedges.hpp"
#include "csvmatrix.hpp"
#include "csvtext.hpp"
#include "nea.hpp"
#include "netdraft.hpp"
#include "support.hpp"

using namespace flownet;

namespace {

// Builds the record of a draft of at most 128 compartments and checks it; false when refused.
bool built(NetworkDraft& draft, AnalysisNetwork& net) {
    if (draft.compartments.size() > static_cast<std::size_t>(kAnalysisLimit)) return false;
    try {
        buildNetwork("f.csv", draft, net, "FUZZ");
    } catch (const FormatError& e) {
        FUZZ_CHECK(e.message.rfind("f.csv", 0) == 0);
        return false;
    }
    const int n = net.count;
    FUZZ_CHECK(n >= 1 && net.livingCount <= n);
    for (int i = 1; i <= n + 2; ++i) {
        for (int j = 1; j <= n + 2; ++j) FUZZ_CHECK(std::isfinite(net.T(i, j)) && net.T(i, j) >= 0.0f);
    }
    return true;
}

// The draft the reader gives, or false when it refuses the bytes (with a message naming the file).
template <class Read>
bool read(Read reader, NetworkDraft& draft) {
    try {
        draft = reader();
        return true;
    } catch (const FormatError& e) {
        FUZZ_CHECK(e.message.rfind("f.", 0) == 0);
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto net = std::make_unique<AnalysisNetwork>();
    auto back = std::make_unique<AnalysisNetwork>();
    NetworkDraft draft;
    if (read([&] { return readCsvMatrix(parseCsv("f.csv", bytes)); }, draft) && built(draft, *net)) {
        // The matrix form of the record reads back to the same record.
        checkCsvNames("f.csv", viewOf(*net));  // what a reader takes, a writer can write
        std::ostringstream text;
        writeCsvMatrix(text, viewOf(*net), {});
        NetworkDraft again;
        FUZZ_CHECK(read([&] { return readCsvMatrix(parseCsv("f.csv", text.str())); }, again));
        FUZZ_CHECK(built(again, *back));
        FUZZ_CHECK(back->count == net->count && back->livingCount == net->livingCount);
        for (int i = 1; i <= net->count + 2; ++i) {
            for (int j = 1; j <= net->count + 2; ++j) FUZZ_CHECK(back->T(i, j) == net->T(i, j));
        }
    }
    if (read([&] {
            return readCsvEdges(parseCsv("f.csv", bytes), [](const std::string&, int) {
                return parseCsv("f.companion.csv", "compartment\n");
            });
        }, draft)) {
        built(draft, *net);
    }
    if (read([&] { return readNea("f.nea", bytes, {1}); }, draft)) built(draft, *net);
    return 0;
}
