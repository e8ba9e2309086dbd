#include "netdraft.hpp"

#include <map>

#include "csvtext.hpp"
#include "textio.hpp"

namespace flownet {

void checkCompartments(const std::string& file, const NetworkDraft& draft) {
    if (draft.compartments.empty()) {
        formatError(file, draft.countLine, 0, "no compartments: a network has one at least");
    }
    for (const DraftCompartment& c : draft.compartments) {
        if (c.living) return;
    }
    formatError(file, draft.countLine, 0,
                "no compartment is living: a network file numbers the living compartments first "
                "and counts them, and a count of 0 stands for all living, so a network needs one "
                "living compartment at least");
}

std::vector<int> livingFirst(const NetworkDraft& draft) {
    std::vector<int> order;
    for (bool living : {true, false}) {
        for (std::size_t k = 0; k < draft.compartments.size(); ++k) {
            if (draft.compartments[k].living == living) order.push_back(static_cast<int>(k));
        }
    }
    return order;
}

std::vector<std::string> recordNames(const std::string& file, NetworkDraft& draft,
                                     const std::vector<int>& order) {
    std::vector<std::string> names;
    std::map<std::string, const DraftCompartment*> cut;  // the names as cut, and whose they are
    for (int k : order) {
        const DraftCompartment& c = draft.compartments[static_cast<std::size_t>(k)];
        std::string name = c.name.substr(0, std::min<std::size_t>(c.name.size(), kNameLength));
        // Names as given are unique: two that meet as the record holds them (cut, without
        // trailing blanks) were cut, or differed in trailing blanks alone.
        const auto [it, fresh] = cut.emplace(withoutTrailingBlanks(name), &c);
        if (!fresh) {
            const DraftCompartment& other = *it->second;
            formatError(file, c.line, c.column,
                        "the names '" + other.name + "' (line " + std::to_string(other.line) +
                            ", column " + std::to_string(other.column) + ") and '" + c.name +
                            "' are the same within the " + std::to_string(kNameLength) +
                            " characters a network file holds, trailing blanks aside: shorten "
                            "them so that they differ within their first " +
                            std::to_string(kNameLength));
        }
        if (name.size() < c.name.size()) {
            draft.notices.push_back("the name '" + c.name + "' is cut to the " +
                                    std::to_string(kNameLength) +
                                    " characters a network file holds: '" + name + "'");
        }
        name.resize(kNameLength, ' ');
        names.push_back(name);
    }
    return names;
}

std::string recordTitle(NetworkDraft& draft, const std::string& fallbackTitle) {
    std::string title = draft.title.empty() ? fallbackTitle : draft.title;
    if (title.size() > static_cast<std::size_t>(kTitleLength)) {
        draft.notices.push_back("the title is cut to the " + std::to_string(kTitleLength) +
                                " characters a network file holds: '" +
                                title.substr(0, kTitleLength) + "'");
        title.resize(kTitleLength);
    }
    title.resize(kTitleLength, ' ');
    return title;
}

void fillValues(const NetworkDraft& draft, const std::vector<int>& order, MatView T, int n) {
    std::vector<int> number(draft.compartments.size());
    for (int k = 1; k <= n; ++k) {
        number[static_cast<std::size_t>(order[static_cast<std::size_t>(k - 1)])] = k;
        const DraftCompartment& c =
            draft.compartments[static_cast<std::size_t>(order[static_cast<std::size_t>(k - 1)])];
        T(n + 1, k) = c.input;
        T(k, n + 1) = c.exported;
        T(n + 2, k) = c.stock;
        T(k, n + 2) = c.respiration;
    }
    for (const DraftFlow& f : draft.flows) {
        T(number[static_cast<std::size_t>(f.from)], number[static_cast<std::size_t>(f.to)]) =
            f.value;
    }
}

}  // namespace flownet
