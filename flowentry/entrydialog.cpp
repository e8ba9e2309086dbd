#include "entrydialog.hpp"

#include <cmath>
#include <sstream>

#include "files.hpp"
#include "listing.hpp"
#include "runend.hpp"

namespace flownet {

namespace {

constexpr const char* kValueError = "(1X,'ERROR - INCORRECT ENTRY ... PLEASE RE-ENTER...')";
constexpr const char* kValuePrompt = "(1X,'              VALUE ? ',$)";
constexpr const char* kOneEmptyLine = "(/)";  // ends a line and writes one empty line
constexpr const char* kFourBlanks = "(4X)";

constexpr const char* kStockInstructions =
    "(/,12X,' ENTER COMPARTMENT # AND NEW VALUE AT THE PROMPTS.',/,12X,' A NEGATIVE INTEGER AT "
    "THE 1ST PROMPT ENDS DATA ENTRY.',/)";

// The texts of one list: the heading and prompt of its entry loop, the title of its listing and
// the instructions printed when its entry opens.
struct ListTexts {
    const char* heading;
    const char* prompt;
    const char* title;
    const char* instructions;
};

const ListTexts& textsOf(EntryList list) {
    static const ListTexts stocks{nullptr, nullptr, "(/,/,/,25X,'STANDING STOCK VECTOR ')",
                                  nullptr};
    static const ListTexts inputs{
        "(/,15X,'ENTER INPUT INFORMATION AT PROMPTS. ',/)", "(1X,'            INPUT TO ? ',$)",
        "(/,/,/,25X,'INPUT VECTOR               ')",
        "(/,/,/,12X,'ENTER NON-ZERO INPUT VALUES BY SUPPLYING THE     ID ',/,12X,'OF THE "
        "RECEIVING COMPARTMENT AND ITS VALUE AT THE ',/,12X,'APPROPRIATE PROMPT. TERMINATE DATA "
        "ENTRY BY ENTERING',/,12X,'A NEGATIVE INTEGER AT THE TO PROMPT...',/)"};
    static const ListTexts exports{
        "(/,/,/,12X,'ENTER EXPORT VALUES AS PROMPTED...',/)", "(1X,'            EXPORT FROM ? ',$)",
        "(/,/,/,25X,'EXPORT VECTOR    ')",
        "(/,/,/,12X,'LOSSES TO THE ENVIRONMENT INCLUDE 2 ELEMENTS:',/,12X,'RESPIRATION AND "
        "EXPORT.  ENTER THESE DATA USING ',/,12X,'THE SAME PROCEDURE AS BEFORE. TERMINATE DATA "
        "ENTRY ',/,12X,'WITH A NEGATIVE INTEGER AT THE FROM PROMPT...',/)"};
    static const ListTexts respirations{"(/,/,/,12X,'ENTER RESPIRATION VALUES AS PROMPTED...',/)",
                                        "(1X,'          RESPIRATION FROM ? ',$)",
                                        "(/,/,/,25X,'RESPIRATION VECTOR')", nullptr};
    static const ListTexts flows{
        nullptr, nullptr, "(/,/,/,25X,'FLOW MATRIX              ')",
        "(/,/,/,12X,'ENTER NON-ZERO FLOW VALUES BY GIVING THE ID # OF THE',/,12X,'FROM "
        "COMPARTMENT, TO COMPARTMENT, AND THE FLOW VALUE',/,12X,'AT THE PROMPTS.  TO END DATA "
        "ENTRY, ENTER A NEGATIVE',/,12X,'INTEGER VALUE FOR THE FROM PROMPT: ')"};
    switch (list) {
        case EntryList::Stocks:
            return stocks;
        case EntryList::Inputs:
            return inputs;
        case EntryList::Exports:
            return exports;
        case EntryList::Respirations:
            return respirations;
        case EntryList::Flows:
            break;
    }
    return flows;
}

// A compartment number typed at a prompt: the number when it lies in 1..n, or a negative number
// when `negativeEnds`; 0 after a refusal, which has been told by its error line.
int askCompartment(Console& con, int n, bool negativeEnds) {
    std::int32_t i = 0;
    switch (askInteger(con, i)) {
        case Answer::End:
            throw ConsoleClosed{};
        case Answer::Unreadable:
            i = 0;
            break;
        case Answer::Ok:
            break;
    }
    if ((i < 0 && negativeEnds) || (i >= 1 && i <= n)) return i;
    errorLine(con.out, kIdError, {n});
    return 0;
}

// A non-negative value, asked again after each refusal; the prompt is one or more layouts.
float askValue(Console& con, std::initializer_list<const char*> prompt) {
    for (;;) {
        for (const char* layout : prompt) writeLayout(con.out, layout);
        float v = 0.0f;
        switch (askReal(con, v)) {
            case Answer::End:
                throw ConsoleClosed{};
            case Answer::Unreadable:
                break;
            case Answer::Ok:
                if (v >= 0.0f) return v;
                break;
        }
        errorLine(con.out, kValueError);
    }
}

// Entries of a vector list until a negative compartment number. A refused number brings the
// heading back unless `headingAfterRefusal` is false.
void vectorEntryLoop(Console& con, MatView T, int n, EntryList list, bool headingAfterRefusal) {
    const ListTexts& texts = textsOf(list);
    bool heading = true;
    for (;;) {
        if (heading) writeLayout(con.out, texts.heading);
        writeLayout(con.out, texts.prompt);
        const int i = askCompartment(con, n, true);
        if (i < 0) return;
        heading = headingAfterRefusal || i > 0;
        if (i == 0) continue;
        listEntry(T, n, list, i) = askValue(con, {kOneEmptyLine, kValuePrompt});
    }
}

// Flows from a source to a receiver until a negative source number.
void flowEntryLoop(Console& con, MatView T, int n) {
    for (;;) {
        writeLayout(con.out, kFourBlanks);
        int i = 0;
        while (i == 0) {
            writeLayout(con.out, "(1X,'               ENTER FLOW INFORMATION AT PROMPTS: ')");
            writeLayout(con.out, kFourBlanks);
            writeLayout(con.out, "(1X,'               FROM ? ',$)");
            i = askCompartment(con, n, true);
        }
        if (i < 0) return;
        int j = 0;
        while (j == 0) {
            writeLayout(con.out, kOneEmptyLine);
            writeLayout(con.out, "(1X,'                 TO ? ',$)");
            j = askCompartment(con, n, false);
        }
        T(i, j) = askValue(con, {kOneEmptyLine, kValuePrompt});
    }
}

// A network of more flows than a network file's flow list is read to cannot be read back whole
// by this program; the analysis programs read it all.
void warnUnreadableFlows(Console& con, const Network& net, const std::string& name) {
    const ConstMatView T = net.T.view();
    int flows = 0;
    for (int i = 1; i <= net.count; ++i) {
        for (int j = 1; j <= net.count; ++j) flows += T(i, j) > 0.0f ? 1 : 0;
    }
    if (flows > kFlowRecordBound) {
        con.warn(name + ": the network holds " + std::to_string(flows) +
                 " flows; flowentry reads back only the first " + std::to_string(kFlowRecordBound));
    }
}

}  // namespace

float& listEntry(MatView T, int n, EntryList list, int i) {
    switch (list) {
        case EntryList::Stocks:
            return T(n + 2, i);
        case EntryList::Inputs:
            return T(n + 1, i);
        case EntryList::Exports:
            return T(i, n + 1);
        case EntryList::Respirations:
        case EntryList::Flows:
            break;
    }
    return T(i, n + 2);
}

void errorLine(std::ostream& out, std::string_view layout, std::initializer_list<Item> items) {
    writeLayout(out, kFourBlanks);
    writeLayout(out, layout, items);
}

bool askChanges(Console& con) {
    writeLayout(con.out, "(/,' CHANGES (Y/N) ? ',$)");
    return isYes(requireChar(con));
}

float entryTolerance(int k) {
    return std::pow(10.0f, static_cast<float>(-k));
}

int precisionExponent(float p) {
    const double product = static_cast<double>(p) * static_cast<double>(0.1f);
    return static_cast<int>(std::trunc(-std::log10(product)));
}

void askPrecision(Console& con, int& k) {
    writeLayout(con.out, "(/,/,1X,'TO WHAT PRECISION WILL YOUR FLOWS BE SPECIFIED?',/)");
    writeLayout(con.out,
                "(1X,'EXAMPLE: AN ENTRY OF 0.01 MEANS THE MOST PRECISELY KNOWN FLOW IS ACCURATE "
                "TO WITHIN + OR - 0.01. A DEFAULT ENTRY OF ZERO SETS THE PRECISION TO 1.E-05. IF "
                "THIS CONFUSES YOU, JUST ENTER A ZERO AND CONTINUE.')");
    for (;;) {
        writeLayout(con.out, "(1X,'ENTER PRECISION HERE.',$)");
        float p = 0.0f;
        switch (askReal(con, p)) {
            case Answer::End:
                con.failAtEnd();
            case Answer::Unreadable:
                writeLayout(con.out, "(1X,'PRECISION MUST BE A NUMBER. TRY AGAIN!')");
                continue;
            case Answer::Ok:
                break;
        }
        if (p == 0.0f) return;
        if (p < 0.0f) {
            writeLayout(con.out, "(1X,'PRECISION MAY NOT BE NEGATIVE. TRY AGAIN!')");
            continue;
        }
        // K is stored in two columns of the title record: a precision of 1.E+11 or more would
        // give a K below -9 that no reader could read back.
        const int exponent = precisionExponent(p);
        if (exponent < -9) {
            writeLayout(con.out, "(1X,'PRECISION TOO LARGE. TRY AGAIN!')");
            continue;
        }
        k = exponent;
        return;
    }
}

void listEntries(std::ostream& out, MatView T, int n, EntryList list) {
    writeLayout(out, textsOf(list).title);
    if (list == EntryList::Flows) {
        MATPRT(out, T, n);
        return;
    }
    Vector<kExtendedSize> values;  // the list copied out of its row or column of T
    for (int i = 1; i <= n; ++i) values(i) = listEntry(T, n, list, i);
    VECPRT(out, values.view(), n);
}

void stockDialog(Console& con, MatView T, int n, bool offerChanges, bool listAfterEachChange) {
    for (;;) {
        listEntries(con.out, T, n, EntryList::Stocks);
        if (!offerChanges) return;
        if (!askChanges(con)) {
            writeLayout(con.out, kFourBlanks);
            return;
        }
        writeLayout(con.out, kStockInstructions);
        for (;;) {
            writeLayout(con.out, "(15X,' COMPARTMENT NUMBER ? ',$)");
            const int i = askCompartment(con, n, true);
            if (i == 0) continue;
            if (i < 0) {
                listEntries(con.out, T, n, EntryList::Stocks);
                writeLayout(con.out, kOneEmptyLine);
                return;
            }
            T(n + 2, i) = askValue(con, {"(/,15X,'NEW STANDING STOCK ? ',$)"});
            if (listAfterEachChange) break;
            writeLayout(con.out, kStockInstructions);
        }
    }
}

void listDialog(Console& con, MatView T, int n, EntryList list, ListStart start,
                bool offerChanges) {
    const bool keyboard = start == ListStart::Keyboard;
    const char* instructions = textsOf(list).instructions;
    bool entryNext = start != ListStart::FileListing;
    bool showInstructions = true;
    for (;;) {
        if (!entryNext) {
            listEntries(con.out, T, n, list);
            if (!offerChanges) return;
            writeLayout(con.out, kOneEmptyLine);
            if (!askChanges(con)) return;
        }
        entryNext = false;
        // Keyboard entry shows the instructions once; file editing on every opening.
        if (showInstructions && instructions != nullptr) writeLayout(con.out, instructions);
        showInstructions = !keyboard;
        if (list == EntryList::Flows) {
            flowEntryLoop(con, T, n);
        } else {
            // Editing the inputs of a file asks "INPUT TO ?" again without its heading.
            vectorEntryLoop(con, T, n, list, keyboard || list != EntryList::Inputs);
        }
    }
}

std::string storeNetwork(Console& con, const Network& net, std::string_view secondPrompt) {
    std::string contents;
    {
        std::ostringstream s;
        writeNetwork(s, net);
        contents = s.str();
    }
    for (;;) {
        writeLayout(con.out, "(1X,'          ENTER THE NAME OF A FILE IN WHICH YOU WISH')");
        writeLayout(con.out, secondPrompt);
        const std::string name = requireText(con, 64);
        std::string problem;
        switch (writeNewFile(name, contents, problem)) {
            case NewFile::Written:
                warnUnreadableFlows(con, net, trimmedName(name));
                return name;
            case NewFile::Exists:
                errorLine(con.out, "(1X,'FILE ',A,' ALREADY EXISTS. ENTER ANOTHER NAME.')",
                          {trimmedName(name)});
                break;
            case NewFile::Failed:
                errorLine(con.out,
                          "(1X,'FILE ',A,' CANNOT BE CREATED (',A,'). ENTER ANOTHER NAME.')",
                          {trimmedName(name), problem});
                break;
        }
    }
}

void writeCompletion(std::ostream& out, const std::string& name) {
    writeLayout(out,
                "(/,/,/,28X,'DATA ENTRY IS COMPLETE.',/,12X,'NETWORK INFORMATION HAS BEEN WRITTEN "
                "TO FILE ',A64)",
                {name});
}

}  // namespace flownet
