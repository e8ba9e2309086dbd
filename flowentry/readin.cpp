#include "readin.hpp"

#include <string>

#include "entrydialog.hpp"
#include "files.hpp"
#include "layout.hpp"
#include "runend.hpp"

namespace flownet {

namespace {

constexpr const char* kNegativeEntry = "(/,1X,'ENTRIES MUST BE NON-NEGATIVE! CHANGE ',2I3,/)";

// How the reading of one list ended.
enum class ListRead { Complete, Bound, FileEnd };

// How a network file is read: part by part in the dialog, each part listed and, when the user
// wants changes, open to them; or in one go, without a listing or a question.
enum class Reading { Listed, Changed, Silent };

const char* listName(EntryList list) {
    switch (list) {
        case EntryList::Stocks:
            return "the list of standing stocks";
        case EntryList::Inputs:
            return "the list of inputs";
        case EntryList::Exports:
            return "the list of exports";
        case EntryList::Respirations:
            return "the list of respirations";
        case EntryList::Flows:
            break;
    }
    return "the list of flows";
}

// A file that ends early is taken as it stands, the rest as zero (a file of title, counts and names
// is a fair start for editing), but the user is told, so that a damaged file is not copied on as
// if it were complete.
void warnFileEnd(Console& con, const RecordFile& file, const std::string& what) {
    con.warn(file.where(1) + ": the file ends inside " + what + "; the rest is taken as zero");
}

// The flow records after the bound are never read: tells how many there are, up to the list's
// terminator or the end of the file.
void warnUnreadFlows(Console& con, RecordFile& file) {
    const std::string first = file.where(1);
    int unread = 0;
    for (;;) {
        int from = 0, to = 0;
        float value = 0.0f;
        std::string problem;
        const RecordRead read = readFlowRecord(file, from, to, value, problem);
        if (read == RecordRead::End || read == RecordRead::Terminator) break;
        ++unread;
    }
    if (unread > 0) {
        con.warn(first + ": " + std::to_string(unread) + " flow records after the first " +
                 std::to_string(kFlowRecordBound) + " were not read");
    }
}

// Asks for the name of an existing network file until it can be opened.
void openNetworkFile(Console& con, RecordFile& file) {
    for (;;) {
        writeLayout(con.out, "(1X,'          ENTER THE NAME OF A FILE FROM WHICH YOU WISH')");
        writeLayout(con.out, "(1X,'          TO READ THIS INFORMATION : ',$)");
        const std::string name = trimmedName(requireText(con, 64));
        const FileKind kind = fileKind(name);
        if (kind == FileKind::Special) {
            errorLine(con.out,
                      "(1X,'FILE ',A,' IS NOT A REGULAR FILE (A DEVICE OR A PIPE). ENTER ANOTHER "
                      "NAME.')",
                      {name});
        } else if (kind != FileKind::Regular) {
            errorLine(con.out, "(1X,'FILE ',A,' DOES NOT EXIST. ENTER ANOTHER NAME.')", {name});
        } else if (!file.open(name)) {
            errorLine(con.out, "(1X,'FILE ',A,' CANNOT BE OPENED. ENTER ANOTHER NAME.')", {name});
        } else {
            return;
        }
    }
}

// The command line reads a network whole or not at all: where the dialog skips a record, sets a
// value to zero or goes on without the rest of a list, so that the user can see and mend it, the
// reading ends with a failure instead of checking or balancing a network that is not the file's.
[[noreturn]] void refuse(const RecordFile& file, const std::string& problem) {
    file.fail(problem + "; flowentry reads a network file whole or not at all");
}

// A compartment number of a record lies in 1..n; any other is refused and its record skipped (on
// the command line, the reading fails).
bool inNetwork(RecordFile& file, std::ostream& out, int number, int n, bool whole) {
    if (number >= 1 && number <= n) return true;
    if (whole) {
        refuse(file, "compartment " + std::to_string(number) + " is out of range 1 to " +
                         std::to_string(n));
    }
    errorLine(out, "(1X,'LINE',I6,': COMPARTMENT',I4,' OUT OF RANGE 1 TO',I4,'. RECORD SKIPPED.')",
              {file.lineNumber(), number, n});
    return false;
}

// A negative value other than a stock is set to 0 with a warning (on the command line, the
// reading fails).
void negativeEntry(RecordFile& file, std::ostream& out, EntryList list, int from, int to,
                   bool whole) {
    if (whole) refuse(file, std::string("a negative value in ") + listName(list));
    if (list == EntryList::Flows) {
        writeLayout(out, kNegativeEntry, {from, to});
    } else {
        writeLayout(out, kNegativeEntry, {from});
    }
}

// Reads a vector list of the file being edited, at most 10 N records, into its row or column of T.
// A record whose compartment is out of range is skipped with a warning. A negative stock, or an
// unreadable stock record, stops the run; a negative input, export or respiration is set to 0 with
// a warning.
ListRead readVectorForEditing(RecordFile& file, std::ostream& out, MatView T, int n,
                              EntryList list, bool whole) {
    const bool stocks = list == EntryList::Stocks;
    for (int r = 0; r < 10 * n; ++r) {
        int index = 0;
        float value = 0.0f;
        std::string problem;
        switch (readEntryRecord(file, index, value, problem)) {
            case RecordRead::End:
                return ListRead::FileEnd;
            case RecordRead::Terminator:
                return ListRead::Complete;
            case RecordRead::Unreadable:
                if (stocks) errorLine(out, kStockError);
                file.fail(problem);
            case RecordRead::Entry:
                break;
        }
        if (!inNetwork(file, out, index, n, whole)) continue;
        if (value < 0.0f) {
            if (stocks) {
                errorLine(out, kStockError);
                file.fail("a standing stock is negative");
            }
            negativeEntry(file, out, list, index, 0, whole);
            value = 0.0f;
        }
        listEntry(T, n, list, index) = value;
    }
    return ListRead::Bound;
}

// Reads the flow list of the file being edited, at most 5000 records; a record whose compartment
// is out of range is skipped with a warning, a negative flow is set to 0 with a warning.
ListRead readFlowsForEditing(RecordFile& file, std::ostream& out, MatView T, int n, bool whole) {
    for (int r = 0; r < kFlowRecordBound; ++r) {
        int from = 0, to = 0;
        float value = 0.0f;
        std::string problem;
        switch (readFlowRecord(file, from, to, value, problem)) {
            case RecordRead::End:
                return ListRead::FileEnd;
            case RecordRead::Terminator:
                return ListRead::Complete;
            case RecordRead::Unreadable:
                file.fail(problem);
            case RecordRead::Entry:
                break;
        }
        if (!inNetwork(file, out, from, n, whole) || !inNetwork(file, out, to, n, whole)) continue;
        if (value < 0.0f) {
            negativeEntry(file, out, EntryList::Flows, from, to, whole);
            value = 0.0f;
        }
        T(from, to) = value;
    }
    return ListRead::Bound;
}

// True when the next record of the file ends the list: a list that holds as many records as it
// can is then whole.
bool terminatorFollows(RecordFile& file, EntryList list) {
    int from = 0, to = 0;
    float value = 0.0f;
    std::string problem;
    const RecordRead read = list == EntryList::Flows
                                ? readFlowRecord(file, from, to, value, problem)
                                : readEntryRecord(file, from, value, problem);
    return read == RecordRead::Terminator;
}

// The title and counts records, into the cleared network (K 6 until the title record says
// otherwise); blank columns 79-80 give K = 0. A file that ends before its counts record holds no
// network: going on would write a network of no compartments, which no program reads.
void readHead(Console& con, Network& net, RecordFile& file, bool whole) {
    net.T.clear();
    net.count = 0;
    net.livingCount = 0;
    net.precisionExponent = 6;
    std::string record, problem;
    if (!file.next(record)) file.failAtEnd("the counts record");
    if (!parseTitleRecord(record, net.title, net.precisionExponent, problem)) file.fail(problem);

    if (!file.next(record)) file.failAtEnd("the counts record");
    int n = 0, nl = 0;
    if (!parseCountsRecord(record, n, nl, problem)) {
        errorLine(con.out, kIdError, {net.count});
        file.fail(problem);
    }
    if (n < 1 || n > kEntryLimit) {
        errorLine(con.out, kCountRange, {kEntryLimit});
        file.fail("the number of compartments must be from 1 to " + std::to_string(kEntryLimit));
    }
    if (nl > n && whole) {
        refuse(file, "the number of living compartments, " + std::to_string(nl) +
                         ", is more than the number of compartments, " + std::to_string(n));
    }
    if (nl > n) {
        errorLine(con.out,
                  "(1X,'LIVING COMPARTMENTS',I4,' ARE MORE THAN N. ALL',I4,' TAKEN AS LIVING.')",
                  {nl, n});
        nl = n;
    }
    net.count = n;
    net.livingCount = nl;
}

// How a list read from the file ended: true at the end of the file, after its warning. On the
// command line a list cut short by the end of the file or by its bound is refused.
bool listEnded(Console& con, RecordFile& file, EntryList list, ListRead read, int n, bool whole) {
    if (whole && read == ListRead::FileEnd) {
        file.failAtEnd("the end of " + std::string(listName(list)));
    }
    if (whole && read == ListRead::Bound && !terminatorFollows(file, list)) {
        refuse(file, list == EntryList::Flows
                         ? "more than " + std::to_string(kFlowRecordBound) + " flow records"
                         : std::string(listName(list)) + " goes on past " +
                               std::to_string(10 * n) + " records without its terminator");
    }
    if (read == ListRead::FileEnd) warnFileEnd(con, file, listName(list));
    return read == ListRead::FileEnd;
}

// Reads the open file into the network, in the dialog each part listed, and changed on request,
// before the next is read. Returns early when the file ends after its counts record.
void readParts(Console& con, Network& net, RecordFile& file, Reading reading) {
    const bool dialog = reading != Reading::Silent, changes = reading == Reading::Changed;
    const bool whole = !dialog;
    readHead(con, net, file, whole);
    const int n = net.count;
    MatView T = net.T.view();
    std::string record;
    for (int i = 1; i <= n; ++i) {
        if (!file.next(record)) {
            if (whole) file.failAtEnd("the name of compartment " + std::to_string(i));
            warnFileEnd(con, file, "the names");
            return;
        }
        net.names[i] = parseNameRecord(record);
    }

    const ListRead stocks = readVectorForEditing(file, con.out, T, n, EntryList::Stocks, whole);
    if (listEnded(con, file, EntryList::Stocks, stocks, n, whole)) return;
    if (dialog) {
        stockDialog(con, T, n, changes, true);
        writeLayout(con.out, "(/,1X,'CURRENT PRECISION = ',E10.3,/)",
                    {entryTolerance(net.precisionExponent)});
    }
    if (changes) {
        writeLayout(con.out, "(/,1X,'DO YOU WANT TO CHANGE IT ? (Y/N)',$)");
        if (isYes(requireChar(con))) askPrecision(con, net.precisionExponent);
    }

    for (EntryList list :
         {EntryList::Inputs, EntryList::Exports, EntryList::Respirations, EntryList::Flows}) {
        const ListRead read = list == EntryList::Flows
                                  ? readFlowsForEditing(file, con.out, T, n, whole)
                                  : readVectorForEditing(file, con.out, T, n, list, whole);
        if (listEnded(con, file, list, read, n, whole)) return;
        if (!whole && read == ListRead::Bound && list == EntryList::Flows) {
            warnUnreadFlows(con, file);
        }
        if (!dialog) continue;
        listDialog(con, T, n, list,
                   read == ListRead::Bound ? ListStart::FileBound : ListStart::FileListing,
                   changes);
    }
}

}  // namespace

void READIN(Console& con, Network& net, RecordFile& file) {
    openNetworkFile(con, file);
    writeLayout(con.out, "(/,1X,'DO YOU WANT TO MAKE CHANGES TO THE DATA IN THIS FILE? (Y/N)',$)");
    const bool changes = isYes(requireChar(con));
    try {
        readParts(con, net, file, changes ? Reading::Changed : Reading::Listed);
    } catch (const ConsoleClosed&) {
        // The console is closed: the network goes back as it stands.
    }
}

void readNetworkFile(Console& con, Network& net, RecordFile& file, const std::string& name) {
    if (fileKind(name) == FileKind::None) stopFailure(name + ": no such network file");
    file.openOrStop(name);
    readParts(con, net, file, Reading::Silent);
}

}  // namespace flownet
