// A network as a reader of another format finds it, before it becomes a network record: the
// compartments in the order the file gives them, each with its values, the flows between them, and
// where in the file each came from, so that a problem of the record to be built is told at its
// place in the file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "network.hpp"

namespace flownet {

// The units of a network's values, as far as its file or the command line tells them.
struct NetworkUnits {
    std::string flow, stock;  // empty when not known
    std::string source;       // "file", "option", "title", or empty when not known
};

struct DraftCompartment {
    std::string name;  // as given, blanks at both ends dropped
    bool living = true;
    float stock = 0.0f, input = 0.0f, exported = 0.0f, respiration = 0.0f;
    int line = 0, column = 0;  // where the file names it
};

struct DraftFlow {
    int from = 0, to = 0;  // compartments in the order given, from 0
    float value = 0.0f;
};

struct NetworkDraft {
    std::string title;  // empty when the file gives none
    int titleLine = 0;
    std::optional<int> precisionExponent;
    // The living count as a network file writes it when it is not the number of living
    // compartments: 0 or negative, for "every compartment is living".
    std::optional<int> livingCountAsWritten;
    NetworkUnits units;
    std::vector<DraftCompartment> compartments;
    std::vector<DraftFlow> flows;
    int countLine = 0;  // the line that settles the number of compartments
    int lastLine = 0;   // the last line of the table
    std::vector<std::string> notices;  // what the reader assumed or changed, for the user
};

// What the network record numbers each compartment: given[k - 1] is the place (from 1) in the
// file of compartment k. Living compartments are numbered first, each kind in the order given.
struct Numbering {
    std::vector<int> given;
    std::vector<std::string> givenNames;  // the names as the file gives them, by number
};

// The order of the compartments in the record: the living ones first, each kind in the order
// given (indices into draft.compartments).
std::vector<int> livingFirst(const NetworkDraft& draft);

// The names as the record holds them, by number: a name of more than the 25 characters of a
// network file is cut to them when the cut names stay unique (a notice tells it), and refused at
// its place in the file otherwise.
std::vector<std::string> recordNames(const std::string& file, NetworkDraft& draft,
                                     const std::vector<int>& order);

// The record of the draft: title (the file's, else `fallbackTitle`, cut to 78 characters with a
// notice), K (the file's, else 6, the precision flowentry takes when none is stated), the counts,
// the names and every value in its place. The draft holds at most Limit compartments.
template <int Limit>
Numbering buildNetwork(const std::string& file, NetworkDraft& draft, NetworkRecord<Limit>& net,
                       const std::string& fallbackTitle);

// The record's values put in place, the counts and names set: the part of buildNetwork that knows
// nothing of the record's capacity.
void fillValues(const NetworkDraft& draft, const std::vector<int>& order, MatView T, int n);
std::string recordTitle(NetworkDraft& draft, const std::string& fallbackTitle);

// A network file cannot hold a network without compartments, nor one without living compartments
// (a living count of 0 stands for "all living"): both are refused.
void checkCompartments(const std::string& file, const NetworkDraft& draft);

template <int Limit>
Numbering buildNetwork(const std::string& file, NetworkDraft& draft, NetworkRecord<Limit>& net,
                       const std::string& fallbackTitle) {
    checkCompartments(file, draft);
    const std::vector<int> order = livingFirst(draft);
    const std::vector<std::string> names = recordNames(file, draft, order);
    const int n = static_cast<int>(order.size());
    int living = 0;
    for (const DraftCompartment& c : draft.compartments) living += c.living ? 1 : 0;
    net.T.clear();
    net.title = recordTitle(draft, fallbackTitle);
    net.precisionExponent = draft.precisionExponent.value_or(6);
    net.count = n;
    net.livingCount = draft.livingCountAsWritten.value_or(living);
    Numbering numbering;
    for (int k = 1; k <= n; ++k) {
        const std::size_t at = static_cast<std::size_t>(k - 1);
        net.names[static_cast<std::size_t>(k)] = names[at];
        numbering.given.push_back(order[at] + 1);
        numbering.givenNames.push_back(draft.compartments[static_cast<std::size_t>(order[at])].name);
    }
    fillValues(draft, order, net.T.view(), n);
    return numbering;
}

}  // namespace flownet
