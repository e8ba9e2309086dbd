#include "netread.hpp"

#include <cmath>
#include <vector>

#include "layout.hpp"
#include "listing.hpp"
#include "network.hpp"
#include "runend.hpp"

namespace flownet {

TitleRead readTitle(RecordFile& in, std::string& title, int& k) {
    std::string record, problem;
    if (!in.next(record)) return TitleRead::End;
    // Blank lines after the last network (editors often leave one) end the file.
    if (record.find_first_not_of(" \t") == std::string::npos && in.onlyBlankLinesRemain()) {
        return TitleRead::End;
    }
    return parseTitleRecord(record, title, k, problem) ? TitleRead::Ok : TitleRead::Unreadable;
}

float analysisTolerance(int k) {
    if (k == 0) return 1.0E-6f;
    return std::pow(10.0f, static_cast<float>(1 - k));
}

namespace {

constexpr const char* kRangeError = "('0 ERROR COMPARTMENT NUMBER',I4,' OUT OF RANGE 1 TO',I4)";

void readNames(RecordFile& in, std::ostream& report, int first, int last,
               std::vector<std::string>& names) {
    for (int k = first; k <= last; ++k) {
        std::string record;
        if (!in.next(record)) in.failAtEnd("the name of compartment " + std::to_string(k));
        names.push_back(parseNameRecord(record));
        std::vector<std::string> pieces = namePieces(names.back());
        std::vector<Item> items{Item(k)};
        items.insert(items.end(), pieces.begin(), pieces.end());
        writeLayout(report, "(1X,I2,2X,6A4,A1)", items);
    }
}

// One list of entry records: ends at its terminator or after n + 1 records; an index given again
// overwrites the earlier value. A compartment number above n stops the run with its "0 ERROR" line
// in the report.
void readVectorOrStop(RecordFile& in, std::ostream& report, int n, VecView target,
                      const char* what) {
    for (int r = 0; r < n + 1; ++r) {
        int index = 0;
        float value = 0.0f;
        std::string problem;
        switch (readEntryRecord(in, index, value, problem)) {
            case RecordRead::End:
                in.failAtEnd(std::string("the end of the list of ") + what);
            case RecordRead::Unreadable:
                in.fail(problem);
            case RecordRead::Terminator:
                return;
            case RecordRead::Entry:
                break;
        }
        if (index > n) stopWithReportError(report, kRangeError, {index, n});
        target(index) = value;
    }
}

// The flow list: ends at its terminator or after (n + 1)^2 records. A compartment number out of
// range stops the run with its "0 ERROR" line in the report.
void readFlowsOrStop(RecordFile& in, std::ostream& report, int n, MatView T) {
    for (int r = 0; r < (n + 1) * (n + 1); ++r) {
        int from = 0, to = 0;
        float value = 0.0f;
        std::string problem;
        switch (readFlowRecord(in, from, to, value, problem)) {
            case RecordRead::End:
                in.failAtEnd("the end of the list of flows");
            case RecordRead::Unreadable:
                in.fail(problem);
            case RecordRead::Terminator:
                return;
            case RecordRead::Entry:
                break;
        }
        if (from > n) stopWithReportError(report, kRangeError, {from, n});
        if (to < 1 || to > n) stopWithReportError(report, kRangeError, {to, n});
        T(from, to) = value;
    }
}

bool anyNegative(ConstVecView v, int n) {
    for (int i = 1; i <= n; ++i) {
        if (v(i) < 0.0f) return true;
    }
    return false;
}

constexpr const char* kCountError = "('0 ERROR NUMBER OF COMPARTMENTS MAX=',I3)";

// The counts record, echoed and checked; false at the end of the file.
bool readCounts(RecordFile& in, std::ostream& report, int limit, int& n, int& nl) {
    std::string record, problem;
    if (!in.next(record)) return false;
    if (!parseCountsRecord(record, n, nl, problem)) stopWithReportError(report, kCountError, {limit});
    writeLayout(report, "(1X,'NUMBER OF COMPARTMENTS IS ',I4)", {n});
    if (n > limit) stopWithReportError(report, kCountError, {limit});
    if (n < 1) stopWithReportError(report, "('0 ERROR NUMBER OF COMPARTMENTS MUST BE AT LEAST 1')");
    if (nl <= 0) nl = n;
    if (nl > n) {
        stopWithReportError(report, "('0 ERROR NUMBER OF LIVING COMPARTMENTS',I4,' EXCEEDS',I4)",
                            {nl, n});
    }
    if (nl < n) writeLayout(report, "(1X,'NUMBER OF LIVING COMPARTMENTS IS',I4)", {nl});
    return true;
}

// The input, export and respiration lists, each listed and checked at its place: the check of the
// respirations comes before their listing.
void readBoundary(RecordFile& in, std::ostream& report, int n, const NetworkArrays& net) {
    VecView IN = net.IN, EX = net.EX, RE = net.RE;
    readVectorOrStop(in, report, n, IN, "inputs");
    writeLayout(report, "(/,1X,'INPUT VECTOR')");
    VECPRT(report, IN, n);
    if (anyNegative(IN, n))
        stopWithReportError(report, "('0 ERROR INPUT VECTOR CANNOT BE LESS THAN 0')");

    readVectorOrStop(in, report, n, EX, "exports");
    writeLayout(report, "(1X,'EXPORT VECTOR')");
    VECPRT(report, EX, n);
    if (anyNegative(EX, n)) {
        stopWithReportError(report, "('0 ERROR EXPORT VECTOR CAN NOT HAVE VALUES LESS THAN 0')");
    }

    readVectorOrStop(in, report, n, RE, "respirations");
    if (anyNegative(RE, n))
        stopWithReportError(report, "('0 ERROR RESPIRATIONS CANNOT BE LESS THAN 0.')");
    writeLayout(report, "(1X,'RESPIRATION VECTOR')");
    VECPRT(report, RE, n);
}

// The flow list, listed, then checked.
void readExchanges(RecordFile& in, std::ostream& report, int n, const NetworkArrays& net) {
    readFlowsOrStop(in, report, n, net.T);
    writeLayout(report, "(1X,'EXCHANGE MATRIX')");
    MATPRT(report, net.T, n);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (net.T(i, j) < 0.0f) {
                stopWithReportError(report,
                                    "('0 ERROR EXCHANGE MATRIX CAN NOT HAVE VALUES LESS THAN 0')");
            }
        }
    }
}

}  // namespace

bool readNetwork(RecordFile& in, std::ostream& report, int limit, const std::string& title, int& n,
                 int& nl, const NetworkArrays& net) {
    std::vector<std::string> pieces = titlePieces(title);
    writeLayout(report, "(/,/,1X,19A4,A2,/)", std::vector<Item>(pieces.begin(), pieces.end()));
    if (!readCounts(in, report, limit, n, nl)) return false;

    // Names, echoed as they are read.
    writeLayout(report, "(/,1X,'LIVING COMPARTMENTS',/)");
    net.names->clear();
    readNames(in, report, 1, nl, *net.names);
    if (nl < n) {
        writeLayout(report, "(/,1X,'NON-LIVING COMPARTMENTS',/)");
        readNames(in, report, nl + 1, n, *net.names);
    }

    for (int i = 1; i <= n; ++i) {
        net.stocks(i) = 0.0f;
        net.IN(i) = 0.0f;
        net.EX(i) = 0.0f;
        net.RE(i) = 0.0f;
        for (int j = 1; j <= n; ++j) net.T(i, j) = 0.0f;
    }

    // The five lists. Standing stocks are not listed.
    VecView stocks = net.stocks;
    readVectorOrStop(in, report, n, stocks, "standing stocks");
    readBoundary(in, report, n, net);
    readExchanges(in, report, n, net);
    return true;
}

}  // namespace flownet
