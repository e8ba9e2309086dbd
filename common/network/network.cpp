#include "network.hpp"

#include <vector>

#include "layout.hpp"
#include "records.hpp"

namespace flownet {

std::vector<std::string> titlePieces(std::string_view title) {
    return textPieces(title, 4, 19, 2);
}

std::vector<std::string> namePieces(std::string_view name) {
    return textPieces(name, 4, 6, 1);
}

namespace {

void writeTexts(std::ostream& out, std::string_view layout, const std::vector<std::string>& pieces,
                std::vector<Item> tail = {}) {
    std::vector<Item> items(pieces.begin(), pieces.end());
    items.insert(items.end(), tail.begin(), tail.end());
    writeLayout(out, layout, items);
}

}  // namespace

void writeNetworkHead(std::ostream& out, const std::string& title, int k, int n, int nl) {
    writeTexts(out, kTitleRecord, titlePieces(title), {Item(k)});
    writeLayout(out, kCountsRecord, {n, nl});
}

void writeNetwork(std::ostream& out, const NetworkView& net) {
    const int n = net.count;
    ConstMatView T = net.T;
    writeNetworkHead(out, net.title, net.precisionExponent, n, net.livingCount);
    for (int i = 1; i <= n; ++i) writeTexts(out, kNameRecord, namePieces(net.names[i]));

    // The four vector lists: stocks in row N+2, inputs in row N+1, exports in column N+1,
    // respirations in column N+2.
    auto vectorList = [&](auto value) {
        for (int j = 1; j <= n; ++j) {
            if (value(j) > 0.0f) writeLayout(out, kEntryRecord, {j, value(j)});
        }
        writeLayout(out, kEntryRecord, {-1, 0.0f});
    };
    vectorList([&](int j) { return T(n + 2, j); });
    vectorList([&](int j) { return T(n + 1, j); });
    vectorList([&](int i) { return T(i, n + 1); });
    vectorList([&](int i) { return T(i, n + 2); });

    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (T(i, j) > 0.0f) writeLayout(out, kFlowRecord, {i, j, T(i, j)});
        }
    }
    writeLayout(out, kFlowRecord, {-1, -1, 0.0f});
}

RecordRead readEntryRecord(RecordFile& file, int& index, float& value, std::string& problem) {
    std::string record;
    if (!file.next(record)) return RecordRead::End;
    std::vector<Field> f;
    if (!readLayout(record, kEntryRecord, f, problem)) return RecordRead::Unreadable;
    index = f[0].i;
    value = f[1].r;
    return index < 1 ? RecordRead::Terminator : RecordRead::Entry;
}

RecordRead readFlowRecord(RecordFile& file, int& from, int& to, float& value,
                          std::string& problem) {
    std::string record;
    if (!file.next(record)) return RecordRead::End;
    std::vector<Field> f;
    if (!readLayout(record, kFlowRecord, f, problem)) return RecordRead::Unreadable;
    from = f[0].i;
    to = f[1].i;
    value = f[2].r;
    return from < 1 ? RecordRead::Terminator : RecordRead::Entry;
}

bool parseTitleRecord(std::string_view record, std::string& title, int& k, std::string& problem) {
    std::vector<Field> f;
    if (!readLayout(record, kTitleRecord, f, problem)) return false;
    title.clear();
    for (std::size_t p = 0; p + 1 < f.size(); ++p) title += f[p].s;
    k = f.back().i;
    return true;
}

bool parseCountsRecord(std::string_view record, int& n, int& nl, std::string& problem) {
    std::vector<Field> f;
    if (!readLayout(record, kCountsRecord, f, problem)) return false;
    n = f[0].i;
    nl = f[1].i;
    return true;
}

std::string parseNameRecord(std::string_view record) {
    std::vector<Field> f;
    std::string problem;
    readLayout(record, kNameRecord, f, problem);  // text fields always read
    std::string name;
    for (const Field& x : f) name += x.s;
    return name;
}

}  // namespace flownet
