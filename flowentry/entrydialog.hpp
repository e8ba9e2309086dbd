// The console dialog shared by keyboard entry and file editing: compartment numbers and values
// with their refusals, the standing-stock corrections, the precision, the entry of the input,
// export, respiration and flow lists with their listings and "CHANGES (Y/N) ?" corrections, and
// the storing of a network in a new file.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "layout.hpp"
#include "matview.hpp"
#include "network.hpp"
#include "textio.hpp"

namespace flownet {

// The console input ended at a question whose answer is checked. Keyboard entry and file editing
// catch it and hand what they have to the driver.
struct ConsoleClosed {};

// The lists of a network, as kept in the extended matrix.
enum class EntryList { Stocks, Inputs, Exports, Respirations, Flows };

// The most flow records read from a network file: the flow list of a file ends there.
inline constexpr int kFlowRecordBound = 5000;

// The value of compartment i in a vector list: T(N+2, i), T(N+1, i), T(i, N+1) or T(i, N+2).
float& listEntry(MatView T, int n, EntryList list, int i);

// The refusal lines shared by both dialogs.
inline constexpr const char* kIdError =
    "(1X,'ERROR - COMPARTMENT ID MUST BE AN INTEGER < OR =',I3)";
inline constexpr const char* kStockError = "(1X,'ERROR ENTERING STANDING STOCKS...BEGIN AGAIN.')";
inline constexpr const char* kCountRange =
    "(1X,'THE NUMBER OF COMPARTMENTS MUST BE FROM 1 TO',I4,'.')";

// An error line: a line of four blanks, then the message.
void errorLine(std::ostream& out, std::string_view layout, std::initializer_list<Item> items = {});

// The answer "CHANGES (Y/N) ?": true for yes.
bool askChanges(Console& con);

// The steady-state tolerance and shown precision 10^(-K).
float entryTolerance(int k);

// K for a stated precision p > 0: the integer part of -log10(p * 0.1), with p and 0.1 in single
// precision and the product and the logarithm in double precision.
int precisionExponent(float p);

// The precision question: 0 keeps k, a positive precision sets it, a negative one is refused.
void askPrecision(Console& con, int& k);

// Lists one vector list (title and listing) or the flow matrix.
void listEntries(std::ostream& out, MatView T, int n, EntryList list);

// The standing stocks are listed and, when changes are offered and wanted, changed at the
// compartment number prompt until a negative number. With `listAfterEachChange` every change is
// followed by the listing and the question again.
void stockDialog(Console& con, MatView T, int n, bool offerChanges, bool listAfterEachChange);

// How the dialog of a list starts: keyboard entry starts with the entry; file editing starts with
// the listing of what was read, or with the entry when the list was cut off at its bound.
enum class ListStart { Keyboard, FileListing, FileBound };

// The entry of the inputs, exports, respirations or flows, each closed by a negative compartment
// number, then the listing and "CHANGES (Y/N) ?"; yes opens the entry again.
void listDialog(Console& con, MatView T, int n, EntryList list, ListStart start, bool offerChanges);

// Asks for the name of a new file until the network is written to it; a file that exists is
// never touched. `secondPrompt` is the second line of the question. Returns the name as typed.
std::string storeNetwork(Console& con, const Network& net, std::string_view secondPrompt);

// The completion message with the file name (64 columns).
void writeCompletion(std::ostream& out, const std::string& name);

}  // namespace flownet
