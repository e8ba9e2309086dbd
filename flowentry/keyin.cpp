#include "keyin.hpp"

#include <string>
#include <vector>

#include "entrydialog.hpp"
#include "layout.hpp"

namespace flownet {

namespace {

// A whole number typed after the prompt; an unreadable answer is refused with the compartment
// number error line, showing `shownN`, and the prompt comes again.
int askWholeNumber(Console& con, const char* prompt, int shownN) {
    for (;;) {
        writeLayout(con.out, prompt);
        std::int32_t value = 0;
        switch (askInteger(con, value)) {
            case Answer::End:
                throw ConsoleClosed{};
            case Answer::Unreadable:
                errorLine(con.out, kIdError, {shownN});
                break;
            case Answer::Ok:
                return value;
        }
    }
}

// The number of compartments, 1..125; the error line shows the current N.
int askCount(Console& con, int current) {
    for (;;) {
        const int n = askWholeNumber(
            con, "(/,/,/,12X,' HOW MANY COMPARTMENTS ARE IN THE SYSTEM ? ',$)", current);
        if (n >= 1 && n <= kEntryLimit) return n;
        errorLine(con.out, kCountRange, {kEntryLimit});
    }
}

// The number of living compartments, 0..n; only this question is asked again.
int askLivingCount(Console& con, int n) {
    for (;;) {
        const int nl = askWholeNumber(
            con, "(/,/,/,12X,' HOW MANY OF THEM REPRESENT LIVING COMPONENTS ? ',$)", n);
        if (nl > n) {
            writeLayout(con.out, "(1X,'VALUE TOO BIG. MUST BE < OR = N. TRY AGAIN.',/)");
        } else if (nl < 0) {
            writeLayout(con.out, "(1X,'VALUE MAY NOT BE NEGATIVE. TRY AGAIN.',/)");
        } else {
            return nl;
        }
    }
}

// Writes the layout with the text pieces after the leading items.
void writePieces(std::ostream& out, std::string_view layout, std::vector<Item> items,
                 const std::vector<std::string>& pieces) {
    items.insert(items.end(), pieces.begin(), pieces.end());
    writeLayout(out, layout, items);
}

void askNamesAndShowKey(Console& con, Network& net) {
    const int n = net.count;
    writeLayout(con.out,
                "(/,/,/,12X,' ENTER COMPARTMENT NAMES IN ORDER AT THE PROMPT (25 "
                "CHARACTERS)...',/)");
    if (n > net.livingCount) {
        writeLayout(con.out, "(1X,'LIST THE NON-LIVING COMPARTMENTS LAST.',/)");
    }
    for (int i = 1; i <= n; ++i) {
        writeLayout(con.out, "(25X,I3,'? ',$)", {i});
        net.names[i] = requireText(con, kNameLength);
    }

    // A screenful of empty lines, then the key to the compartments.
    writeLayout(con.out, "(/,/,/,/,/,/,/,/,/,/)");
    writePieces(con.out, "(1X,19A4,A2)", {}, titlePieces(net.title));
    writeLayout(con.out, "(/,28X,'KEY TO THE COMPARTMENTS',/)");
    for (int i = 1; i <= n; ++i) {
        writePieces(con.out, "(30X,I3,'.',2X,6A4,A1)", {Item(i)}, namePieces(net.names[i]));
    }
    writeLayout(con.out, "(/,/,/,30X,' NETWORK DATA ENTRY',/)");
}

// Every stock in turn; a refused value starts the whole entry again from compartment 1.
void askStocks(Console& con, MatView T, int n) {
    for (int i = 1; i <= n; ++i) {
        if (i == 1) {
            writeLayout(con.out,
                        "(/,/,/,12X,' ENTER STANDING STOCK VALUES FOR EACH COMPARTMENT AT',/,15X,' "
                        "THE COMPARTMENT NUMBER PROMPT...',/,/)");
        }
        writeLayout(con.out, "(/,25X,I3,'? ',$)", {i});
        float s = 0.0f;
        const Answer a = askReal(con, s);
        if (a == Answer::End) throw ConsoleClosed{};
        if (a == Answer::Unreadable || s < 0.0f) {
            errorLine(con.out, kStockError);
            i = 0;  // begin again
            continue;
        }
        T(n + 2, i) = s;
    }
}

void keyboardEntry(Console& con, Network& net) {
    MatView T = net.T.view();
    writeLayout(con.out, "(/,/,/,/,/,25X,'KEYBOARD ENTRY ROUTINE',/,/)");
    writeLayout(con.out,
                "(/,12X,' THIS PROGRAM PROMPTS FOR THE NETWORK INFORMATION REQUIRED',/,16X,'FOR "
                "THE NETWORK ANALYSES AND WRITES IT TO FILE IN',/,28X,'STANDARD SCOR FORMAT',/)");

    writeLayout(con.out, "(/,12X,' ENTER A 78 CHARACTER TITLE ON THE LINE BELOW: ')");
    net.title = requireText(con, kTitleLength);
    net.count = askCount(con, net.count);
    net.livingCount = askLivingCount(con, net.count);
    const int n = net.count;
    askNamesAndShowKey(con, net);

    askStocks(con, T, n);
    stockDialog(con, T, n, true, false);
    askPrecision(con, net.precisionExponent);

    listDialog(con, T, n, EntryList::Inputs, ListStart::Keyboard, true);
    listDialog(con, T, n, EntryList::Exports, ListStart::Keyboard, true);
    listDialog(con, T, n, EntryList::Respirations, ListStart::Keyboard, true);
    listDialog(con, T, n, EntryList::Flows, ListStart::Keyboard, true);

    // The network as entered goes to a temporary copy before anything else happens to it.
    writeLayout(con.out, "(4X)");
    const std::string name =
        storeNetwork(con, net, "(1X,'          TO STORE THIS INFORMATION (TEMPORARILY): ',$)");
    writeCompletion(con.out, name);
}

}  // namespace

void KEYIN(Console& con, Network& net) {
    net.T.clear();
    net.precisionExponent = 6;  // the precision 1.E-05
    net.count = 0;
    net.livingCount = 0;
    try {
        keyboardEntry(con, net);
    } catch (const ConsoleClosed&) {
        writeCompletion(con.out, "");
    }
}

}  // namespace flownet
