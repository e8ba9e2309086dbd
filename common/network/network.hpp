// The network record and the network file.
//
// A network file holds, one record per line: the title record (19A4,A2,I2) with the title in
// columns 1-78 and the precision exponent K in columns 79-80; the counts record (2I3) with N and
// NL; N name records (6A4,A1); the standing-stock, input, export and respiration lists of entry
// records (I3,E14.7); and the flow list of records (I3,I3,E14.7). Every list ends with a record
// whose (first) compartment number is below 1.
#pragma once

#include <array>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "matview.hpp"
#include "textio.hpp"

namespace flownet {

// Record layouts of the network file.
inline constexpr std::string_view kTitleRecord = "(19A4,A2,I2)";
inline constexpr std::string_view kCountsRecord = "(2I3)";
inline constexpr std::string_view kNameRecord = "(6A4,A1)";
inline constexpr std::string_view kEntryRecord = "(I3,E14.7)";
inline constexpr std::string_view kFlowRecord = "(I3,I3,E14.7)";

inline constexpr int kTitleLength = 78;
inline constexpr int kNameLength = 25;

// The extended matrix in which a network is kept for entry, checking and balancing has 128 rows
// and columns; the block of a network of N compartments takes N + 3 of them.
inline constexpr int kExtendedSize = 128;
inline constexpr int kEntryLimit = kExtendedSize - 3;  // 125 compartments

// One network. Its numbers live in the extended matrix T:
//   T(i, j)      flow from compartment i to compartment j   (1 <= i, j <= N)
//   T(N+1, j)    input to j              T(i, N+1)  export from i
//   T(N+2, j)    standing stock of j     T(i, N+2)  respiration of i
//   T(i, N+3)    row total (i <= N+1)    T(N+3, j)  column total (j <= N+3)
// `Limit` is the largest N the record holds: flowentry's 125 (its extended matrix of 128 rows and
// columns), or the 128 of flowanalysis2 when a network of another format is handed on to the
// analysis programs as the network file it stands for.
template <int Limit>
struct NetworkRecord {
    static constexpr int limit = Limit;
    std::string title = std::string(kTitleLength, ' ');  // exactly 78 characters
    int count = 0;                                       // N
    int livingCount = 0;                                 // NL
    int precisionExponent = 0;                           // K
    std::array<std::string, Limit + 3> names;            // names[1..N], 25 characters each
    Matrix<Limit + 3> T;
};

// The record of flowentry.
using Network = NetworkRecord<kEntryLimit>;

// The largest network any program of the suite analyses (flowanalysis2).
inline constexpr int kAnalysisLimit = 128;
using AnalysisNetwork = NetworkRecord<kAnalysisLimit>;

// A record of any capacity as its writers read it.
struct NetworkView {
    const std::string& title;
    int count, livingCount, precisionExponent;
    const std::string* names;  // names[1..count]
    ConstMatView T;
};

template <int Limit>
NetworkView viewOf(const NetworkRecord<Limit>& net) {
    return {net.title, net.count, net.livingCount, net.precisionExponent, net.names.data(),
            net.T.view()};
}

// Writes the network in the file format: every list holds the entries greater than 0 in
// increasing compartment order (flows by source, then by receiver) and ends with its terminator.
void writeNetwork(std::ostream& out, const NetworkView& net);
template <int Limit>
void writeNetwork(std::ostream& out, const NetworkRecord<Limit>& net) {
    writeNetwork(out, viewOf(net));
}

// The title and counts records alone: all that is read of a network too large for any program
// before the reading stops at its limit.
void writeNetworkHead(std::ostream& out, const std::string& title, int k, int n, int nl);

// Outcome of reading one record of a list.
enum class RecordRead { Entry, Terminator, End, Unreadable };

// Reads the next entry record (I3,E14.7) or flow record (I3,I3,E14.7). A record whose (first)
// compartment number is below 1 is the list's terminator. Unreadable: `problem` says why.
RecordRead readEntryRecord(RecordFile& file, int& index, float& value, std::string& problem);
RecordRead readFlowRecord(RecordFile& file, int& from, int& to, float& value, std::string& problem);

// Reads the title record: 78 characters of title and K (0 when blank). False when the record
// cannot be read.
bool parseTitleRecord(std::string_view record, std::string& title, int& k, std::string& problem);
// Reads the counts record: N and NL.
bool parseCountsRecord(std::string_view record, int& n, int& nl, std::string& problem);
// Reads a name record: 25 characters.
std::string parseNameRecord(std::string_view record);

// The pieces in which the layouts write a title (19A4,A2) and a name (6A4,A1).
std::vector<std::string> titlePieces(std::string_view title);
std::vector<std::string> namePieces(std::string_view name);

}  // namespace flownet
